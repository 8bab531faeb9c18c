#include "ui/qt/toolkit_options_qt.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tarn {

namespace {

// Those of QGuiApplication, QApplication and the X11 platform plugin, as
// their documentation lists them; each is taken with one dash or two.
constexpr std::array<std::string_view, 19> kWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry", "qwindowtitle",
    "title", "qwindowicon", "icon", "session", "display", "name", "style", "stylesheet", "visual", "ncols", "cmap",
    "qmljsdebugger"};
constexpr std::array<std::string_view, 6> kFlags = {"reverse", "testability", "widgetcount", "sync", "nograb",
                                                    "dograb"};

bool Among(const auto& names, std::string_view name) { return std::ranges::find(names, name) != names.end(); }

}  // namespace

std::vector<std::string> WithoutToolkitOptions(const std::vector<std::string>& arguments) {
  std::vector<std::string> ours;
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string_view name = arguments[i];
    if (!name.starts_with('-')) {
      ours.push_back(arguments[i]);
      continue;
    }
    name.remove_prefix(name.starts_with("--") ? 2 : 1);
    size_t equals = name.find('=');
    if (equals != std::string_view::npos && Among(kWithValue, name.substr(0, equals))) continue;
    if (Among(kFlags, name)) continue;
    if (Among(kWithValue, name)) {
      ++i;  // its value
      continue;
    }
    ours.push_back(arguments[i]);
  }
  return ours;
}

}  // namespace tarn
