#include "ui/page_tabs.h"

#include <algorithm>

namespace tarn {

PageTabs::PageTabs(std::span<const ControlSpec> layout) {
  for (const ControlSpec& row : layout) {
    if (row.kind == ControlKind::kPageControl) page_controls_.push_back({row.id, kWindowClientArea});
  }
  for (const ControlSpec& row : layout) {
    if (row.kind != ControlKind::kTabSheet) continue;
    auto parent = std::find_if(page_controls_.begin(), page_controls_.end(),
                               [&](const PageControl& p) { return p.id == row.parent; });
    if (parent != page_controls_.end()) {
      sheets_.push_back({row.id, static_cast<size_t>(parent - page_controls_.begin()), row.shown});
    }
  }
  for (size_t i = 0; i < page_controls_.size(); ++i) page_controls_[i].active = FirstOffered(i);
}

const PageTabs::Sheet* PageTabs::Find(ControlId sheet) const {
  auto found = std::find_if(sheets_.begin(), sheets_.end(), [&](const Sheet& s) { return s.id == sheet; });
  return found == sheets_.end() ? nullptr : &*found;
}

const PageTabs::PageControl* PageTabs::FindPageControl(ControlId page_control) const {
  auto found = std::find_if(page_controls_.begin(), page_controls_.end(),
                            [&](const PageControl& p) { return p.id == page_control; });
  return found == page_controls_.end() ? nullptr : &*found;
}

ControlId PageTabs::FirstOffered(size_t page_control) const {
  for (const Sheet& sheet : sheets_) {
    if (sheet.page_control == page_control && sheet.offered) return sheet.id;
  }
  return kWindowClientArea;
}

bool PageTabs::Offered(ControlId sheet) const {
  const Sheet* found = Find(sheet);
  return found != nullptr && found->offered;
}

void PageTabs::SetOffered(ControlId sheet, bool offered) {
  const Sheet* found = Find(sheet);
  if (found == nullptr || found->offered == offered) return;
  sheets_[static_cast<size_t>(found - sheets_.data())].offered = offered;
  ControlId& active = page_controls_[found->page_control].active;
  if (!offered && active == sheet) active = FirstOffered(found->page_control);
  // A page control that offered no tab shows the one it offers now.
  if (offered && active == kWindowClientArea) active = sheet;
}

int PageTabs::TabIndex(ControlId sheet) const {
  const Sheet* found = Find(sheet);
  int index = 0;
  for (const Sheet& other : sheets_) {
    if (&other == found) break;
    if (found != nullptr && other.page_control == found->page_control && other.offered) ++index;
  }
  return index;
}

ControlId PageTabs::SheetAt(ControlId page_control, int index) const {
  const PageControl* parent = FindPageControl(page_control);
  if (parent == nullptr) return kWindowClientArea;
  auto place = static_cast<size_t>(parent - page_controls_.data());
  for (const Sheet& sheet : sheets_) {
    if (sheet.page_control == place && sheet.offered && index-- == 0) return sheet.id;
  }
  return kWindowClientArea;
}

void PageTabs::Activate(ControlId sheet) {
  const Sheet* found = Find(sheet);
  if (found != nullptr && found->offered) page_controls_[found->page_control].active = sheet;
}

ControlId PageTabs::Active(ControlId page_control) const {
  const PageControl* found = FindPageControl(page_control);
  return found == nullptr ? kWindowClientArea : found->active;
}

ControlId PageTabs::ActivePage() const {
  return page_controls_.empty() ? kWindowClientArea : page_controls_.front().active;
}

}  // namespace tarn
