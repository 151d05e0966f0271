#include "simulator/gui/inspect_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringDecoder>

namespace {

QString FromGbkBytes(const std::string& gbk) {
  QStringDecoder decoder("GBK");
  return decoder.decode(QByteArray::fromStdString(gbk));
}

}  // namespace

void ShowViewMessage(QWidget* parent, const TViewMessage& message) {
  const QString text = FromGbkBytes(message.Text);
  switch (message.kind) {
    case TViewMessage::Kind::None:
      return;
    case TViewMessage::Kind::ConversionError:
      QMessageBox::critical(parent, QApplication::applicationName(), text);
      return;
    case TViewMessage::Kind::Warning:
      QMessageBox::warning(parent, QString::fromUtf8("系统提示"), text);
      return;
    case TViewMessage::Kind::Error:
      QMessageBox::critical(parent, QString::fromUtf8("系统提示"), text);
      return;
  }
}
