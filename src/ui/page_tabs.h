// The tabs of a window's page controls, kept the same way by every view:
// which tab sheets offer their tab (in the order of the layout) and which
// one is in front. A view renders this state with its own controls and
// reports the user's choice of a tab back to it.
//
// When the sheet in front withdraws its tab, the first other sheet of its
// page control that still offers one comes to the front; a page control
// with no tab offered has no sheet in front.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "ui/toolkit.h"

namespace tarn {

class PageTabs final {
 public:
  // The sheets shown in the layout offer their tabs; the first of each page
  // control is in front.
  explicit PageTabs(std::span<const ControlSpec> layout);

  bool Offered(ControlId sheet) const;
  void SetOffered(ControlId sheet, bool offered);

  // The place of an offered sheet's tab among its page control's offered
  // tabs; for a sheet that offers none, the place its tab would take.
  int TabIndex(ControlId sheet) const;
  // The sheet whose tab is at `index`, or kWindowClientArea.
  ControlId SheetAt(ControlId page_control, int index) const;

  // Brings an offered sheet to the front; a sheet without a tab stays back.
  void Activate(ControlId sheet);
  // The sheet in front of a page control, or kWindowClientArea.
  ControlId Active(ControlId page_control) const;
  // The sheet in front of the window's first page control.
  ControlId ActivePage() const;

 private:
  struct PageControl {
    ControlId id;
    ControlId active;
  };
  struct Sheet {
    ControlId id;
    size_t page_control;  // its place in page_controls_
    bool offered;
  };
  const Sheet* Find(ControlId sheet) const;
  const PageControl* FindPageControl(ControlId page_control) const;
  ControlId FirstOffered(size_t page_control) const;

  std::vector<PageControl> page_controls_;
  std::vector<Sheet> sheets_;  // in layout order
};

}  // namespace tarn
