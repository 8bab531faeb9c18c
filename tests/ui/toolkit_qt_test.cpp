// The Qt toolkit's own message box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "ui/qt/toolkit_qt.h"

namespace tarn::testing {
namespace {

TEST(QtToolkitTest, MessageBoxCarriesTitleTextIconAndModality) {
  QtToolkit toolkit;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Qt::WindowModality modality = Qt::NonModal;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    modality = box->windowModality();
    box->button(QMessageBox::Ok)->click();
  });
  toolkit.ShowMessage({"Application Error", "Exception EOSError in module tarnconfig at 0000000000401000.\r\nFalha\r\n",
                       MessageIcon::kError, true});
  EXPECT_EQ(title, "Application Error");
  EXPECT_EQ(text, "Exception EOSError in module tarnconfig at 0000000000401000.\nFalha\n");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_EQ(modality, Qt::ApplicationModal);
}

}  // namespace
}  // namespace tarn::testing
