// The project menu, the project list and its pop-up menu.

#include "platform/file_names.h"
#include "platform/message_box.h"
#include "workbench/gui/frm_main.h"
#include "workbench/gui/path_items.h"
#include "workbench/gui/text_file.h"
#include "workbench/model/project_list.h"

void TFrmMain::RefillProjectList() {
  std::vector<std::string> lines;
  Project.ToStrings(&lines);
  FillPathList(LstPFiles, lines);
}

int TFrmMain::AskAboutProject() {
  if (!ProjectModified) return kIdNo;
  return ShowMessage(this, QStringLiteral("项目已修改，是否保存？"), kBoxWarningYesNoCancel);
}

bool TFrmMain::ConfirmProjectChange() {
  switch (AskAboutProject()) {
    case kIdYes: return SaveProject();
    case kIdNo: return true;
    default: return false;
  }
}

void TFrmMain::MnuNewProjectClick() {
  const bool asked = ProjectModified;
  if (!ConfirmProjectChange()) return;
  if (!asked && !Project.FileName.empty() &&
      ShowMessage(this, QStringLiteral("是否放弃当前工程，新建一个新工程文件?"), kBoxWarningYesNo) != kIdYes)
    return;
  Project.FileName.clear();
  Project.Files.Clear();
  ProjectModified = false;
  RefillProjectList();
  ShowStatus(0, QStringLiteral("新建项目"));
}

bool TFrmMain::OpenProjectFile(const QString& chosen) {
  const std::string path = FileSystemName(chosen);
  // Loaded before the name changes: a project file that cannot be read throws
  // with the open project and its name untouched. One that lists nothing leaves
  // the project as it was too, and so keeps its name: under the new name the old
  // entries would be built and saved as that file's.
  if (Project.LoadFromFile(path) != 0) {
    ShowMessage(this, QStringLiteral("项目文件中没有任何源文件，未打开：") + ShownPath(path), kBoxWarning);
    return false;
  }
  Project.FileName = path;
  ProjectModified = false;
  return true;
}

void TFrmMain::MnuOpenProjectClick() {
  if (!ConfirmProjectChange()) return;
  const QString path = FileDialogs->OpenProject(this);
  if (path.isEmpty()) return;
  if (!OpenProjectFile(path)) return;
  RefillProjectList();
  if (LstPFiles->count() > 0) LstPFiles->setCurrentRow(0);
  ShowStatus(0, QStringLiteral("打开项目"));
}

bool TFrmMain::SaveProjectFile(const std::string& path, const QString& doneStatus) {
  int32_t result = -1;
  std::string unstorable;
  try {
    // Named only once the file is there: a later build must not take a path that
    // was never written for the project.
    result = Project.SaveAs(path, &unstorable);
  } catch (const TFileNotSaved& error) {
    TellNotSaved(this, kFileNotSavedText, error.Failure.Path, error.Failure);
  }
  if (result == kSaveNameNotStorable) TellNameNotStorable(this, unstorable);
  RefillProjectList();
  if (result != 0) {
    ShowStatus(0, result == -2 ? QStringLiteral("项目中没有文件，未保存！") : QStringLiteral("保存失败！"));
    return false;
  }
  ProjectModified = false;
  ShowStatus(0, doneStatus);
  return true;
}

bool TFrmMain::SaveProject() {
  Project.SetFiles(PathsOf(LstPFiles));
  std::string path = Project.FileName;
  if (path.empty()) {
    const QString chosen = FileDialogs->SaveProject(this);
    if (chosen.isEmpty()) return false;
    path = FileSystemName(chosen);
  }
  return SaveProjectFile(path, QStringLiteral("保存完毕！"));
}

void TFrmMain::MnuSaveProjectClick() { SaveProject(); }

void TFrmMain::MnuSaveAsProjectClick() {
  const QString path = FileDialogs->SaveProject(this);
  if (path.isEmpty()) return;
  SaveProjectFile(FileSystemName(path), QStringLiteral("项目另存"));
}

void TFrmMain::MnuFileListClick() {
  if (Project.EditFileList() == 1) ProjectModified = true;
  RefillProjectList();
}

void TFrmMain::MnuProjectSetupClick() {
  if (Project.EditSetup() == 1) ProjectModified = true;
}

void TFrmMain::SyncProjectFiles() {
  Project.SetFiles(NonEmptyItems(PathsOf(LstPFiles)));
  ProjectModified = true;
}

void TFrmMain::MoveSelected(int move, const QString& status) {
  const int i = LstPFiles->currentRow();
  if (i < 0 || LstPFiles->currentItem() == nullptr || !LstPFiles->currentItem()->isSelected()) return;
  const int n = LstPFiles->count();
  const int target = MoveTarget(static_cast<TListMove>(move), i, n);
  if (target != i) {
    QListWidgetItem* item = LstPFiles->takeItem(i);
    LstPFiles->insertItem(target, item);
    LstPFiles->setCurrentRow(target);
  }
  SyncProjectFiles();
  ShowStatus(0, status);
}

void TFrmMain::MnuTopClick() { MoveSelected(static_cast<int>(TListMove::Top), QStringLiteral("文件置顶")); }
void TFrmMain::MnuBackClick() { MoveSelected(static_cast<int>(TListMove::Back), QStringLiteral("文件置底")); }
void TFrmMain::MnuBringPreClick() { MoveSelected(static_cast<int>(TListMove::Pre), QStringLiteral("置前")); }
void TFrmMain::MnuBringNextClick() { MoveSelected(static_cast<int>(TListMove::Next), QStringLiteral("置后")); }

void TFrmMain::MnuAddFileClick() {
  const QString path = FileDialogs->OpenSource(this);
  if (path.isEmpty()) return;
  std::string entry;
  if (!ToStoredName(this, path, entry)) return;
  // Appended to both, so the list shows the order the build uses.
  AddPathItem(LstPFiles, entry);
  SyncProjectFiles();
}

void TFrmMain::MnuRemoveFileClick() {
  const int row = LstPFiles->currentRow();
  if (row >= 0 && LstPFiles->currentItem() != nullptr && LstPFiles->currentItem()->isSelected())
    delete LstPFiles->takeItem(row);
  Project.SetFiles(PathsOf(LstPFiles));
  ProjectModified = true;
}

void TFrmMain::LstPFilesDblClick() {
  QListWidgetItem* item = LstPFiles->currentItem();
  if (item == nullptr || !item->isSelected()) return;
  // The file the build takes: the entry's own bytes, beside the project file when
  // relative, not the text the list shows.
  OpenSourceFile(Project.EntryPath(PathAt(LstPFiles, LstPFiles->row(item))));
}
