#include "workbench/gui/frm_main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "platform/exception_guard.h"
#include "workbench/gui/about_box.h"
#include "platform/gbk_qt.h"
#include "platform/message_box.h"
#include "workbench/model/launcher.h"

namespace {

QPlainTextEdit* NewPane(QWidget* parent, const char* name) {
  auto* pane = new QPlainTextEdit(parent);
  pane->setObjectName(QString::fromLatin1(name));
  pane->setFont(QFont(QStringLiteral("SimSun"), 9));
  pane->setPlainText(QStringLiteral("就绪"));
  pane->setContextMenuPolicy(Qt::CustomContextMenu);
  return pane;
}

}  // namespace

TFrmMain::TFrmMain(std::unique_ptr<TFileDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent),
      MdiArea(new QMdiArea(this)),
      FileDialogs(dialogs ? std::move(dialogs) : std::make_unique<TQtFileDialogs>()) {
  setObjectName(QStringLiteral("FrmMain"));
  setWindowTitle(QStringLiteral("TALVO编译器Complier"));
  resize(979, 563);
  setFont(QFont(QStringLiteral("SimSun"), 9));
  MdiArea->setObjectName(QStringLiteral("MdiArea"));
  FindDlg = new TFindDialog(false, this);
  ReplaceDlg = new TFindDialog(true, this);
  connect(FindDlg, &TFindDialog::Find, this, [this] { RunGuarded(this, [this] { FindDlgFind(); }); });
  connect(ReplaceDlg, &TFindDialog::Find, this, [this] { RunGuarded(this, [this] { ReplaceDlgFind(); }); });
  connect(ReplaceDlg, &TFindDialog::Replace, this, [this] { RunGuarded(this, [this] { ReplaceDlgReplace(); }); });
  connect(ReplaceDlg, &TFindDialog::ReplaceAll, this, [this] { RunGuarded(this, [this] { ReplaceDlgReplaceAll(); }); });
  FrmProject = new TFrmProject(FileDialogs.get(), this);
  FrmProjectSetup = new TFrmProjectSetup(this);
  ProjectDialogs = std::make_unique<TGuiProjectDialogs>(FrmProject, FrmProjectSetup);
  Project.Dialogs = ProjectDialogs.get();
  Project.ShowBox = [this](const std::string& text, int flags) { return ShowMessageBox(this, text, flags); };
  BuildPanels();
  BuildMenus();
  connect(MdiArea, &QMdiArea::subWindowActivated, this, [this] { AppIdle(); });
  AppIdle();
}

TFrmMain::~TFrmMain() {
  Project.Dialogs = nullptr;
  // The editors go with the base class, after this object has stopped being a frame:
  // their signals must no longer reach it.
  for (QMdiSubWindow* window : MdiArea->subWindowList()) {
    window->disconnect(this);
    if (window->widget() != nullptr) {
      window->widget()->disconnect(this);
      if (auto* editor = qobject_cast<TFrmCode*>(window->widget())) editor->Memo->disconnect(this);
    }
  }
  MdiArea->disconnect(this);
}

QAction* TFrmMain::AddAction(QMenu* menu, const char* name, const QString& caption, void (TFrmMain::*handler)(),
                             const QKeySequence& shortcut) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) {
    action->setShortcut(shortcut);
    // Application-wide rather than system-wide: the keys stay with other programs.
    action->setShortcutContext(Qt::ApplicationShortcut);
  }
  if (handler != nullptr) connect(action, &QAction::triggered, this, [this, handler] { RunGuarded(this, [this, handler] { (this->*handler)(); }); });
  return action;
}

QAction* TFrmMain::Action(const char* objectName) const {
  return findChild<QAction*>(QString::fromLatin1(objectName));
}

