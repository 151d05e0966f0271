#include "simulator/gui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <mutex>

#include "base/gbk_convert.h"
#include "platform/exception_guard.h"
#include "platform/gbk_qt.h"
#include "platform/message_box.h"
#include "platform/shell_open.h"
#include "simulator/gui/about_box.h"
#include "simulator/gui/calculator_dialog.h"
#include "simulator/gui/cpu_setup_dialog.h"
#include "simulator/gui/key_character.h"
#include "simulator/gui/memory_window.h"
#include "simulator/gui/perip_setup_dialog.h"
#include "simulator/gui/register_window.h"
#include "simulator/gui/screen_view.h"
#include "simulator/gui/test_dialog.h"
#include "simulator/gui/window_placement.h"
#include "simulator/model/run_outcome.h"
#include "simulator/model/sim_texts.h"

namespace {

constexpr int kToolBarHeight = 29;
// Frames are taken over at about 60 Hz.
constexpr int kSyncIntervalMs = 16;
constexpr int kInstructionDisplayMs = 500;

using Lock = std::lock_guard<TCoreLock>;

// Images of the command list: one instruction, run from start, pause, resume, stop, reset.
QIcon CommandIcon(int image) {
  static const QStyle::StandardPixmap kPixmaps[] = {
      QStyle::SP_ArrowRight,  QStyle::SP_MediaPlay, QStyle::SP_MediaPause,
      QStyle::SP_MediaSeekForward, QStyle::SP_MediaStop, QStyle::SP_BrowserReload};
  return QApplication::style()->standardIcon(kPixmaps[image]);
}

}  // namespace

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("FrmMain"));
  setWindowTitle(GbkToQString(kTextAppTitle));
  resize(979, 563);

  BuildMenus();
  BuildToolBar();
  BuildStatusBar();

  screen_ = new TScreenView(this);
  setCentralWidget(screen_);
  screen_->OnKey = [this](char key) { FormKeyPress(key); };
  screen_->OnMouseDown = [this](int button, int x, int y) { FormMouseDown(button, x, y + toolBar_->height()); };
  screen_->OnMouseMove = [this](int button, int x, int y) { FormMouseMove(button, x, y + toolBar_->height()); };
  screen_->OnResize = [this](int width, int height) {
    Lock guard(CPU.CoreLock);
    surface_.Resize(width, height);
  };
  screen_->setFocus();

  timer_ = new QTimer(this);
  connect(timer_, &QTimer::timeout, this, [this] { Guarded(&TFrmMain::TimerTimer); });
  timerShowOp_ = new QTimer(this);
  timerShowOp_->setInterval(kInstructionDisplayMs);
  connect(timerShowOp_, &QTimer::timeout, this, [this] { Guarded(&TFrmMain::TimerShowOpTimer); });
  syncTimer_ = new QTimer(this);
  connect(syncTimer_, &QTimer::timeout, this, &TFrmMain::SyncFromCore);
  syncTimer_->start(kSyncIntervalMs);

  frmCPUSetup_ = new TFrmCPUSetup(this);
  frmAdd_ = new TFrmAdd(this);
  frmPeripSetup_ = new TFrmPeripSetup(this);

  {
    Lock guard(CPU.CoreLock);
    CPU.Host = this;
    CPU.LoadPortTable(PortTable);
  }
  CentreOnDesktop(this);
}

TFrmMain::~TFrmMain() { ShutDown(); }

void TFrmMain::ShutDown() {
  if (shutDown_) return;
  shutDown_ = true;
  alive_ = false;
  syncTimer_->stop();
  timer_->stop();
  timerShowOp_->stop();
  // The loader first: a load waiting for its turn behind the run's reset gives up
  // instead of reading once that reset is given up.
  biosLoader_.Stop();
  run_.Close();
  for (const QPointer<QWidget>& window : windows_) delete window.data();
  windows_.clear();
  Lock guard(CPU.CoreLock);
  CPU.Floppy.Close();
  CPU.HardDisk.Close();
  CPU.Host = nullptr;
}

