#include "ui/focus_chain.h"

#include <algorithm>

namespace tarn {

namespace {

bool IsContainer(ControlKind kind) {
  return kind == ControlKind::kPageControl || kind == ControlKind::kTabSheet || kind == ControlKind::kPanel;
}

void AppendChildren(std::span<const ControlSpec> layout, ControlId parent, std::vector<ControlId>& chain) {
  for (const ControlSpec* child : ChildrenInTabOrder(layout, parent)) {
    if (child->kind == ControlKind::kPageControl) chain.push_back(child->id);
    if (IsContainer(child->kind)) {
      AppendChildren(layout, child->id, chain);
    } else if (child->tab_order > 0) {
      chain.push_back(child->id);
    }
  }
}

}  // namespace

std::vector<const ControlSpec*> ChildrenInTabOrder(std::span<const ControlSpec> layout, ControlId parent) {
  std::vector<const ControlSpec*> children;
  for (const ControlSpec& row : layout) {
    if (row.parent == parent) children.push_back(&row);
  }
  std::stable_sort(children.begin(), children.end(),
                   [](const ControlSpec* a, const ControlSpec* b) { return a->tab_order < b->tab_order; });
  return children;
}

std::vector<ControlId> FocusChain(std::span<const ControlSpec> layout) {
  std::vector<ControlId> chain;
  AppendChildren(layout, kWindowClientArea, chain);
  return chain;
}

}  // namespace tarn
