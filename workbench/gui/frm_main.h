#pragma once
// The workbench's frame: editors in an MDI area, the project list, the message
// panes, the status bar, and every command of the menus, tool bar and keys.

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <memory>

#include "workbench/gui/file_dialogs.h"
#include "workbench/gui/find_dialogs.h"
#include "workbench/gui/frm_code.h"
#include "workbench/gui/project_dialogs.h"
#include "workbench/model/project.h"

class QAction;
class QMenu;
class QPrinter;
class QTabWidget;

class TFrmMain : public QMainWindow {
  Q_OBJECT
 public:
  // The dialogs default to the real file dialogs; tests pass fakes.
  explicit TFrmMain(std::unique_ptr<TFileDialogs> dialogs = nullptr, QWidget* parent = nullptr);
  ~TFrmMain() override;

  TProject Project;

  QMdiArea* MdiArea;
  QListWidget* LstPFiles;
  QPlainTextEdit* MemoSys;
  QPlainTextEdit* MemoDebug;
  QLabel* StatusPanels[3];
  QWidget* PaneLeft;
  QWidget* PanelBottom;
  TFindDialog* FindDlg;
  TFindDialog* ReplaceDlg;
  TFrmProject* FrmProject;
  TFrmProjectSetup* FrmProjectSetup;

  void AddSysInfo(const QString& text);
  void AddSysInfoGbk(const std::string& gbkText);
  // A UTF-8 text, as the toolchain's reports are.
  void AddSysInfoUtf8(const std::string& text);
  void ClearSysInfo();
  // Sets the panel and repaints the status bar at once; runs no queued input.
  void ShowStatus(int panel, const QString& text);
  TFrmCode* ActiveEditor() const;
  QList<TFrmCode*> Editors() const;
  QAction* Action(const char* objectName) const;

  // Runs the command of a hot-key id (0..5); other ids do nothing.
  void WMHotKey(int id);

  // File commands.
  void MnuNewClick();
  void MnuOpenClick();
  void MnuSaveClick();
  void MnuSaveAsClick();
  void MnuPreviewClick();
  void MnuPrintClick();
  // The file system's name of the file, as its bytes.
  int32_t OpenSourceFile(const std::string& fileName);
  // Edit commands.
  void MnuCutClick();
  void MnuCopyClick();
  void MnuPasteClick();
  void MnuSelectAllClick();
  void MnuLineNoClick();
  void FindDlgFind();
  void ReplaceDlgFind();
  // Replaces the selection when it is an occurrence, then selects the next one.
  void ReplaceDlgReplace();
  // Replaces every occurrence at once and says how many.
  void ReplaceDlgReplaceAll();
  void AppIdle();
  // Project commands.
  void MnuNewProjectClick();
  void MnuOpenProjectClick();
  void MnuSaveProjectClick();
  void MnuSaveAsProjectClick();
  void MnuFileListClick();
  void MnuProjectSetupClick();
  void MnuTopClick();
  void MnuBackClick();
  void MnuBringPreClick();
  void MnuBringNextClick();
  void MnuAddFileClick();
  void MnuRemoveFileClick();
  void LstPFilesDblClick();
  void SyncProjectFiles();
  // Build commands.
  void MnuComplieClick();
  void MnuBuildClick();
  // Launcher: the item's index in the launch table.
  void Launch(int item);
  // Panes.
  void SavePane(QPlainTextEdit* pane);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildPanels();
  QAction* AddAction(QMenu* menu, const char* name, const QString& caption, void (TFrmMain::*handler)(),
                     const QKeySequence& shortcut = {});
  TFrmCode* NewEditor();
  bool OpenNewEditor(const std::string& path);
  bool EditorOrBox(TFrmCode*& editor, int flags);
  // kIdYes (save), kIdNo (discard) or kIdCancel about an editor's unsaved text.
  int AskAboutEditor(TFrmCode* editor);
  bool ConfirmEditorClose(TFrmCode* editor);
  // True when the editor's file is the one it last read or wrote, or the user lets
  // the save write over what another program put there.
  bool MayWriteOver(TFrmCode* editor);
  // True once the file is on the disk; a cancelled name dialog, a No to writing over
  // a file changed on disk or a failed write leaves the editor and its file as they
  // were.
  bool SaveEditor(TFrmCode* editor, bool askName);
  void SaveEditorCommand(bool askName, const QString& doneStatus);
  // Every question about unsaved work first; nothing is saved or dropped unless
  // the user cancelled none of them.
  bool ConfirmQuit();
  int AskAboutProject();
  bool ConfirmProjectChange();
  bool SaveProject();
  bool SaveProjectFile(const std::string& path, const QString& doneStatus);
  void RefillProjectList();
  void MoveSelected(int move, const QString& status);
  // Selects the next occurrence in the active editor; false when there is none.
  bool FindNext(TFrmCode* editor, TFindDialog* dialog, const QString& status);
  void FindCommand(TFindDialog* dialog, const QString& status);
  void ReplaceDone();
  // False, after telling the user, for a file that lists no source.
  bool OpenProjectFile(const QString& chosen);
  QPrinter& SharedPrinter();

  std::unique_ptr<TFileDialogs> FileDialogs;
  std::unique_ptr<TGuiProjectDialogs> ProjectDialogs;
  // One printer for page setup and print, so the page chosen is the page printed.
  std::unique_ptr<QPrinter> Printer;
  QMenu* MnuWindows = nullptr;
  bool ProjectModified = false;
  bool Building = false;
};
