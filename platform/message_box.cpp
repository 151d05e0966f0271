#include "platform/message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

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

int RunBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
           QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, caption, text, buttons, parent);
  // Added last: the box rebuilds its layout whenever its icon or texts change.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(CaptionRoomWidth(caption), 0, QSizePolicy::Fixed, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  return box.exec();
}

}  // namespace

int CaptionRoomWidth(const QString& caption) {
  // The window manager draws the caption in a title font of its own, usually bold
  // and larger than the box's text, beside the window icon and three buttons; a box
  // only as wide as its message cuts a short caption to its first and last letter.
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
  const QFontMetrics title(titleFont);
  // Icon, minimise, maximise and close: square, about twice the caption's height.
  const int titleButtons = 4 * 2 * title.height();
  return title.horizontalAdvance(caption) + titleButtons;
}

void SetMessageBoxHandler(TMessageBoxHandler handler) { Handler() = std::move(handler); }

int ShowMessage(QWidget* parent, const QString& text, int flags) {
  if (Handler()) return Handler()(text, flags);
  const int buttons = flags & 0x0F;
  QMessageBox::StandardButtons shown = QMessageBox::Ok;
  if (buttons == 0x04) shown = QMessageBox::Yes | QMessageBox::No;
  if (buttons == 0x03) shown = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  const int answer = RunBox(parent, IconFor(flags), QStringLiteral("系统提示"), text, shown);
  if (buttons != 0x03 && buttons != 0x04) return kIdOk;
  if (answer == QMessageBox::Yes) return kIdYes;
  if (answer == QMessageBox::No) return kIdNo;
  return buttons == 0x03 ? kIdCancel : kIdNo;
}

int ShowMessageBox(QWidget* parent, const std::string& gbkText, int flags) {
  return ShowMessage(parent, GbkToQString(gbkText), flags);
}

void ShowExceptionBox(QWidget* parent, const QString& text) {
  if (Handler()) {
    Handler()(text, kBoxError);
    return;
  }
  RunBox(parent, QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok);
}