void TFrmMain::BuildMenus() {
  auto add = [this](QMenu* menu, const char* name, const QString& caption, void (TFrmMain::*command)(),
                    int image = -1) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    if (image >= 0) action->setIcon(CommandIcon(image));
    connect(action, &QAction::triggered, this, [this, command] { Guarded(command); });
    return action;
  };
  QMenu* project = menuBar()->addMenu(QStringLiteral("项目(&Project)"));
  project->setObjectName(QStringLiteral("MnuProject"));
  add(project, "MnuExit", QStringLiteral("退出本软件(&Exit)"), &TFrmMain::MnuExitClick);

  QMenu* cpu = menuBar()->addMenu(QStringLiteral("&CPU设置与功能"));
  cpu->setObjectName(QStringLiteral("MnuCPU"));
  add(cpu, "MnuReset", QStringLiteral("复位(&Reset)"), &TFrmMain::MnuResetClick, 5);
  add(cpu, "MnuCPUSetup", QStringLiteral("C&PU设置(CPU Setup)"), &TFrmMain::MnuCPUSetupClick);
  cpu->addSeparator();
  add(cpu, "MnuAOp", QStringLiteral("运行一条指令(&AOp)"), &TFrmMain::MnuAOpClick, 0);
  add(cpu, "OpRun", QStringLiteral("从头运行(&Run)"), &TFrmMain::OpRunClick, 1);
  add(cpu, "MnuPause", QStringLiteral("暂停(&Pause)"), &TFrmMain::MnuPauseClick, 2);
  add(cpu, "MnuResume", QStringLiteral("恢复运行(R&esume)"), &TFrmMain::MnuResumeClick, 3);
  add(cpu, "MnuStop", QStringLiteral("停止运行(&Stop)"), &TFrmMain::MnuStopClick, 4);

  QMenu* perip = menuBar()->addMenu(QStringLiteral("外设(P&eripheral)"));
  perip->setObjectName(QStringLiteral("MnuPeripheral"));
  add(perip, "MnuPeripSetup", QStringLiteral("外设总体设置(&Setup)"), &TFrmMain::MnuPeripSetupClick);
  perip->addSeparator();
  add(perip, "MnuJectFloppy", QStringLiteral("弹出虚拟软盘(&Ject Floppy)"), &TFrmMain::MnuJectFloppyClick);
  add(perip, "MnuOpenFloppy", QStringLiteral("打开虚拟软盘(&Open Floppy)"), &TFrmMain::MnuOpenFloppyClick);

  mnuTools_ = menuBar()->addMenu(QStringLiteral("工具(&Tools)"));
  mnuTools_->setObjectName(QStringLiteral("MnuTools"));
  connect(mnuTools_, &QMenu::aboutToShow, this, [this] { Guarded(&TFrmMain::MnuToolsClick); });
  add(mnuTools_, "MnuBigAdd", QStringLiteral("大整数计算(&BigCalc)"), &TFrmMain::MnuBigAddClick);
  add(mnuTools_, "MnuTestforTALVO128", QStringLiteral("仿真机基本操作测试(&Test for TALVO128)"),
      &TFrmMain::MnuTestforTALVO128Click);
  mnuTools_->addSeparator();
  add(mnuTools_, "MnuMemoryEdit", QStringLiteral("内存编辑器(&Memory Edit)"), &TFrmMain::MnuMemoryEditClick);
  add(mnuTools_, "MnuRegistersofCommon", QStringLiteral("通用寄存器编辑器(&Registers of Common)"),
      &TFrmMain::MnuRegistersofCommonClick);
  add(mnuTools_, "MnuSpecialRegisters", QStringLiteral("特殊功能寄存器编辑器(&Special Registers)"),
      &TFrmMain::MnuSpecialRegistersClick);
  mnuTools_->addSeparator();
  mnuTimerOpShow_ = add(mnuTools_, "MnuTimerOpShow", QStringLiteral("抽样指令显示(&TimerOpShow)"),
                        &TFrmMain::MnuTimerOpShowClick);
  mnuTimerOpShow_->setCheckable(true);
  mnuTimerOpShow_->setChecked(true);

  QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&Help)"));
  help->setObjectName(QStringLiteral("MnuHelp"));
  add(help, "MnuContent", QStringLiteral("帮助主题(&Content)"), &TFrmMain::MnuContentClick);
  add(help, "MnuAbout", QStringLiteral("关于本软件(&About)"), &TFrmMain::MnuAboutClick);

  for (QMenu* menu : {project, cpu, perip, mnuTools_, help}) {
    connect(menu, &QMenu::aboutToHide, this, &TFrmMain::ReturnKeysToScreen);
  }
}

