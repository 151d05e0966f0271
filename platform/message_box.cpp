#include "platform/message_box.h"

#include <QMessageBox>

#include "platform/gbk_qt.h"

namespace {

TMessageBoxHandler& Handler() {
  static TMessageBoxHandler handler;
  return handler;
}

QMessageBox::Icon IconFor(int flags) {
  switch (flags & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

void SetMessageBoxHandler(TMessageBoxHandler handler) { Handler() = std::move(handler); }

int ShowMessageBox(QWidget* parent, const std::string& gbkText, int flags) {
  if (Handler()) return Handler()(gbkText, flags);
  const int buttons = flags & 0x0F;
  QMessageBox::StandardButtons shown = QMessageBox::Ok;
  if (buttons == 0x04) shown = QMessageBox::Yes | QMessageBox::No;
  if (buttons == 0x03) shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  QMessageBox box(IconFor(flags), QStringLiteral("系统提示"), GbkToQString(gbkText), shown, parent);
  const int answer = box.exec();
  if (buttons != 0x03 && buttons != 0x04) return kIdOk;
  if (answer == QMessageBox::Yes) return kIdYes;
  if (answer == QMessageBox::No) return kIdNo;
  return buttons == 0x03 ? kIdCancel : kIdNo;
}

int ShowMessage(QWidget* parent, const QString& text, int flags) {
  return ShowMessageBox(parent, QStringToGbk(text).value_or(text.toStdString()), flags);
}