void TFrmMain::BuildPanels() {
  PaneLeft = new QTabWidget(this);
  PaneLeft->setObjectName(QStringLiteral("PaneLeft"));
  LstPFiles = new QListWidget(PaneLeft);
  LstPFiles->setObjectName(QStringLiteral("LstPFiles"));
  LstPFiles->setContextMenuPolicy(Qt::CustomContextMenu);
  static_cast<QTabWidget*>(PaneLeft)->addTab(LstPFiles, QStringLiteral("项目文件"));
  PaneLeft->setMinimumWidth(209);
  PaneLeft->setMaximumWidth(209);
  connect(LstPFiles, &QListWidget::itemDoubleClicked, this, [this] { RunGuarded(this, [this] { LstPFilesDblClick(); }); });

  auto* bottom = new QTabWidget(this);
  bottom->setObjectName(QStringLiteral("PageControl1"));
  PanelBottom = bottom;
  MemoSys = NewPane(bottom, "MemoSys");
  MemoDebug = NewPane(bottom, "MemoDebug");
  bottom->addTab(MemoSys, QStringLiteral("系统信息"));
  bottom->addTab(MemoDebug, QStringLiteral("调试信息"));
  bottom->setFixedHeight(133);

  auto* right = new QWidget(this);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  rightLayout->addWidget(MdiArea, 1);
  auto* top = new QWidget(this);
  auto* topLayout = new QHBoxLayout(top);
  topLayout->setContentsMargins(0, 0, 0, 0);
  topLayout->addWidget(PaneLeft);
  topLayout->addWidget(right, 1);
  auto* central = new QWidget(this);
  auto* centralLayout = new QVBoxLayout(central);
  centralLayout->setContentsMargins(0, 0, 0, 0);
  centralLayout->addWidget(top, 1);
  centralLayout->addWidget(PanelBottom);
  setCentralWidget(central);

  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StsBar"));
  const int widths[3] = {150, 200, 50};
  const QString texts[3] = {QStringLiteral("就绪"), QStringLiteral("系统信息"), QStringLiteral("TALVO128")};
  for (int i = 0; i < 3; ++i) {
    StatusPanels[i] = new QLabel(texts[i], bar);
    StatusPanels[i]->setMinimumWidth(widths[i]);
    bar->addWidget(StatusPanels[i]);
  }
}

void TFrmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMnu"));
  QMenu* file = bar->addMenu(QStringLiteral("文件(&File)"));
  AddAction(file, "MnuNew", QStringLiteral("新建文件(&New)"), &TFrmMain::MnuNewClick);
  AddAction(file, "MnuOpen", QStringLiteral("打开文件(&Open)"), &TFrmMain::MnuOpenClick, QKeySequence(Qt::CTRL | Qt::Key_O));
  AddAction(file, "MnuSave", QStringLiteral("保存文件(&Save)"), &TFrmMain::MnuSaveClick, QKeySequence(Qt::CTRL | Qt::Key_S));
  AddAction(file, "MnuSaveAs", QStringLiteral("另存为(S&ave As)"), &TFrmMain::MnuSaveAsClick);
  file->addSeparator();
  AddAction(file, "MnuPreview", QStringLiteral("打印设置(&Preview)"), &TFrmMain::MnuPreviewClick);
  AddAction(file, "MnuPrint", QStringLiteral("打印(P&rint)"), &TFrmMain::MnuPrintClick, QKeySequence(Qt::CTRL | Qt::Key_P));
  file->addSeparator();
  QAction* exit = AddAction(file, "MnuExit", QStringLiteral("退出(&Exit)"), nullptr);
  connect(exit, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = bar->addMenu(QStringLiteral("编辑(&Edit)"));
  AddAction(edit, "MnuCut", QStringLiteral("剪切(&Cut)"), &TFrmMain::MnuCutClick);
  AddAction(edit, "MnuCopy", QStringLiteral("复制(&Copy)"), &TFrmMain::MnuCopyClick);
  AddAction(edit, "MnuPaste", QStringLiteral("粘贴(&Paste)"), &TFrmMain::MnuPasteClick);
  edit->addSeparator();
  AddAction(edit, "MnuSelectAll", QStringLiteral("全选(Select &All)"), &TFrmMain::MnuSelectAllClick);
  edit->addSeparator();
  AddAction(edit, "MnuLineNo", QStringLiteral("转到行号(&LineNo)"), &TFrmMain::MnuLineNoClick);
  QAction* find = AddAction(edit, "MnuFind", QStringLiteral("查找(&Find)"), nullptr);
  connect(find, &QAction::triggered, FindDlg, &QDialog::show);
  QAction* replace = AddAction(edit, "MnuReplace", QStringLiteral("替代(&Replace)"), nullptr);
  connect(replace, &QAction::triggered, ReplaceDlg, &QDialog::show);

  QMenu* project = bar->addMenu(QStringLiteral("项目(&Project)"));
  AddAction(project, "MnuNewProject", QStringLiteral("新建项目(&New)"), &TFrmMain::MnuNewProjectClick);
  AddAction(project, "MnuOpenProject", QStringLiteral("打开项目(&Open)"), &TFrmMain::MnuOpenProjectClick);
  AddAction(project, "MnuSaveProject", QStringLiteral("保存项目(&Save)"), &TFrmMain::MnuSaveProjectClick);
  AddAction(project, "MnuSaveAsProject", QStringLiteral("项目另存为(S&ave As)"), &TFrmMain::MnuSaveAsProjectClick);
  project->addSeparator();
  AddAction(project, "MnuFileList", QStringLiteral("项目文件列表(&FileList)"), &TFrmMain::MnuFileListClick);
  project->addSeparator();
  AddAction(project, "MnuProjectSetup", QStringLiteral("项目属性(Project &Setup)"), &TFrmMain::MnuProjectSetupClick);

  QMenu* complier = bar->addMenu(QStringLiteral("编译(&Complier)"));
  complier->setObjectName(QStringLiteral("Complier1"));
  AddAction(complier, "MnuBuild", QStringLiteral("编译项目(&Build)"), &TFrmMain::MnuBuildClick, QKeySequence(Qt::Key_F9));
  AddAction(complier, "MnuComplie", QStringLiteral("编译当前文件(&Complie)"), &TFrmMain::MnuComplieClick,
            QKeySequence(Qt::CTRL | Qt::Key_F9));

  QMenu* view = bar->addMenu(QStringLiteral("视图(&View)"));
  view->setObjectName(QStringLiteral("MnuView"));
  QAction* left = AddAction(view, "MnuLeftPanel", QStringLiteral("显示/隐藏左边栏(&Left Panel)"), nullptr);
  QAction* bottom = AddAction(view, "MnuBottomPanel", QStringLiteral("显示/隐藏下边栏(&Bottom  Panel)"), nullptr);
  left->setCheckable(true);
  bottom->setCheckable(true);
  connect(view, &QMenu::aboutToShow, this, [this, left, bottom] {
    left->setChecked(PaneLeft->isVisible());
    bottom->setChecked(PanelBottom->isVisible());
  });
  connect(left, &QAction::triggered, this, [this] { PaneLeft->setVisible(!PaneLeft->isVisible()); });
  connect(bottom, &QAction::triggered, this, [this] { PanelBottom->setVisible(!PanelBottom->isVisible()); });

  MnuWindows = bar->addMenu(QStringLiteral("窗口(&Windows)"));
  MnuWindows->setObjectName(QStringLiteral("MnuWindows"));
  connect(AddAction(MnuWindows, "MnuCasced", QStringLiteral("层叠窗口(&Casced)"), nullptr), &QAction::triggered,
          MdiArea, &QMdiArea::cascadeSubWindows);
  connect(AddAction(MnuWindows, "MnuTile", QStringLiteral("排列窗口(&Tile)"), nullptr), &QAction::triggered,
          MdiArea, &QMdiArea::tileSubWindows);
  connect(AddAction(MnuWindows, "MnuArrangeIcon", QStringLiteral("排列图标(&ArrangeIcon)"), nullptr),
          &QAction::triggered, MdiArea, &QMdiArea::tileSubWindows);
  connect(AddAction(MnuWindows, "MnuPrev", QStringLiteral("上一个窗口(&Prev)"), nullptr), &QAction::triggered,
          MdiArea, &QMdiArea::activatePreviousSubWindow);
  connect(AddAction(MnuWindows, "MnuNext", QStringLiteral("下一个窗口(&Next)"), nullptr), &QAction::triggered,
          MdiArea, &QMdiArea::activateNextSubWindow);
  QAction* windowsEnd = MnuWindows->addSeparator();
  connect(MnuWindows, &QMenu::aboutToShow, this, [this, windowsEnd] {
    const QList<QAction*> actions = MnuWindows->actions();
    for (qsizetype i = actions.indexOf(windowsEnd) + 1; i < actions.size(); ++i) {
      MnuWindows->removeAction(actions[i]);
      actions[i]->deleteLater();
    }
    for (QMdiSubWindow* window : MdiArea->subWindowList()) {
      QAction* item = MnuWindows->addAction(window->windowTitle());
      item->setCheckable(true);
      item->setChecked(window == MdiArea->activeSubWindow());
      connect(item, &QAction::triggered, this, [this, window] { MdiArea->setActiveSubWindow(window); });
    }
  });

  QMenu* tools = bar->addMenu(QStringLiteral("工具(&Tools)"));
  QMenu* help = bar->addMenu(QStringLiteral("帮助(&Help)"));
  const QString captions[kLaunchCount] = {
      QStringLiteral("帮助主题(&Content)"), QStringLiteral("汇编语言帮助(&AsmHelp)"),
      QStringLiteral("十六进制文件转二进制文件(&Quoll)"), QStringLiteral("二进制文件转十六进制文件(&Numbat)"),
      QStringLiteral("字符数统计(&Bilby)"), QStringLiteral("QOBJ目标文件观察器（&Wallaby)"),
      QStringLiteral("文件和文件夹同步器(&Dingbat)"), QStringLiteral("中文文件比较器(&Possum)"),
      QStringLiteral("二进制文件操作器(&Dunnart)"), QStringLiteral("源码行自动统计器(&Kowari)"),
      QStringLiteral("TALVO128仿真机(&TALVOSim)")};
  for (int i = 0; i < kLaunchCount; ++i) {
    QMenu* menu = i < 2 ? help : tools;
    if (i == 4 || i == 9 || i == 10) menu->addSeparator();
    QAction* action = AddAction(menu, kLaunchItems[i].Component, captions[i], nullptr,
                                i == 0 ? QKeySequence(Qt::Key_F1) : QKeySequence());
    connect(action, &QAction::triggered, this, [this, i] { RunGuarded(this, [this, i] { Launch(i); }); });
  }
  help->addSeparator();
  QAction* about = AddAction(help, "MnuAbout", QStringLiteral("关于本软件(&About)"), nullptr);
  auto* aboutBox = new TAboutBox(this);
  connect(about, &QAction::triggered, aboutBox, &QDialog::exec);

  QToolBar* toolBar = addToolBar(QStringLiteral("ToolBar1"));
  toolBar->setObjectName(QStringLiteral("ToolBar1"));
  toolBar->setMovable(false);
  const struct {
    const char* name;
    QString hint;
    const char* action;
    QStyle::StandardPixmap icon;
  } buttons[] = {
      {"TBNew", QStringLiteral("新建文件"), "MnuNew", QStyle::SP_FileIcon},
      {"TBOpen", QStringLiteral("打开文件"), "MnuOpen", QStyle::SP_DialogOpenButton},
      {"TBSave", QStringLiteral("保存文件"), "MnuSave", QStyle::SP_DialogSaveButton},
      {"TBBuild", QStringLiteral("编译当前工程"), "MnuBuild", QStyle::SP_MediaPlay},
  };
  for (const auto& button : buttons) {
    if (QString::fromLatin1(button.name) == QStringLiteral("TBBuild")) toolBar->addSeparator();
    QAction* target = Action(button.action);
    QAction* tool = toolBar->addAction(style()->standardIcon(button.icon), button.hint);
    tool->setObjectName(QString::fromLatin1(button.name));
    tool->setToolTip(button.hint);
    connect(tool, &QAction::triggered, target, &QAction::trigger);
  }

  auto* popProject = new QMenu(this);
  popProject->setObjectName(QStringLiteral("PopProject"));
  AddAction(popProject, "MnuTop", QStringLiteral("将选中的项目置顶(&Top)"), &TFrmMain::MnuTopClick);
  AddAction(popProject, "MnuBack", QStringLiteral("将选中的项目置底(&Back)"), &TFrmMain::MnuBackClick);
  AddAction(popProject, "MnuBringPre", QStringLiteral("置为前一个(&Pre)"), &TFrmMain::MnuBringPreClick);
  AddAction(popProject, "MnuBringNext", QStringLiteral("置为后一个(&Next)"), &TFrmMain::MnuBringNextClick);
  popProject->addSeparator();
  AddAction(popProject, "PopSaveProject", QStringLiteral("保存项目(&Save Project)"), &TFrmMain::MnuSaveProjectClick);
  popProject->addSeparator();
  AddAction(popProject, "MnuAddFile", QStringLiteral("添加源文件(&Add File)"), &TFrmMain::MnuAddFileClick);
  AddAction(popProject, "MnuRemoveFile", QStringLiteral("删除记录(&Remove File)"), &TFrmMain::MnuRemoveFileClick);
  connect(LstPFiles, &QWidget::customContextMenuRequested, this,
          [this, popProject](const QPoint& at) { popProject->popup(LstPFiles->mapToGlobal(at)); });

  auto* popSys = new QMenu(this);
  popSys->setObjectName(QStringLiteral("PopSysInfoMnu"));
  connect(popSys->addAction(QStringLiteral("复制(&Copy)")), &QAction::triggered, MemoSys, &QPlainTextEdit::copy);
  connect(popSys->addAction(QStringLiteral("剪切(C&ut)")), &QAction::triggered, MemoSys, &QPlainTextEdit::cut);
  connect(popSys->addAction(QStringLiteral("粘贴(&Paste)")), &QAction::triggered, MemoSys, &QPlainTextEdit::paste);
  popSys->addSeparator();
  connect(popSys->addAction(QStringLiteral("全选(&Select All)")), &QAction::triggered, MemoSys, &QPlainTextEdit::selectAll);
  popSys->addSeparator();
  connect(popSys->addAction(QStringLiteral("清空系统信息(C&lear)")), &QAction::triggered, MemoSys, &QPlainTextEdit::clear);
  popSys->addSeparator();
  connect(popSys->addAction(QStringLiteral("保存系统信息(S&ave)")), &QAction::triggered, this,
          [this] { RunGuarded(this, [this] { SavePane(MemoSys); }); });
  connect(MemoSys, &QWidget::customContextMenuRequested, this,
          [this, popSys](const QPoint& at) { popSys->popup(MemoSys->mapToGlobal(at)); });

  auto* popDebug = new QMenu(this);
  popDebug->setObjectName(QStringLiteral("DebugMnu"));
  connect(popDebug->addAction(QStringLiteral("复制(&Copy)")), &QAction::triggered, MemoDebug, &QPlainTextEdit::copy);
  connect(popDebug->addAction(QStringLiteral("剪切(C&ut)")), &QAction::triggered, MemoDebug, &QPlainTextEdit::cut);
  popDebug->addSeparator();
  connect(popDebug->addAction(QStringLiteral("全选(&Select All)")), &QAction::triggered, MemoDebug, &QPlainTextEdit::selectAll);
  popDebug->addSeparator();
  connect(popDebug->addAction(QStringLiteral("清空调试信息内容(C&lear)")), &QAction::triggered, MemoDebug, &QPlainTextEdit::clear);
  popDebug->addSeparator();
  connect(popDebug->addAction(QStringLiteral("保存调试信息(S&ave)")), &QAction::triggered, this,
          [this] { RunGuarded(this, [this] { SavePane(MemoDebug); }); });
  connect(MemoDebug, &QWidget::customContextMenuRequested, this,
          [this, popDebug](const QPoint& at) { popDebug->popup(MemoDebug->mapToGlobal(at)); });
}