void TFrmMain::ReturnKeysToScreen() {
  // A menu left with Esc hands the keyboard to the menu bar, where Tab and Space would
  // walk and open the menus instead of reaching the program. The bar takes it only
  // after the menu has hidden, so the screen takes it back from the event queue, unless
  // the user went on to another menu.
  QTimer::singleShot(0, this, [this] {
    if (QApplication::activePopupWidget() == nullptr) screen_->setFocus(Qt::OtherFocusReason);
  });
}

void TFrmMain::BuildToolBar() {
  toolBar_ = addToolBar(QStringLiteral("ToolBar"));
  toolBar_->setObjectName(QStringLiteral("ToolBar"));
  toolBar_->setMovable(false);
  toolBar_->setFixedHeight(kToolBarHeight);
  toolBar_->setIconSize(QSize(16, 16));
  toolBar_->setToolTip(QStringLiteral("单步指令"));
  auto add = [this](const char* name, int image, const QString& hint, void (TFrmMain::*command)()) {
    auto* button = new QToolButton(toolBar_);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(CommandIcon(image));
    button->setAutoRaise(true);
    // Keys belong to the screen: a focused button would take Space and Enter.
    button->setFocusPolicy(Qt::NoFocus);
    // A button without a hint of its own shows the tool bar's.
    button->setToolTip(hint.isEmpty() ? toolBar_->toolTip() : hint);
    connect(button, &QToolButton::clicked, this, [this, command] { Guarded(command); });
    toolBar_->addWidget(button);
    return button;
  };
  toolBar_->addSeparator();
  tbRunFirst_ = add("TBRunFirst", 1, QStringLiteral("从头运行"), &TFrmMain::OpRunClick);
  add("ToolButton5", 2, QStringLiteral("暂停运行"), &TFrmMain::MnuPauseClick);
  add("ToolButton6", 3, QStringLiteral("恢复运行"), &TFrmMain::MnuResumeClick);
  add("TBStopRun", 4, QStringLiteral("停止运行"), &TFrmMain::MnuStopClick);
  toolBar_->addSeparator();
  tbRun_ = add("TBRun", 0, QString(), &TFrmMain::MnuAOpClick);
  toolBar_->addSeparator();
  add("ToolButton9", 5, QStringLiteral("复位CPU"), &TFrmMain::MnuResetClick);
}

void TFrmMain::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("Sts"));
  bar->setSizeGripEnabled(false);
  const int widths[3] = {50, 150, 50};
  for (int panel = 0; panel < 3; ++panel) {
    panels_[panel] = new QLabel(bar);
    panels_[panel]->setMinimumWidth(widths[panel]);
    panels_[panel]->setFrameShape(QFrame::Panel);
    panels_[panel]->setFrameShadow(QFrame::Sunken);
    bar->addWidget(panels_[panel], panel == 2 ? 1 : 0);
  }
  SetPanel(0, kTextReady);
  panels_[2]->setText(QStringLiteral("TALVO128"));
}

void TFrmMain::SetPanel(int panel, const std::string& gbkText) { panels_[panel]->setText(GbkToQString(gbkText)); }

void TFrmMain::SetRunControlText(const std::string& gbkText) {
  if (gbkText.empty()) return;
  {
    // A paused run's last block has ended once the lock is had: no step follows.
    Lock guard(CPU.CoreLock);
    runControlFetchedWords_ = CPU.FetchedWords;
  }
  SetPanel(1, gbkText);
}

