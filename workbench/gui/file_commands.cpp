// The file commands of the frame: new, open, save, save as, print, and opening a
// source by name for the project list.

#include <QMdiSubWindow>
#include <QPrinter>

#include "platform/file_names.h"
#include "platform/message_box.h"
#include "workbench/gui/frm_main.h"
#include "workbench/gui/print_document.h"

TFrmCode* TFrmMain::ActiveEditor() const {
  QMdiSubWindow* window = MdiArea->activeSubWindow();
  if (window == nullptr) window = MdiArea->currentSubWindow();
  return window == nullptr ? nullptr : qobject_cast<TFrmCode*>(window->widget());
}

QList<TFrmCode*> TFrmMain::Editors() const {
  QList<TFrmCode*> editors;
  for (QMdiSubWindow* window : MdiArea->subWindowList())
    if (auto* editor = qobject_cast<TFrmCode*>(window->widget())) editors.append(editor);
  return editors;
}

TFrmCode* TFrmMain::NewEditor() {
  auto* editor = new TFrmCode;
  editor->ConfirmClose = [this](TFrmCode* e) { return ConfirmEditorClose(e); };
  QMdiSubWindow* window = MdiArea->addSubWindow(editor);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(editor->Memo, &QPlainTextEdit::cursorPositionChanged, this, [this] { AppIdle(); });
  // Queued: while the editor is being destroyed its window is only half a window.
  connect(editor, &QObject::destroyed, this, [this] { AppIdle(); }, Qt::QueuedConnection);
  return editor;
}

int TFrmMain::AskAboutEditor(TFrmCode* editor) {
  const QString name = editor->FileName.empty() ? editor->windowTitle() : ShownPath(editor->FileName);
  return ShowMessage(this, name + QStringLiteral("\n文件已修改，是否保存？"), kBoxWarningYesNoCancel);
}

bool TFrmMain::ConfirmEditorClose(TFrmCode* editor) {
  switch (AskAboutEditor(editor)) {
    case kIdYes: return SaveEditor(editor, editor->FileName.empty());
    case kIdNo: return true;
    default: return false;
  }
}

bool TFrmMain::MayWriteOver(TFrmCode* editor) {
  if (!editor->DiskFile.ChangedOnDisk(editor->FileName)) return true;
  return ShowMessage(this,
                     ShownPath(editor->FileName) +
                         QStringLiteral("\n磁盘上的这个文件在打开或上次保存之后已被改动。\n是否用编辑器中的内容覆盖它？"),
                     kBoxWarningYesNo) == kIdYes;
}

bool TFrmMain::SaveEditor(TFrmCode* editor, bool askName) {
  std::string path = editor->FileName;
  if (askName) {
    const QString chosen = FileDialogs->SaveSource(this);
    if (chosen.isEmpty()) return false;
    path = FileSystemName(chosen);
  }
  if (path == editor->FileName && !MayWriteOver(editor)) return false;
  if (!editor->SaveFile(path)) {
    ShowStatus(0, QStringLiteral("保存失败！"));
    return false;
  }
  editor->FileName = path;
  editor->UpdateCaption();
  return true;
}

void TFrmMain::SaveEditorCommand(bool askName, const QString& doneStatus) {
  TFrmCode* editor = ActiveEditor();
  if (editor == nullptr) {
    ShowMessage(this, QStringLiteral("没找到需要保存的文件！"), kBoxWarning);
    return;
  }
  if (SaveEditor(editor, askName || editor->FileName.empty())) ShowStatus(0, doneStatus);
}

void TFrmMain::MnuNewClick() {
  TFrmCode* editor = NewEditor();
  const int count = static_cast<int>(MdiArea->subWindowList().size());
  editor->showMaximized();
  editor->parentWidget()->showMaximized();
  editor->setWindowTitle(QStringLiteral("编写代码") + QString::number(count));
  ShowStatus(0, QStringLiteral("新建文件"));
}

void TFrmMain::MnuOpenClick() {
  const QString path = FileDialogs->OpenSource(this);
  if (path.isEmpty()) return;
  OpenNewEditor(FileSystemName(path));
}

void TFrmMain::MnuSaveClick() { SaveEditorCommand(false, QStringLiteral("保存完毕！")); }

void TFrmMain::MnuSaveAsClick() { SaveEditorCommand(true, QStringLiteral("另存为完毕！")); }

QPrinter& TFrmMain::SharedPrinter() {
  if (!Printer) Printer = std::make_unique<QPrinter>();
  return *Printer;
}

void TFrmMain::MnuPreviewClick() { FileDialogs->SetUpPage(this, SharedPrinter()); }

void TFrmMain::MnuPrintClick() {
  TFrmCode* editor = ActiveEditor();
  if (editor == nullptr) {
    ShowMessage(this, QStringLiteral("没找到需要打印的文件！"), kBoxWarning);
    return;
  }
  QPrinter& printer = SharedPrinter();
  PreparePrinter(printer, ShownPath(editor->FileName));
  if (!FileDialogs->ChoosePrinter(this, printer)) return;
  PrintEditorText(this, editor->Memo, printer, ShownPath(editor->FileName));
}

int32_t TFrmMain::OpenSourceFile(const std::string& fileName) {
  for (TFrmCode* editor : Editors()) {
    if (editor->FileName == fileName) {
      MdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(editor->parentWidget()));
      return 0;
    }
  }
  OpenNewEditor(fileName);
  return 0;
}

bool TFrmMain::OpenNewEditor(const std::string& path) {
  TFrmCode* editor = NewEditor();
  if (!editor->LoadFile(path)) {
    // No editor may stand for a file it does not hold.
    delete editor->parentWidget();
    return false;
  }
  editor->parentWidget()->showMaximized();
  ShowStatus(0, QStringLiteral("打开完毕！"));
  editor->UpdateCaption();
  return true;
}
