// A file opened in the workbench's editor window: its bytes through the window's own
// load, which decodes GBK, and back through its save.
//
// Properties: a file opens exactly when its bytes are GBK text (otherwise the user is
// told and the editor keeps its text); what opened saves as the same bytes, with
// every line end (CR LF, a lone CR, a lone LF) written as CR LF.

#include <QApplication>

#include "base/gbk_convert.h"
#include "fuzz_check.h"
#include "fuzz_scratch.h"
#include "platform/message_box.h"
#include "workbench/gui/frm_code.h"

namespace {

// The bytes the editor should write back for a file's bytes.
std::string WithCrLf(const std::string& bytes) {
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      out += "\r\n";
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      out += bytes[i];
    }
  }
  return out;
}

TFrmCode& Editor() {
  static TFrmCode* editor = [] {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "fuzz_editor";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    SetMessageBoxHandler([](const std::string&, int) { return kIdOk; });
    return new TFrmCode;
  }();
  return *editor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFrmCode& editor = Editor();
  editor.Memo->setPlainText(QStringLiteral("before"));
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const QString path = QString::fromStdString(WriteScratch("source.casm", bytes));
  const bool opened = editor.LoadFile(path);
  Check(opened == GbkToUtf8Strict(bytes).has_value(), "a file opens exactly when it is GBK text");
  if (!opened) {
    Check(editor.Memo->toPlainText() == QStringLiteral("before"), "a file that does not open leaves the text");
    return 0;
  }
  const QString saved = QString::fromStdString((ScratchFolder() / "saved.casm").string());
  Check(editor.SaveFile(saved), "an opened file saves");
  Check(ReadScratch("saved.casm") == WithCrLf(bytes), "an opened file saves as its bytes with CR LF line ends");
  return 0;
}