QString TFrmMain::StatusText(int panel) const { return panels_[panel]->text(); }

void TFrmMain::UpdateRunButtons() {
  tbRun_->setEnabled(run_.StepButtonEnabled());
  tbRunFirst_->setEnabled(run_.RunButtonEnabled());
}

void TFrmMain::Guarded(void (TFrmMain::*command)()) {
  RunGuarded(this, [this, command] { (this->*command)(); });
}

void TFrmMain::InOrder(std::function<void()> action, TRunControl::Waits waits) {
  // Served from the update when it waits, where no command's guard is around it.
  run_.InOrder([this, action = std::move(action)] { RunGuarded(this, action); }, waits);
}

TInOrder TFrmMain::ChangesInOrder() {
  return [this](std::function<void()> change) { InOrder(std::move(change)); };
}

// ---------------------------------------------------------------- run control

// Each command acts in the order given: behind a reset still reading its files, on the
// machine it leaves.

void TFrmMain::OpRunClick() {
  InOrder(
      [this] {
        const std::string text = run_.RunFromStart([this] {
          // Switched off before the thread starts, which switches it on for its run.
          Lock guard(CPU.CoreLock);
          instructionTimerWanted_ = false;
        });
        floppyTold_ = {};
        hardDiskTold_ = {};
        timerShowOp_->stop();
        SetRunControlText(text);
        UpdateRunButtons();
      },
      TRunControl::Waits::ForActions);
}

void TFrmMain::MnuAOpClick() {
  InOrder([this] {
    run_.SingleStep();
    UpdateRunButtons();
    SyncFromCore();
  });
}

void TFrmMain::MnuPauseClick() {
  InOrder([this] { SetRunControlText(run_.Pause()); });
}

void TFrmMain::MnuResumeClick() {
  InOrder([this] { SetRunControlText(run_.Resume()); });
}

void TFrmMain::MnuStopClick() {
  InOrder(
      [this] {
        SetRunControlText(run_.Stop());
        UpdateRunButtons();
        SyncFromCore();
      },
      TRunControl::Waits::ForAskedResets);
}

// The run's thread reads the files: a refused reset is told at the update that finds it.
void TFrmMain::MnuResetClick() {
  InOrder([this] { run_.RequestReset(); }, TRunControl::Waits::ForActions);
}

void TFrmMain::MnuToolsClick() {
  Lock guard(CPU.CoreLock);
  mnuTimerOpShow_->setChecked(CPU.OpShowDirect != 1);
}

void TFrmMain::MnuTimerOpShowClick() {
  Lock guard(CPU.CoreLock);
  CPU.OpShowDirect = CPU.OpShowDirect == 0 ? 1 : 0;
  mnuTimerOpShow_->setChecked(CPU.OpShowDirect != 1);
}

void TFrmMain::TimerShowOpTimer() {
  std::string text;
  {
    Lock guard(CPU.CoreLock);
    text = CPU.LastOpText();
  }
  SetPanel(2, text);
}

