#include "platform/input_box.h"

#include <QInputDialog>

#include "platform/gbk_qt.h"
#include "platform/message_box.h"

namespace {

TInputBoxHandler& Handler() {
  static TInputBoxHandler handler;
  return handler;
}

// 文本中含有不能用GBK编码表示的字符！
constexpr char kNotGbk[] =
    "\xce\xc4\xb1\xbe\xd6\xd0\xba\xac\xd3\xd0\xb2\xbb\xc4\xdc\xd3\xc3GBK\xb1\xe0\xc2\xeb\xb1\xed\xca\xbe"
    "\xb5\xc4\xd7\xd6\xb7\xfb\xa3\xa1";

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
    ShowMessageBox(parent, kNotGbk, kBoxWarning);
  }
}
