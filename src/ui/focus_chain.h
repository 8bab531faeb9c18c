// The orders of a window's controls: the one in which the keyboard's Tab key
// visits them, and the one in which a screen reader meets siblings.
#pragma once

#include <span>
#include <vector>

#include "ui/toolkit.h"

namespace tarn {

// Every control that takes focus, in Tab order: each parent's children by
// their rank, a container's children right after the container's own place,
// and a page control itself before the controls of its pages. Whether a
// control can take focus at a given moment (shown, on the page in front) is
// the view's to judge.
std::vector<ControlId> FocusChain(std::span<const ControlSpec> layout);

// The controls whose parent is `parent`, by their rank; controls of equal
// rank keep their order in the layout.
std::vector<const ControlSpec*> ChildrenInTabOrder(std::span<const ControlSpec> layout, ControlId parent);

// The controls whose parent is `parent`, by their rank, except that a label
// that names a sibling stands right before it and one that describes a
// sibling right after it: screen readers on Windows name an edit by the
// label before it.
std::vector<const ControlSpec*> ChildrenInReadingOrder(std::span<const ControlSpec> layout, ControlId parent);

}  // namespace tarn