void TFrmMain::SyncFromCore() {
  bool showInstruction = false;
  std::string word, opcode;
  bool timerChanged = false;
  uint32_t interval = 0;
  bool enabled = false;
  bool instructionTimer = false;
  TDiskDrive::TRefusals floppyRefusals, hardDiskRefusals;
  {
    Lock guard(CPU.CoreLock);
    // Shown directly, the word of the latest instruction (and its opcode) replaces
    // the panels at every update in which the machine went on; the opcode only once it
    // went on after run control's last text.
    if (CPU.FetchedWords != shownFetchedWords_) {
      shownFetchedWords_ = CPU.FetchedWords;
      showInstruction = CPU.OpShowDirect == 1;
      word = CPU.LastOpText();
      if (CPU.FetchedWords != runControlFetchedWords_) opcode = CPU.LastOpcodeText();
    }
    floppyRefusals = CPU.Floppy.TakeRefusals();
    hardDiskRefusals = CPU.HardDisk.TakeRefusals();
    timerChanged = deviceTimerChanged_;
    deviceTimerChanged_ = false;
    interval = deviceTimerInterval_;
    enabled = deviceTimerEnabled_;
    instructionTimer = instructionTimerWanted_;
    if (surface_.Generation() != shownGeneration_) {
      shownGeneration_ = surface_.Generation();
      screen_->CopyFrom(surface_);
    }
  }
  if (showInstruction) {
    SetPanel(2, word);
    if (!opcode.empty()) SetPanel(1, opcode);
  }
  if (timerChanged) {
    // A timer of interval 0 would fire without pause; the device's never fires.
    if (enabled && interval > 0) {
      timer_->start(static_cast<int>(std::min<uint32_t>(interval, INT32_MAX)));
    } else {
      timer_->stop();
    }
  }
  if (instructionTimer != timerShowOp_->isActive()) {
    if (instructionTimer) {
      timerShowOp_->start();
    } else {
      timerShowOp_->stop();
    }
  }
  if (run_.TakeRefusedRun()) RefuseRun();
  if (run_.TakeEndedRun()) ShowRunEnd();
  if (biosLoader_.TakeResult().value_or(0) != 0 && reportBiosLoad_) {
    ShowMessageBox(this, kTextBiosNotLoaded, kBoxInformation);
  }
  ReportDiskRefusals(floppyRefusals, hardDiskRefusals);
  run_.ServeWaiting();
}

std::string TFrmMain::BiosName() const {
  TSettingItems settings;
  if (ReadSettingItems(CPU.SettingPath, settings) == 1) return settings.Items[SettingBiosFile];
  return Applied.BIOSFileName;
}

void TFrmMain::RefuseRun() {
  TResetOutcome outcome;
  {
    Lock guard(CPU.CoreLock);
    outcome = ResetOutcomeOf(CPU);
  }
  const std::string problem = RunStartProblem(outcome, BiosName());
  SetRunControlText(run_.Stop());
  // The word of a step before the refused reset belongs to no run now.
  SetPanel(2, {});
  UpdateRunButtons();
  if (!problem.empty()) ShowMessageBox(this, problem, kBoxError);
}

void TFrmMain::ReportDiskRefusals(const TDiskDrive::TRefusals& floppy, const TDiskDrive::TRefusals& hardDisk) {
  // What this run has not told yet, marked as told.
  auto untold = [](TDiskDrive::TRefusals& told, const TDiskDrive::TRefusals& found) {
    const TDiskDrive::TRefusals fresh{told.Write == 0 ? found.Write : 0, told.Read == 0 ? found.Read : 0};
    if (fresh.Write != 0) told.Write = fresh.Write;
    if (fresh.Read != 0) told.Read = fresh.Read;
    return fresh;
  };
  const TDiskRefusalReport report{Applied.FloppyFileName, untold(floppyTold_, floppy), Applied.HardDiskFileName,
                                  untold(hardDiskTold_, hardDisk)};
  const std::string text = DiskRefusalText(report);
  if (!text.empty()) ShowMessageBox(this, text, kBoxWarning);
}

void TFrmMain::ShowRunEnd() {
  // The thread switched the display off as it ended; the state taken over before it
  // had may still have been on.
  timerShowOp_->stop();
  TRunEndTexts texts;
  {
    Lock guard(CPU.CoreLock);
    texts = RunEndTexts(CPU);
  }
  SetRunControlText(texts.Status);
  SetPanel(2, texts.Word);
  UpdateRunButtons();
}

// ---------------------------------------------------------------- CoreHost

void TFrmMain::SetDeviceTimer(uint32_t intervalMs, bool enabled) {
  deviceTimerInterval_ = intervalMs;
  deviceTimerEnabled_ = enabled;
  deviceTimerChanged_ = true;
}

void TFrmMain::SetInstructionTimerEnabled(bool enabled) { instructionTimerWanted_ = enabled; }

