#include "ui/qt/dialog_font_qt.h"

#include <QApplication>
#include <QFontDatabase>
#include <QStandardPaths>

namespace tarn {

namespace {

// Faces that a desktop may have on disk without offering them: Debian's
// fonts-wine ships "MS Sans Serif" as a bitmap face, which fontconfig hides
// by default. Paths are relative to the XDG data folders.
struct FaceFile {
  const char* family;
  const char* file;
};
constexpr FaceFile kFaceFiles[] = {{"MS Sans Serif", "wine/fonts/ms_sans_serif.ttf"}};

bool HaveFace(const QString& family) {
  if (QFontDatabase::hasFamily(family)) return true;
  for (const FaceFile& face : kFaceFiles) {
    if (family.compare(QLatin1String(face.family), Qt::CaseInsensitive) != 0) continue;
    QString path = QStandardPaths::locate(QStandardPaths::GenericDataLocation, QString::fromLatin1(face.file));
    if (!path.isEmpty()) QFontDatabase::addApplicationFont(path);
  }
  return QFontDatabase::hasFamily(family);
}

}  // namespace

QFont DialogFont(const WindowSpec& window) {
  QString family = QString::fromLatin1(window.font_name);
  if (HaveFace(family)) return QFont(family, window.font_points);
  QFont font = QApplication::font();
  font.setPointSize(window.font_points);
  return font;
}

}  // namespace tarn
