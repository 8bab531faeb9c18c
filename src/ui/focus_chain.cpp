#include "ui/focus_chain.h"

#include <algorithm>
#include <set>

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

std::vector<const ControlSpec*> ChildrenInReadingOrder(std::span<const ControlSpec> layout, ControlId parent) {
  // The sibling label of that id, or null.
  auto label = [&](ControlId id) -> const ControlSpec* {
    if (id == kWindowClientArea) return nullptr;
    const ControlSpec& row = layout[static_cast<size_t>(id)];
    return row.kind == ControlKind::kLabel && row.parent == parent ? &row : nullptr;
  };
  std::vector<const ControlSpec*> ranked = ChildrenInTabOrder(layout, parent);
  std::set<const ControlSpec*> beside;  // labels that stand beside the control they name or describe
  for (const ControlSpec* child : ranked) {
    for (ControlId id : {child->labelled_by, child->described_by}) {
      if (const ControlSpec* caption = label(id)) beside.insert(caption);
    }
  }
  std::vector<const ControlSpec*> order;
  for (const ControlSpec* child : ranked) {
    if (beside.contains(child)) continue;
    if (const ControlSpec* name = label(child->labelled_by)) order.push_back(name);
    order.push_back(child);
    if (const ControlSpec* description = label(child->described_by)) order.push_back(description);
  }
  return order;
}

std::vector<ControlId> FocusChain(std::span<const ControlSpec> layout) {
  std::vector<ControlId> chain;
  AppendChildren(layout, kWindowClientArea, chain);
  return chain;
}

}  // namespace tarn
