#include "platform/input_box.h"

#include <QInputDialog>

#include "platform/gbk_qt.h"
#include "platform/message_box.h"

namespace {

TInputBoxHandler& Handler() {
  static TInputBoxHandler handler;
  return handler;
}

}  // namespace

void SetInputBoxHandler(TInputBoxHandler handler) { Handler() = std::move(handler); }

bool ShowInputBox(QWidget* parent, const std::string& gbkCaption, const std::string& gbkPrompt,
                  std::string& gbkValue) {
  if (Handler()) return Handler()(gbkCaption, gbkPrompt, gbkValue);
  for (QString text = GbkToQString(gbkValue);;) {
    bool ok = false;
    text = QInputDialog::getText(parent, GbkToQString(gbkCaption), GbkToQString(gbkPrompt),
                                 QLineEdit::Normal, text, &ok);
    if (!ok) return false;
    if (const std::optional<std::string> gbk = QStringToGbk(text)) {
      gbkValue = *gbk;
      return true;
    }
    ShowMessageBox(parent, kTextNotGbk, kBoxWarning);
  }
}
