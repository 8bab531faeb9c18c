// Text at the Qt edge: the program's Windows-1252 text to and from QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tarn {

QString ToQString(std::string_view ansi);
std::string FromQString(const QString& text);

}  // namespace tarn
