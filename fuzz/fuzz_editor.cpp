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

// One window for all inputs; the application and the window end with the process.
TFrmCode& Editor() {
  static const bool offscreen = ::setenv("QT_QPA_PLATFORM", "offscreen", 0) == 0;
  // Without one Qt makes a folder of its own in TMPDIR and leaves it there.
  static const bool runtime = ::setenv("XDG_RUNTIME_DIR", ScratchFolder().c_str(), 0) == 0;
  static int argc = 1;
  static char name[] = "fuzz_editor";
  static char* argv[] = {name, nullptr};
  static QApplication application(argc, argv);
  static TFrmCode editor;
  static const bool answered = [] {
    SetMessageBoxHandler([](const QString&, int) { return kIdOk; });
    return true;
  }();
  (void)offscreen;
  (void)runtime;
  (void)answered;
  return editor;
}

}  // namespace

// The font library keeps a cache for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFrmCode& editor = Editor();
  editor.Memo->setPlainText(QStringLiteral("before"));
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string path = WriteScratch("source.casm", bytes);
  const bool opened = editor.LoadFile(path);
  Check(opened == GbkToUtf8Strict(bytes).has_value(), "a file opens exactly when it is GBK text");
  if (!opened) {
    Check(editor.Memo->toPlainText() == QStringLiteral("before"), "a file that does not open leaves the text");
    return 0;
  }
  const std::string saved = (ScratchFolder() / "saved.casm").string();
  Check(editor.SaveFile(saved), "an opened file saves");
  Check(ReadScratch("saved.casm") == WithCrLf(bytes), "an opened file saves as its bytes with CR LF line ends");
  return 0;
}