void TFrmMain::AddSysInfo(const QString& text) {
  // One line per line break of the text; an empty text adds one empty line.
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (lines.endsWith(QLatin1Char('\n'))) lines.chop(1);
  MemoSys->appendPlainText(lines);
}

void TFrmMain::AddSysInfoGbk(const std::string& gbkText) { AddSysInfo(GbkToQString(gbkText)); }

void TFrmMain::AddSysInfoUtf8(const std::string& text) { AddSysInfo(QString::fromStdString(text)); }

void TFrmMain::ClearSysInfo() { MemoSys->clear(); }

void TFrmMain::ShowStatus(int panel, const QString& text) {
  if (panel < 0 || panel > 2) return;
  StatusPanels[panel]->setText(text);
  StatusPanels[panel]->repaint();
}

void TFrmMain::WMHotKey(int id) {
  switch (HotKeyCommand(id)) {
    case THotCommand::Open: MnuOpenClick(); break;
    case THotCommand::Save: MnuSaveClick(); break;
    case THotCommand::Compile: MnuComplieClick(); break;
    case THotCommand::Print: MnuPrintClick(); break;
    case THotCommand::Build: MnuBuildClick(); break;
    case THotCommand::Content: Launch(0); break;
    case THotCommand::None: break;
  }
}

void TFrmMain::closeEvent(QCloseEvent* event) {
  bool quit = false;
  RunGuarded(this, [this, &quit] { quit = ConfirmQuit(); });
  if (quit)
    event->accept();
  else
    event->ignore();
}

bool TFrmMain::ConfirmQuit() {
  QList<TFrmCode*> toSave;
  QList<TFrmCode*> toDiscard;
  for (TFrmCode* editor : Editors()) {
    if (!editor->IsModified()) continue;
    switch (AskAboutEditor(editor)) {
      case kIdYes: toSave << editor; break;
      case kIdNo: toDiscard << editor; break;
      default: return false;
    }
  }
  const int project = AskAboutProject();
  if (project == kIdCancel) return false;
  for (TFrmCode* editor : toSave)
    if (!SaveEditor(editor, editor->FileName.empty())) return false;
  if (project == kIdYes && !SaveProject()) return false;
  // The editors go with the frame; their own close must not ask again.
  for (TFrmCode* editor : toDiscard) editor->Memo->document()->setModified(false);
  return true;
}