int TFrmMain::OpenWindow(QWidget* window) {
  windows_.removeAll(QPointer<QWidget>());
  windows_.append(window);
  CentreOnDesktop(window);
  window->show();
  return 0;
}

int TFrmMain::OpenMemoryView(TTALVOCPU& core) {
  if (QThread::currentThread() != thread() || !alive_) return -1;
  return OpenWindow(new TFrmViewMemory(&core, ChangesInOrder()));
}

int TFrmMain::OpenCommonRegisters(TTALVOCPU& core) {
  if (QThread::currentThread() != thread() || !alive_) return -1;
  return OpenWindow(new TFrmCommonRegister(&core, ChangesInOrder()));
}

int TFrmMain::OpenSpecialRegisters(TTALVOCPU& core) {
  if (QThread::currentThread() != thread() || !alive_) return -1;
  return OpenWindow(new TFrmSpecialRegisters(&core, ChangesInOrder()));
}

int TFrmMain::OpenTestDialog(TTALVOCPU& core) {
  if (QThread::currentThread() != thread() || !alive_) return -1;
  return OpenWindow(new TFrmRegOpDlg(&core));
}

int TFrmMain::OpenWindowCount() const {
  int count = 0;
  for (const QPointer<QWidget>& window : windows_) count += window.isNull() ? 0 : 1;
  return count;
}

// The windows take the core lock themselves, so these calls are made without it.
void TFrmMain::MnuTestforTALVO128Click() { CPU.ShowRegOpDialog(); }
void TFrmMain::MnuMemoryEditClick() { CPU.ShowMemoryView(); }
void TFrmMain::MnuRegistersofCommonClick() { CPU.ShowCommonRegisters(); }
void TFrmMain::MnuSpecialRegistersClick() { CPU.ShowSpecialRegisters(); }
void TFrmMain::MnuBigAddClick() { frmAdd_->exec(); }

// ---------------------------------------------------------------- devices

void TFrmMain::FormKeyPress(char key) {
  Lock guard(CPU.CoreLock);
  CPU.Keyboard.PendingKey = static_cast<int8_t>(key);
  CPU.RaiseHardwareInterrupt(2);
}

void TFrmMain::FormMouseDown(int button, int x, int y) {
  Lock guard(CPU.CoreLock);
  CPU.MouseThings.X = x;
  CPU.MouseThings.Y = y;
  CPU.MouseThings.Button = button;
  CPU.RaiseHardwareInterrupt(1);
}

void TFrmMain::FormMouseMove(int button, int x, int y) { FormMouseDown(button, x, y); }

void TFrmMain::TimerTimer() {
  Lock guard(CPU.CoreLock);
  CPU.RaiseHardwareInterrupt(6);
}

void TFrmMain::keyPressEvent(QKeyEvent* event) {
  // Keys the screen did not take (it may not have the focus) still reach the machine.
  if (const std::optional<char> key = KeyCharacter(*event)) {
    FormKeyPress(*key);
    return;
  }
  QMainWindow::keyPressEvent(event);
}

// ---------------------------------------------------------------- disks, help, about

void TFrmMain::MnuJectFloppyClick() {
  {
    Lock guard(CPU.CoreLock);
    CPU.Floppy.Close();
  }
  ShowMessageBox(this, kTextFloppyEjected, kBoxInformation);
}

void TFrmMain::MnuOpenFloppyClick() {
  int result = 0;
  int error = 0;
  {
    Lock guard(CPU.CoreLock);
    CPU.Floppy.FileName = StoredNameToPath(Applied.FloppyFileName);
    result = CPU.Floppy.Open(&error);
  }
  if (result == 0) {
    ShowMessageBox(this, kTextFloppyOpened, kBoxInformation);
  } else {
    ShowMessageBox(this, DiskOpenFailedText(kTextFloppyOpenFailed, error), kBoxError);
  }
}

