#include "ui/qt/text_qt.h"

#include "platform/code_page.h"

namespace tarn {

QString ToQString(std::string_view ansi) {
  std::u16string wide = AnsiToWide(ansi);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string FromQString(const QString& text) {
  return WideToAnsi(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

}  // namespace tarn
