#pragma once
// The simulator's main window: the simulated computer's screen, the owner of the core
// and its run, and the hub of menus and tool bar.
//
// It is the core's CoreHost. The core calls it with the core lock held, on the core
// thread during a run: those calls only record what must be shown, and a UI timer
// (about 60 Hz) takes the records over to the widgets under the same lock.

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <atomic>
#include <functional>
#include <string>

#include "machine/bios_loader.h"
#include "machine/core_host.h"
#include "machine/talvo_cpu.h"
#include "simulator/model/cpu_setup_model.h"
#include "simulator/model/disk_messages.h"
#include "machine/port_settings_file.h"
#include "simulator/gui/inspect_window_parts.h"
#include "simulator/model/run_control.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class TFrmAdd;
class TFrmCPUSetup;
class TFrmPeripSetup;
class TScreenView;

class TFrmMain : public QMainWindow, public CoreHost {
 public:
  explicit TFrmMain(QWidget* parent = nullptr);
  ~TFrmMain() override;

  // Declared first so that it is destroyed last, after the run and every window on it.
  TTALVOCPU CPU;
  TAppliedSetup Applied;
  TPortTable PortTable = DefaultPortTable();

  // --- Commands of the menus and tool bar ---
  void OpRunClick();
  void MnuAOpClick();
  void MnuPauseClick();
  void MnuResumeClick();
  void MnuStopClick();
  void MnuResetClick();
  void MnuCPUSetupClick();
  void MnuPeripSetupClick();
  void MnuJectFloppyClick();
  void MnuOpenFloppyClick();
  void MnuToolsClick();
  void MnuTimerOpShowClick();
  void MnuBigAddClick();
  void MnuTestforTALVO128Click();
  void MnuMemoryEditClick();
  void MnuRegistersofCommonClick();
  void MnuSpecialRegistersClick();
  void MnuContentClick();
  void MnuAboutClick();
  void MnuExitClick();

  // --- Device events from the screen ---
  void FormKeyPress(char key);
  // Positions in the window's client coordinates: screen row 0 is the tool bar's bottom.
  void FormMouseDown(int button, int x, int y);
  void FormMouseMove(int button, int x, int y);
  void TimerTimer();
  void TimerShowOpTimer();

  // Loads the default settings into the setup dialog and applies them (start-up).
  void FormShow();
  // Applies validated setup values to the window and the core; `reportBios` shows a
  // BIOS image that cannot be loaded. The image is read off the UI thread and taken in
  // when read (TBiosLoader): the box comes at the update after.
  void ApplyCPUSetup(const TAppliedSetup& setup, bool reportBios);

  // Takes over what the core recorded: the instruction shown directly, the timers'
  // states, the screen.
  void SyncFromCore();

  TRunControl& Run() { return run_; }
  QString StatusText(int panel) const;
  QToolButton* RunButton() const { return tbRun_; }
  QToolButton* RunFirstButton() const { return tbRunFirst_; }
  QAction* TimerOpShowAction() const { return mnuTimerOpShow_; }
  QTimer* DeviceTimer() const { return timer_; }
  QTimer* InstructionTimer() const { return timerShowOp_; }
  TScreenView* ScreenView() const { return screen_; }
  TFrmCPUSetup* CPUSetupDialog() const { return frmCPUSetup_; }
  TFrmPeripSetup* PeripSetupDialog() const { return frmPeripSetup_; }
  // Inspection windows still open on the core.
  int OpenWindowCount() const;

  // --- CoreHost ---
  PixelSurface& Screen() override { return surface_; }
  void SetDeviceTimer(uint32_t intervalMs, bool enabled) override;
  uint32_t DeviceTimerInterval() const override { return deviceTimerInterval_; }
  bool DeviceTimerEnabled() const override { return deviceTimerEnabled_; }
  void SetInstructionTimerEnabled(bool enabled) override;
  int OpenMemoryView(TTALVOCPU& core) override;
  int OpenCommonRegisters(TTALVOCPU& core) override;
  int OpenSpecialRegisters(TTALVOCPU& core) override;
  int OpenTestDialog(TTALVOCPU& core) override;
  bool WindowExists() const override { return alive_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  void SetPanel(int panel, const std::string& gbkText);
  // Panel 1 takes a text of run control (none when empty); it stays until the machine
  // steps again, so that an instruction shown directly does not cover it.
  void SetRunControlText(const std::string& gbkText);
  void UpdateRunButtons();
  // Runs a command through the exception display.
  void Guarded(void (TFrmMain::*command)());
  // Runs an action on the core in the order of the user's actions (TRunControl::InOrder),
  // through the exception display.
  void InOrder(std::function<void()> action, TRunControl::Waits waits = TRunControl::Waits::ForResets);
  // What the inspection windows run their changes of the machine through.
  TInOrder ChangesInOrder();
  // Shows a new inspection window when called on the UI thread: 0, else -1.
  int OpenWindow(QWidget* window);
  // Ends the run, closes the windows on the core and its disk images (at exit).
  void ShutDown();
  // A run whose reset could not give the machine the setup asks for is stopped, and
  // the user told why.
  void RefuseRun();
  // The image's name as the settings hold it (GBK): the default settings file's, else
  // the one the setup applied.
  std::string BiosName() const;
  // Tells which disk images lost bytes the program wrote or could not give bytes it
  // read: each image's writes and reads once per run.
  void ReportDiskRefusals(const TDiskDrive::TRefusals& floppy, const TDiskDrive::TRefusals& hardDisk);
  // Says why a named image the setup applied cannot be opened.
  void ReportDiskOpen(const char* failedText, const std::string& name, int result, int error);
  // Hands the keyboard back to the screen once a menu has closed.
  void ReturnKeysToScreen();
  // The stopped state once a run ended by itself, with IP and the failed word.
  void ShowRunEnd();

  TRunControl run_{CPU};
  TBiosLoader biosLoader_{CPU};
  // The latest load is of a setup the user confirmed: a failure is said.
  bool reportBiosLoad_ = false;
  PixelSurface surface_;
  uint64_t shownGeneration_ = ~uint64_t{0};
  std::atomic<bool> alive_{true};
  bool shownOnce_ = false;
  bool shutDown_ = false;

  // Recorded by the core under the core lock, taken over by SyncFromCore.
  uint64_t shownFetchedWords_ = 0;
  // The instructions fetched when run control last wrote panel 1.
  uint64_t runControlFetchedWords_ = 0;
  // The refusals told in this run.
  TDiskDrive::TRefusals floppyTold_, hardDiskTold_;
  uint32_t deviceTimerInterval_ = 0;
  bool deviceTimerEnabled_ = false;
  bool deviceTimerChanged_ = false;
  bool instructionTimerWanted_ = false;

  TScreenView* screen_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QToolButton* tbRun_ = nullptr;
  QToolButton* tbRunFirst_ = nullptr;
  QAction* mnuTimerOpShow_ = nullptr;
  QMenu* mnuTools_ = nullptr;
  QLabel* panels_[3] = {};
  QTimer* timer_ = nullptr;
  QTimer* timerShowOp_ = nullptr;
  QTimer* syncTimer_ = nullptr;
  TFrmCPUSetup* frmCPUSetup_ = nullptr;
  TFrmPeripSetup* frmPeripSetup_ = nullptr;
  TFrmAdd* frmAdd_ = nullptr;
  QList<QPointer<QWidget>> windows_;
};