void TFrmMain::MnuContentClick() {
  const QString path = ProgramFolder() + QStringLiteral("TALVOCPUSim.chm");
  if (FileExists(path) && ShellOpen(path.toStdString())) return;
  // The one message of the program in a plain box titled with the application's title.
  QMessageBox box(QMessageBox::NoIcon, GbkToQString(kTextAppTitle), GbkToQString(kTextNoHelpFile) + path,
                  QMessageBox::Ok, this);
  box.exec();
}

void TFrmMain::MnuAboutClick() {
  TAboutBox box(this);
  box.exec();
}

void TFrmMain::MnuExitClick() { close(); }

void TFrmMain::closeEvent(QCloseEvent* event) {
  ShutDown();
  QMainWindow::closeEvent(event);
}

// ---------------------------------------------------------------- setup

void TFrmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  Guarded(&TFrmMain::FormShow);
}

void TFrmMain::FormShow() {
  frmCPUSetup_->RefreshCPUSetup();
  TSettingItems edits;
  if (!frmCPUSetup_->ReadEdits(edits)) return;
  TAppliedSetup setup;
  const std::string error = ComputeAppliedSetup(edits, setup);
  if (!error.empty()) {
    ShowMessageBox(this, error, kBoxError);
    return;
  }
  ApplyCPUSetup(setup, false);
}

void TFrmMain::ApplyCPUSetup(const TAppliedSetup& setup, bool reportBios) {
  Applied = setup;
  {
    Lock guard(CPU.CoreLock);
    CPU.MemSize = setup.MemSize;
  }
  // Without a name there is nothing to load, and nothing is said.
  if (!setup.BIOSFileName.empty()) {
    reportBiosLoad_ = reportBios;
    biosLoader_.Load(StoredNameToPath(setup.BIOSFileName));
  }
  int floppyResult = 0, floppyError = 0, hardDiskResult = 0, hardDiskError = 0;
  {
    Lock guard(CPU.CoreLock);
    CPU.Floppy.Close();
    CPU.Floppy.FileName = StoredNameToPath(setup.FloppyFileName);
    floppyResult = CPU.Floppy.Open(&floppyError);
    CPU.HardDisk.Close();
    CPU.HardDisk.FileName = StoredNameToPath(setup.HardDiskFileName);
    hardDiskResult = CPU.HardDisk.Open(&hardDiskError);
  }
  // An image named but not opened would lose every byte the program writes to it.
  ReportDiskOpen(kTextFloppyOpenFailed, setup.FloppyFileName, floppyResult, floppyError);
  ReportDiskOpen(kTextHardDiskOpenFailed, setup.HardDiskFileName, hardDiskResult, hardDiskError);
}

void TFrmMain::ReportDiskOpen(const char* failedText, const std::string& name, int result, int error) {
  if (name.empty() || result == 0) return;
  ShowMessageBox(this, DiskOpenFailedText(failedText, error), kBoxError);
}

void TFrmMain::MnuCPUSetupClick() {
  double coreMemSize = 0;
  {
    Lock guard(CPU.CoreLock);
    coreMemSize = CPU.MemSize;
  }
  frmCPUSetup_->SetEdits(SetupEditsFromApplied(Applied, coreMemSize));
  TAppliedSetup chosen;
  frmCPUSetup_->OnYes = [&chosen](const TAppliedSetup& setup) { chosen = setup; };
  const int result = frmCPUSetup_->exec();
  frmCPUSetup_->OnYes = nullptr;
  if (result != QDialog::Accepted) return;
  InOrder([this, chosen] { ApplyCPUSetup(chosen, true); });
}

void TFrmMain::MnuPeripSetupClick() {
  const std::string path = PeripSettingPath();
  LoadPeripSetting(path, PortTable);
  frmPeripSetup_->SetTable(PortTable);
  if (frmPeripSetup_->exec() != QDialog::Accepted) return;
  PortTable = frmPeripSetup_->Table();
  {
    Lock guard(CPU.CoreLock);
    CPU.LoadPortTable(PortTable);
  }
  SavePeripSetting(path, PortTable);
}
