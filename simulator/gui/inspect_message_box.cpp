#include "simulator/gui/inspect_message_box.h"

#include <stdexcept>

#include "base/gbk_convert.h"
#include "platform/exception_guard.h"
#include "platform/message_box.h"

void ShowViewMessage(QWidget* parent, const TViewMessage& message) {
  switch (message.kind) {
    case TViewMessage::Kind::None:
      return;
    case TViewMessage::Kind::ConversionError:
      // Shown the way the application reports any conversion error that escapes a command.
      RunGuarded(parent, [&] { throw std::runtime_error(GbkToUtf8(message.Text)); });
      return;
    case TViewMessage::Kind::Warning:
      ShowMessageBox(parent, message.Text, kBoxWarning);
      return;
    case TViewMessage::Kind::Error:
      ShowMessageBox(parent, message.Text, kBoxError);
      return;
  }
}
