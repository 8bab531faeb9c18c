// The settings window on Qt Widgets: a fixed-size top-level widget whose
// controls are built from the layout table and named after its rows.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "ui/page_tabs.h"
#include "ui/toolkit.h"

class QTabWidget;

namespace tarn {

class QtWindowView final : public WindowView {
 public:
  QtWindowView(const WindowSpec& window, std::span<const ControlSpec> layout, EventSink events);
  ~QtWindowView() override;

  void SetCaption(std::string_view text, std::string_view path) override;
  std::string Text(ControlId control) const override;
  void SetText(ControlId control, std::string_view text) override;
  bool Checked(ControlId control) const override;
  void SetChecked(ControlId control, bool checked) override;
  bool Shown(ControlId control) const override;
  void SetShown(ControlId control, bool shown) override;
  ControlId ActivePage() const override;
  void Show() override;
  void Close() override;

  // The top-level widget, for the message loop and for tests.
  QWidget& Widget();
  bool Closed() const { return closed_; }
  // Called once when the window closes, by any means.
  void OnClosed(std::function<void()> closed) { on_closed_ = std::move(closed); }

 private:
  class FormWidget;

  QWidget* Control(ControlId control) const;
  // Gives the controls that `caption` names or describes its present text.
  void Describe(ControlId caption);
  ControlId IdOf(const QWidget* widget) const;
  QTabWidget* PageControlOf(ControlId sheet) const;
  void BuildControl(const ControlSpec& row, const EventSink& events);
  QWidget* MakeWidget(const ControlSpec& row, QWidget* parent, const EventSink& events);
  void SetTabOrder(std::span<const ControlSpec> layout);
  void WindowClosed();

  std::unique_ptr<FormWidget> window_;
  QWidget* client_area_ = nullptr;
  std::vector<QWidget*> controls_;  // by id; owned by their Qt parents
  std::vector<ControlSpec> specs_;
  PageTabs tabs_;
  std::function<void()> on_closed_;
  bool closed_ = false;
};

}  // namespace tarn
