// The compile and build commands and the launcher.

#include "platform/file_names.h"
#include "platform/message_box.h"
#include "platform/shell_open.h"
#include "toolchain/asm_file.h"
#include "toolchain/build_report.h"
#include "toolchain/gbk_texts.h"
#include "workbench/gui/frm_main.h"
#include "workbench/model/launcher.h"

#include <QCoreApplication>

namespace {

// A build or compile is never started from inside another one.
class TBusyGuard {
 public:
  explicit TBusyGuard(bool& busy) : Entered(!busy), Busy(busy) { Busy = true; }
  ~TBusyGuard() {
    if (Entered) Busy = false;
  }
  TBusyGuard(const TBusyGuard&) = delete;
  TBusyGuard& operator=(const TBusyGuard&) = delete;
  const bool Entered;

 private:
  bool& Busy;
};

}  // namespace

void TFrmMain::MnuComplieClick() {
  TBusyGuard guard(Building);
  if (!guard.Entered) return;
  TFrmCode* editor = ActiveEditor();
  if (editor == nullptr) {
    ShowMessage(this, QStringLiteral("没找到需要编译的文件！"), kBoxWarning);
    return;
  }
  ClearSysInfo();
  AddSysInfoGbk(gbk::kReportCompiling);
  TAsmFile file;
  file.FileName = editor->FileName;
  const int32_t result = file.AssembleFile(file.FileName);
  for (const std::string& line : CompileReport(result, file.Messages).Lines) AddSysInfoUtf8(line);
}

void TFrmMain::MnuBuildClick() {
  TBusyGuard guard(Building);
  if (!guard.Entered) return;
  ClearSysInfo();
  if (Project.FileName.empty()) MnuOpenProjectClick();
  // The image is named from the project file: without one, it would be written
  // as a hidden file in the current folder.
  if (Project.FileName.empty() && Project.Files.CountNodes() > 0) MnuSaveAsProjectClick();
  if (Project.FileName.empty() && Project.Files.CountNodes() > 0) {
    ShowMessage(this, QStringLiteral("请先为项目指定一个项目文件名！"), kBoxWarning);
    return;
  }
  AddSysInfoGbk(gbk::kReportCompiling);
  const int32_t result = Project.Build();
  const TBuildReport report = Project.BuildReportFor(result);
  for (const std::string& line : report.Lines) AddSysInfoUtf8(line);
  ShowStatus(0, QString::fromStdString(report.Status));
}

void TFrmMain::Launch(int item) {
  if (item < 0 || item >= kLaunchCount) return;
  const QString path =
      QString::fromStdString(LaunchPath(ProgramFolder().toStdString(), kLaunchItems[item].FileName));
  if (!FileExists(path)) {
    ShowMessage(this, QString::fromStdString(MissingFileText(FileSystemName(path))), kBoxWarning);
    return;
  }
  ShellOpen(path.toStdString());
}
