#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "base/file_error.h"
#include "common/held_read.h"
#include "common/inspect_modal.h"
#include "common/scratch.h"
#include "common/stored_name.h"
#include "workbench/full_disk.h"
#include "gui_app.h"
#include "isa/special_registers.h"
#include "machine/program_words.h"
#include "platform/gbk_qt.h"
#include "platform/message_box.h"
#include "machine/setting_file.h"
#include "simulator/gui/cpu_setup_dialog.h"
#include "simulator/gui/main_window.h"
#include "simulator/gui/memory_window.h"
#include "simulator/gui/perip_setup_dialog.h"
#include "simulator/gui/screen_view.h"
#include "simulator/model/sim_texts.h"

namespace {

using namespace program_words;
using Lock = std::lock_guard<TCoreLock>;

// The upper bound of every wait: generous, for a loaded machine running two suites.
constexpr int kPatienceMs = 30000;

struct Box {
  std::string text;
  int flags;
};

// Each test works in a folder of its own (the default ".setting" and ".pset" files
// live in the current folder) and answers the message boxes itself.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GuiApp();
    previous_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder_.Path.string()));
    SetMessageBoxHandler([this](const QString& text, int flags) {
      boxes.push_back({QStringToGbk(text).value_or(text.toStdString()), flags});
      return kIdOk;
    });
  }
  void TearDown() override {
    SetMessageBoxHandler({});
    QDir::setCurrent(previous_);
  }
  std::string Path(const char* name) const { return folder_.File(name); }
  // Shows the window and makes it the active one, as a click on it would.
  static bool ShowActive(TFrmMain& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
  }
  // Waits until the running machine has fetched more than `more` words past now.
  static bool FetchesOnPast(TFrmMain& window, uint64_t more) {
    uint64_t now = 0;
    {
      Lock guard(window.CPU.CoreLock);
      now = window.CPU.FetchedWords;
    }
    return QTest::qWaitFor(
        [&] {
          Lock guard(window.CPU.CoreLock);
          return window.CPU.FetchedWords > now + more;
        },
        kPatienceMs);
  }

  std::vector<Box> boxes;

 private:
  TScratchFolder folder_;
  QString previous_;
};

TEST_F(MainWindowTest, MouseAndKeysReachTheDevicesInClientCoordinates) {
  TFrmMain window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  TScreenView* screen = window.ScreenView();
  // A move to where Qt last saw the cursor reaches no widget, and a test before may
  // have left it at the point this one moves to: start from another.
  QTest::mouseMove(screen, QPoint(0, 0));

  QTest::mouseClick(screen, Qt::LeftButton, {}, QPoint(5, 0));
  EXPECT_EQ(window.CPU.MouseThings.X, 5);
  // The first screen row lies below the tool bar.
  EXPECT_EQ(window.CPU.MouseThings.Y, 29);
  EXPECT_EQ(window.CPU.MouseThings.Button, 1);
  QTest::mouseClick(screen, Qt::RightButton, {}, QPoint(7, 3));
  EXPECT_EQ(window.CPU.MouseThings.Button, 4);
  QTest::mouseMove(screen, QPoint(9, 10));
  EXPECT_EQ(window.CPU.MouseThings.Button, 0);
  EXPECT_EQ(window.CPU.MouseThings.Y, 39);

  QTest::keyClick(screen, Qt::Key_Return);
  EXPECT_EQ(window.CPU.Keyboard.PendingKey, 13);
  QTest::keyClick(screen, Qt::Key_A);
  EXPECT_EQ(window.CPU.Keyboard.PendingKey, 'a');
}

// While the screen has the focus every key character is stored and raises interrupt 2,
// and the keyboard focus never moves to a tool button (where Space would press it).
TEST_F(MainWindowTest, EveryKeyReachesTheProgramAndNoneTheToolBar) {
  TFrmMain window;
  ASSERT_TRUE(ShowActive(window));
  TScreenView* screen = window.ScreenView();
  ASSERT_EQ(QApplication::focusWidget(), screen);
  {
    Lock guard(window.CPU.CoreLock);
    *window.CPU.GetSpecialRegBits(TTALVOCPU::ICW) = Value128{1} << isa::kInterruptEnableBit;
    *window.CPU.GetSpecialRegBits(TTALVOCPU::SP) = 0x1000;
  }
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int8_t stored;
  } keys[] = {
      {Qt::Key_Tab, {}, 9},          {Qt::Key_Backtab, Qt::ShiftModifier, 9}, {Qt::Key_Return, {}, 13},
      {Qt::Key_Escape, {}, 27},      {Qt::Key_Backspace, {}, 8},              {Qt::Key_Space, {}, ' '},
      {Qt::Key_A, {}, 'a'},          {Qt::Key_C, Qt::ControlModifier, 3},
      {Qt::Key_BracketLeft, Qt::ControlModifier, 27},
  };
  for (const auto& k : keys) {
    SCOPED_TRACE(k.stored);
    QTest::keyClick(QApplication::focusWidget(), k.key, k.modifiers);
    EXPECT_EQ(QApplication::focusWidget(), screen);
    Lock guard(window.CPU.CoreLock);
    EXPECT_EQ(window.CPU.Keyboard.PendingKey, k.stored);
    // The interrupt enters at 2 x 256 before the next instruction, a NOP in zeroed memory.
    *window.CPU.GetSpecialRegBits(TTALVOCPU::IP) = 0;
    ASSERT_TRUE(window.CPU.Step());
    EXPECT_EQ(*window.CPU.GetSpecialRegBits(TTALVOCPU::IP), 2u * 256 + 4);
  }
  for (QToolButton* button : window.findChildren<QToolButton*>()) {
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->objectName().toStdString();
  }
}

TEST_F(MainWindowTest, DeviceTimerRunsOnlyWhenEnabledWithAnInterval) {
  TFrmMain window;
  auto set = [&](uint32_t interval, bool enabled) {
    {
      Lock guard(window.CPU.CoreLock);
      window.SetDeviceTimer(interval, enabled);
    }
    window.SyncFromCore();
  };
  set(0, true);
  EXPECT_FALSE(window.DeviceTimer()->isActive());
  set(40, true);
  EXPECT_TRUE(window.DeviceTimer()->isActive());
  EXPECT_EQ(window.DeviceTimer()->interval(), 40);
  set(40, false);
  EXPECT_FALSE(window.DeviceTimer()->isActive());
}

TEST_F(MainWindowTest, FloppyMenuReportsOpenFailureAndEject) {
  TFrmMain window;
  window.MnuOpenFloppyClick();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kTextFloppyOpenFailed);
  EXPECT_EQ(boxes[0].flags, kBoxError);

  window.Applied.FloppyFileName = StoredName(Path("floppy.img"));
  window.MnuOpenFloppyClick();
  EXPECT_EQ(boxes.back().text, kTextFloppyOpened);
  EXPECT_TRUE(window.CPU.Floppy.IsOpen());
  window.MnuJectFloppyClick();
  EXPECT_EQ(boxes.back().text, kTextFloppyEjected);
  EXPECT_FALSE(window.CPU.Floppy.IsOpen());

  // No help file beside the program: a plain box titled with the application's title
  // names the path that was tried.
  QString title;
  QString text;
  InspectModal([&] { window.MnuContentClick(); }, [&](QWidget* box) {
    title = box->windowTitle();
    ASSERT_NE(qobject_cast<QMessageBox*>(box), nullptr);
    text = static_cast<QMessageBox*>(box)->text();
  });
  EXPECT_EQ(title, QStringLiteral("TALVO128计算机仿真机"));
  EXPECT_TRUE(text.startsWith(QStringLiteral("不能打开帮助文件/")));
  EXPECT_TRUE(text.endsWith(QStringLiteral("/TALVOCPUSim.chm")));
}

TEST_F(MainWindowTest, RunDrawsOnTheScreenThenPausesAndStops) {
  // Plot mode, one red point at (3, 4), then count in R1 forever.
  Image image;
  image.Load(10, 0x22).Load(11, 1).Emit(Word(Out, 0, 10, 11));
  image.Load(12, 0x21).Load(13, MakeValue128(uint64_t{3} << 32 | 4, uint64_t{0xFF} << 32));
  image.Emit(Word(Out, 0, 12, 13));
  image.Load(2, 1);
  const uint32_t loop = image.Here() + 20;
  image.Load(3, loop).Emit(Word(Add, 1, 1, 2)).Emit(Word(Jmp, 0, 0, 3));
  ASSERT_TRUE(image.WriteTo(Path("plot.bin")));

  TFrmMain window;
  window.CPU.SettingPath = Path("none.setting");
  window.resize(400, 300);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_EQ(window.CPU.LoadBiosImage(Path("plot.bin")), 0);

  window.OpRunClick();
  EXPECT_EQ(window.StatusText(1), GbkToQString(kTextRunStarted));
  EXPECT_FALSE(window.RunButton()->isEnabled());
  EXPECT_FALSE(window.RunFirstButton()->isEnabled());
  // The point is drawn, and the thread switched the sampled instruction display on for
  // its run, which shows a word of the loop.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        Lock guard(window.CPU.CoreLock);
        return window.Screen().Pixel(3, 4) == 0xFF0000u;
      },
      kPatienceMs));
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.InstructionTimer()->isActive(); }, kPatienceMs));
  const QRegularExpression word(QStringLiteral("^[0-9A-F]{8}$"));
  EXPECT_TRUE(QTest::qWaitFor([&] { return word.match(window.StatusText(2)).hasMatch(); }, kPatienceMs));

  window.MnuPauseClick();
  EXPECT_EQ(window.StatusText(1), GbkToQString(kTextPaused));
  window.MnuStopClick();
  EXPECT_EQ(window.StatusText(1), GbkToQString(kTextStopped));
  EXPECT_TRUE(window.RunButton()->isEnabled());
  EXPECT_TRUE(window.RunFirstButton()->isEnabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window.InstructionTimer()->isActive(); }, kPatienceMs));
}

TEST_F(MainWindowTest, SingleStepsShowTheirWordWhenDisplayedDirectly) {
  TFrmMain window;
  window.CPU.SettingPath = Path("none.setting");
  ASSERT_TRUE(Image().Emit(Word(Add, 1, 1, 2)).Emit(Word(Add, 3, 3, 4)).WriteTo(Path("two.bin")));
  ASSERT_EQ(window.CPU.LoadBiosImage(Path("two.bin")), 0);
  window.CPU.Reset();
  window.MnuTimerOpShowClick();
  EXPECT_FALSE(window.TimerOpShowAction()->isChecked());
  window.MnuAOpClick();
  EXPECT_EQ(window.StatusText(2), QStringLiteral("08010102"));
  window.MnuAOpClick();
  EXPECT_EQ(window.StatusText(2), QStringLiteral("08030304"));
  EXPECT_FALSE(window.RunFirstButton()->isEnabled());
  EXPECT_TRUE(window.RunButton()->isEnabled());
}

TEST_F(MainWindowTest, PortDialogAppliesAllOrNothing) {
  TFrmMain window;
  TFrmPeripSetup* dialog = window.PeripSetupDialog();
  QTimer::singleShot(0, dialog, [dialog] {
    dialog->Edit(0)->setText(QStringLiteral("100"));
    dialog->BtnYesClick();
  });
  window.MnuPeripSetupClick();
  EXPECT_EQ(window.CPU.PortTable[0], 100);
  const std::string saved = ReadBytes(PeripSettingPath());
  EXPECT_EQ(saved.substr(0, 13), "18\r\n48\r\n100\r\n");

  // A bad edit is reported, the dialog stays open, and nothing is taken.
  QTimer::singleShot(0, dialog, [dialog] {
    dialog->Edit(1)->setText(QStringLiteral("0x31"));
    dialog->Edit(2)->setText(QStringLiteral("zz"));
    dialog->BtnYesClick();
    EXPECT_TRUE(dialog->isVisible());
    dialog->reject();
  });
  window.MnuPeripSetupClick();
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(window.CPU.PortTable[1], 0x30);
  EXPECT_EQ(window.CPU.PortTable[2], 0x12);
  EXPECT_EQ(ReadBytes(PeripSettingPath()), saved);
}

TEST_F(MainWindowTest, CpuSetupRefusesBadSizesAndAppliesGoodOnes) {
  TFrmMain window;
  TFrmCPUSetup* dialog = window.CPUSetupDialog();
  QTimer::singleShot(0, dialog, [this, dialog] {
    dialog->Edit(SettingMemSize)->setText(QStringLiteral("1.5"));
    dialog->BitBtn1Click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(boxes.size(), 1u);
    dialog->Edit(SettingMemSize)->setText(QStringLiteral("8"));
    dialog->Edit(SettingBiosFile)->setText(QStringLiteral("missing.bin"));
    dialog->BitBtn1Click();
  });
  window.MnuCPUSetupClick();
  EXPECT_EQ(window.CPU.MemSize, 8.0 * 1024 * 1024);
  EXPECT_EQ(window.Applied.BIOSFileName, "missing.bin");
  // Said once the image is found missing, off the UI thread.
  ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.size() == 2; }, kPatienceMs));
  EXPECT_EQ(boxes[1].text, kTextBiosNotLoaded);

  // Saved as the default, the design values give the file's exact bytes.
  dialog->SetEdits(DesignSetupEdits());
  dialog->BtnSaveDefaultClick();
  EXPECT_EQ(boxes.back().text, kTextSavedDefault);
  EXPECT_EQ(ReadBytes(DefaultSettingPath()),
            "64.000000\r\r\n\r\r\n210.000000\r\r\n\r\r\n1.440000\r\r\n\r\r\n\r\r\n");
}

// A run that ends because a step failed shows the stopped state, with IP and the word
// of the failed step, and frees the run buttons.
TEST_F(MainWindowTest, ARunThatEndsByItselfShowsWhereItStopped) {
  ASSERT_TRUE(Image().Emit(Word(Nop, 0, 0, 0)).Emit(Word(Nop, 0, 0, 0)).Emit(0xFF000000).WriteTo(Path("end.bin")));
  TFrmMain window;
  window.CPU.SettingPath = Path("none.setting");
  ASSERT_EQ(window.CPU.LoadBiosImage(Path("end.bin")), 0);
  window.OpRunClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.RunFirstButton()->isEnabled(); }, kPatienceMs));
  EXPECT_TRUE(window.RunButton()->isEnabled());
  EXPECT_EQ(window.StatusText(1), GbkToQString(std::string(kTextStopped) + " IP=00000008"));
  EXPECT_EQ(window.StatusText(2), QStringLiteral("FF000000"));
  EXPECT_FALSE(window.InstructionTimer()->isActive());
  EXPECT_TRUE(boxes.empty());
}

// The reset at the start of a run reads the default settings file: an image it names
// that is missing or empty, or a memory it cannot have, is said, and the run stopped.
TEST_F(MainWindowTest, ARunWithoutImageOrMemoryIsStoppedWithTheReason) {
  TFrmMain window;
  auto runAndExpect = [&](const std::string& problem) {
    boxes.clear();
    window.OpRunClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.empty(); }, kPatienceMs));
    EXPECT_EQ(boxes[0].text, problem);
    EXPECT_EQ(boxes[0].flags, kBoxError);
    EXPECT_FALSE(window.Run().HasThread());
    EXPECT_EQ(window.StatusText(1), GbkToQString(kTextStopped));
    EXPECT_TRUE(window.RunFirstButton()->isEnabled());
  };
  runAndExpect(kTextNoBiosFileSet);

  TSettingItems settings;
  settings.Items[SettingMemSize] = "1";
  settings.Items[SettingBiosFile] = "missing.Bin";
  ASSERT_EQ(WriteSettingItems(DefaultSettingPath(), settings), 1);
  const std::string named = std::string(kTextBiosNotRunnable) + " missing.Bin" + kTextColon;
  runAndExpect(named + FileErrorReason(ENOENT));
  WriteBytes(Path("missing.Bin"), "");
  runAndExpect(named + kTextFileEmpty);
  // The file the settings name in GBK is the one looked at.
  settings.Items[SettingBiosFile] = "\xd1\xa7.Bin";
  ASSERT_EQ(WriteSettingItems(DefaultSettingPath(), settings), 1);
  WriteBytes(Path("学.Bin"), "");
  runAndExpect(std::string(kTextBiosNotRunnable) + " \xd1\xa7.Bin" + kTextColon + kTextFileEmpty);

  // A size the reset cannot have leaves the old block: not the machine asked for. The
  // program, which writes a floppy byte at once, never runs.
  std::filesystem::remove(DefaultSettingPath());
  Image floppyWrite;
  floppyWrite.Load(1, 0x12).Load(2, 0x5A).Load(3, 0x14).Load(4, MakeValue128(4, 0));
  floppyWrite.Emit(Word(Out, 0, 1, 2)).Emit(Word(Out, 0, 3, 4)).Emit(Word(Jmp, 0, 0, 0));
  ASSERT_TRUE(floppyWrite.WriteTo(Path("write.bin")));
  ASSERT_EQ(window.CPU.LoadBiosImage(Path("write.bin")), 0);
  window.Applied.FloppyFileName = StoredName(Path("floppy.img"));
  window.MnuOpenFloppyClick();
  const uint64_t fetched = window.CPU.FetchedWords;
  window.CPU.MemSize = 4096.0 * 1024 * 1024;
  runAndExpect(std::string(kTextCannotAllocate) + "4096" + kTextMegabytesOfMemory);
  EXPECT_EQ(window.CPU.FetchedWords, fetched);
  EXPECT_EQ(ReadBytes(Path("floppy.img")), "");
}

// Every run from start, and every reset of a run, reads the image the default settings
// name (in GBK, in a folder with a Chinese name) as the file is now: a rebuilt image
// runs, a deleted one stops the run with the reason before it takes a step.
TEST_F(MainWindowTest, EveryRunFromStartReadsTheImageAsItIsNow) {
  const std::string folder = Path("\xe5\xad\xa6\xe7\x94\x9f\xe9\xa1\xb9\xe7\x9b\xae");  // 学生项目
  std::filesystem::create_directory(folder);
  const std::string image = folder + "/p.Bin";
  TSettingItems settings;
  settings.Items[SettingMemSize] = "1";
  settings.Items[SettingBiosFile] = "\xd1\xa7\xc9\xfa\xcf\xee\xc4\xbf/p.Bin";
  ASSERT_EQ(WriteSettingItems(DefaultSettingPath(), settings), 1);
  // A division by zero after `nops` NOPs: the run stops there.
  auto buildStoppingAfter = [&](int nops) {
    Image program;
    for (int i = 0; i < nops; ++i) program.Emit(Word(Nop, 0, 0, 0));
    ASSERT_TRUE(program.Load(1, 5).Emit(Word(Div, 2, 1, 0)).WriteTo(image));
  };
  TFrmMain window;
  auto runToTheEnd = [&] {
    window.OpRunClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.RunFirstButton()->isEnabled(); }, kPatienceMs));
  };
  buildStoppingAfter(0);
  runToTheEnd();
  EXPECT_EQ(window.StatusText(1), GbkToQString(std::string(kTextStopped) + " IP=00000014"));
  buildStoppingAfter(5);
  // Of a 1 GB file no more is read than memory holds.
  ASSERT_EQ(::truncate(image.c_str(), off_t{1} << 30), 0);
  runToTheEnd();
  EXPECT_EQ(window.StatusText(1), GbkToQString(std::string(kTextStopped) + " IP=00000028"));
  EXPECT_EQ(window.CPU.BiosLen, 1 << 20);

  const std::string gone = std::string(kTextBiosNotRunnable) + " " + settings.Items[SettingBiosFile] + kTextColon +
                           FileErrorReason(ENOENT);
  // The finished run's reset finds the image gone: the run ends with the reason.
  std::filesystem::remove(image);
  ASSERT_TRUE(window.Run().HasThread());
  ASSERT_FALSE(window.StatusText(2).isEmpty());
  window.MnuResetClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.empty(); }, kPatienceMs));
  EXPECT_EQ(boxes[0].text, gone);
  EXPECT_FALSE(window.Run().HasThread());
  // The word the last run ended on belongs to no run now.
  EXPECT_EQ(window.StatusText(2), QString());
  // A new run does not begin on the image it had.
  const uint64_t fetched = window.CPU.FetchedWords;
  window.OpRunClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.size() == 2; }, kPatienceMs));
  EXPECT_EQ(boxes[1].text, gone);
  EXPECT_EQ(window.StatusText(1), GbkToQString(kTextStopped));
  EXPECT_EQ(window.CPU.FetchedWords, fetched);
}

// Shown directly, each instruction's opcode goes to panel 1 while the run goes on, but
// not over the text that pause or stop gave it after the last step.
TEST_F(MainWindowTest, InstructionsShownDirectlyLeaveRunControlTextsInPlace) {
  ASSERT_TRUE(Image().Load(2, 1).Load(3, 40).Emit(Word(Add, 1, 1, 2)).Emit(Word(Jmp, 0, 0, 3)).WriteTo(Path("count.bin")));
  TFrmMain window;
  window.CPU.SettingPath = Path("none.setting");
  ASSERT_EQ(window.CPU.LoadBiosImage(Path("count.bin")), 0);
  window.MnuTimerOpShowClick();
  const QRegularExpression opcode(QStringLiteral("^[0-9A-F]{2}$"));
  // Once the panels are up to date, the machine steps on past what they show.
  auto stepOnPastTheShownWord = [&] {
    window.SyncFromCore();
    ASSERT_TRUE(FetchesOnPast(window, 0));
  };
  const struct {
    void (TFrmMain::*Command)();
    const char* Text;
    bool Goes;  // the run goes on: opcodes follow the text
  } commands[] = {
      {&TFrmMain::OpRunClick, kTextRunStarted, true}, {&TFrmMain::MnuPauseClick, kTextPaused, false},
      {&TFrmMain::MnuPauseClick, kTextContinued, true}, {&TFrmMain::MnuStopClick, kTextStopped, false},
  };
  for (const auto& c : commands) {
    SCOPED_TRACE(c.Text);
    if (window.Run().GetState() == TRunControl::State::Running) stepOnPastTheShownWord();
    (window.*c.Command)();
    EXPECT_EQ(window.StatusText(1), GbkToQString(c.Text));
    if (c.Goes) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return opcode.match(window.StatusText(1)).hasMatch(); }, kPatienceMs));
    } else {
      window.SyncFromCore();
      EXPECT_EQ(window.StatusText(1), GbkToQString(c.Text));
    }
  }
}

// A menu left with Esc hands the keyboard back to the screen: Tab, Space and the rest
// reach the program and open no menu.
TEST_F(MainWindowTest, KeysAfterAMenuReachTheProgram) {
  TFrmMain window;
  ASSERT_TRUE(ShowActive(window));
  QMenuBar* bar = window.menuBar();
  QMenu* cpu = window.findChild<QMenu*>(QStringLiteral("MnuCPU"));
  ASSERT_NE(cpu, nullptr);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(cpu->menuAction()).center());
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, kPatienceMs));
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  // A window system keeps the window active under its menus; the offscreen one does not.
  ASSERT_TRUE(ShowActive(window));
  const struct {
    Qt::Key Key;
    int8_t Stored;
  } keys[] = {{Qt::Key_Tab, '\t'}, {Qt::Key_Space, ' '}, {Qt::Key_Q, 'q'}, {Qt::Key_Return, '\r'}};
  for (const auto& k : keys) {
    SCOPED_TRACE(k.Stored);
    QTest::keyClick(QApplication::focusWidget(), k.Key);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.CPU.Keyboard.PendingKey, k.Stored);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  }
  EXPECT_TRUE(boxes.empty());
}

// Alt pressed and released alone keeps the keyboard with the program: the keys after it
// reach the machine and walk or open no menu. Alt with a letter still opens its menu.
TEST_F(MainWindowTest, AltAloneLeavesTheKeysWithTheProgram) {
  TFrmMain window;
  ASSERT_TRUE(ShowActive(window));
  TScreenView* screen = window.ScreenView();
  QTest::keyClick(screen, Qt::Key_Alt, Qt::AltModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  QCoreApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), screen);
  EXPECT_EQ(window.CPU.Keyboard.PendingKey, ' ');
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  QTest::keyClick(screen, Qt::Key_C, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, kPatienceMs));
  EXPECT_EQ(QApplication::activePopupWidget(), window.findChild<QMenu*>(QStringLiteral("MnuCPU")));
  if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
}

// An image that cannot be opened is said with the reason on the next line, from the
// floppy menu and from applying the setup, for the floppy and the hard disk alike.
TEST_F(MainWindowTest, ADiskImageThatCannotBeOpenedIsToldWithTheReason) {
  TFrmMain window;
  const std::string missing = Path("no/such/d.img");
  const std::string folder = Path("");
  const struct {
    bool FromSetup;
    bool HardDisk;
    std::string Name;
    std::string Said;
  } cases[] = {
      {false, false, missing, std::string(kTextFloppyOpenFailed) + "\n" + FileErrorReason(ENOENT)},
      {false, false, folder, std::string(kTextFloppyOpenFailed) + "\n" + FileErrorReason(EISDIR)},
      {true, false, missing, std::string(kTextFloppyOpenFailed) + "\n" + FileErrorReason(ENOENT)},
      {true, true, missing, std::string(kTextHardDiskOpenFailed) + "\n" + FileErrorReason(ENOENT)},
      {true, true, folder, std::string(kTextHardDiskOpenFailed) + "\n" + FileErrorReason(EISDIR)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Said);
    boxes.clear();
    if (c.FromSetup) {
      TAppliedSetup setup;
      (c.HardDisk ? setup.HardDiskFileName : setup.FloppyFileName) = StoredName(c.Name);
      window.ApplyCPUSetup(setup, true);
    } else {
      window.Applied.FloppyFileName = StoredName(c.Name);
      window.MnuOpenFloppyClick();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.Said);
    EXPECT_EQ(boxes[0].flags, kBoxError);
  }
}

// Bytes the host refuses to a disk image are lost to the program, which is not told: a
// write to a full disk, a read of a FIFO, which has no positions (the program reads all
// ones, not its own byte back from the data port). The user is told once per run, with
// the image and the reason; a run with room on the disk is told nothing.
TEST_F(MainWindowTest, RefusedDiskBytesAreToldOncePerRun) {
  TFullDisk disk(Path("small"));
  const std::string fifo = Path("f.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const bool writes : {true, false}) {
    SCOPED_TRACE(writes ? "full disk" : "FIFO");
    if (writes && !disk.Ready) continue;  // needs root for a private tmpfs
    // Writes 0x5A to the floppy, or reads it, into R9 after, for ever.
    Image program;
    program.Load(1, 0x13).Load(2, 0x12).Load(3, 0x14).Load(4, MakeValue128(writes ? 4 : 3, 0)).Load(5, 0).Load(6, 0x5A);
    const uint32_t loop = program.Here() + 20;
    program.Load(7, loop).Emit(Word(Out, 0, 1, 5)).Emit(Word(Out, 0, 2, 6)).Emit(Word(Out, 0, 3, 4));
    program.Emit(Word(In, 0, 2, 9)).Emit(Word(Jmp, 0, 0, 7));
    ASSERT_TRUE(program.WriteTo(Path("disk.bin")));
    TFrmMain window;
    window.CPU.SettingPath = Path("none.setting");
    ASSERT_EQ(window.CPU.LoadBiosImage(Path("disk.bin")), 0);
    window.Applied.FloppyFileName = StoredName(writes ? Path("small/f.img") : fifo);
    window.MnuOpenFloppyClick();
    ASSERT_TRUE(!writes || disk.Fill());
    boxes.clear();
    const std::string said = std::string(writes ? kTextFloppyLostWrites : kTextFloppyReadRefused) + " " +
                             window.Applied.FloppyFileName + kTextColon + FileErrorReason(writes ? ENOSPC : ESPIPE);
    for (size_t run = 1; run <= (writes ? 3 : 2); ++run) {
      SCOPED_TRACE(run);
      if (run == 3) disk.MakeRoom();
      const size_t told = std::min<size_t>(run, 2);
      window.OpRunClick();
      ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.size() == told; }, kPatienceMs));
      EXPECT_EQ(boxes.back().text, said);
      EXPECT_EQ(boxes.back().flags, kBoxWarning);
      // The program goes on, and the window on looking: nothing more is said.
      for (int look = 0; look < 3; ++look) {
        ASSERT_TRUE(FetchesOnPast(window, 100));
        window.SyncFromCore();
      }
      EXPECT_EQ(boxes.size(), told);
      window.MnuStopClick();
      EXPECT_EQ(window.CPU.Regs[9], MakeValue128(writes ? 0x5A : ~uint64_t{0}, 0));
    }
  }
}

// What the user asks after 复位 while the reset still reads its image acts on the
// machine the reset leaves, in the order asked: it waits behind the read, the window
// going on meanwhile. A stop leaves the reset machine stopped. Run from start reads
// anew instead, giving the reset's read up at once.
TEST_F(MainWindowTest, CommandsAfterAResetActOnTheMachineItLeaves) {
  // LD R2 1 (20 bytes), LD R3 40, then R1 counts for ever.
  ASSERT_TRUE(Image().Load(2, 1).Load(3, 40).Emit(Word(Add, 1, 1, 2)).Emit(Word(Jmp, 0, 0, 3)).WriteTo(Path("count.bin")));
  constexpr double kMegabyte = 1024.0 * 1024.0;
  const struct {
    const char* What;
    bool Paused;
    std::function<void(TFrmMain&)> Command;
    std::function<bool(TFrmMain&)> Done;  // with the core lock held
    int GivenUp = 0;
  } cases[] = {
      {"single step", true, [](TFrmMain& window) { window.MnuAOpClick(); },
       [](TFrmMain& window) { return *window.CPU.GetSpecialRegBits(TTALVOCPU::IP) == 0x14u; }},
      {"stop", false, [](TFrmMain& window) { window.MnuStopClick(); },
       [](TFrmMain& window) { return !window.Run().HasThread(); }},
      {"memory edit", true,
       [](TFrmMain& window) {
         window.MnuMemoryEditClick();
         for (QWidget* widget : QApplication::topLevelWidgets()) {
           if (auto* memory = dynamic_cast<TFrmViewMemory*>(widget)) {
             memory->EditMemChgAddr->setText(QStringLiteral("64"));
             memory->EditMemContent->setText(QStringLiteral("7"));
             memory->BtnApplyEditClick();
           }
         }
       },
       [](TFrmMain& window) {
         uint64_t word = 0;
         return window.CPU.MemReadUInt64(64, word) && word == 7;
       }},
      // The reset has the memory of before; the setup's size is for the next one.
      {"setup", true,
       [](TFrmMain& window) {
         TFrmCPUSetup* dialog = window.CPUSetupDialog();
         QTimer::singleShot(0, dialog, [dialog] {
           dialog->Edit(SettingMemSize)->setText(QStringLiteral("2"));
           dialog->BitBtn1Click();
         });
         window.MnuCPUSetupClick();
       },
       [&](TFrmMain& window) { return window.CPU.MemSize == 2 * kMegabyte && window.CPU.MemAllocated == kMegabyte; }},
      {"run from start", false, [](TFrmMain& window) { window.OpRunClick(); },
       [](TFrmMain& window) { return window.Run().GetState() == TRunControl::State::Running; }, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    THeldRead gate;
    TFrmMain window;
    window.CPU.ReadImage = gate.Reader();
    window.CPU.SettingPath = Path("none.setting");
    window.CPU.MemSize = kMegabyte;
    ASSERT_EQ(window.CPU.LoadBiosImage(Path("count.bin")), 0);
    window.OpRunClick();
    ASSERT_TRUE(FetchesOnPast(window, 100));
    if (c.Paused) window.MnuPauseClick();
    {
      // What no reset leaves.
      Lock guard(window.CPU.CoreLock);
      window.CPU.Regs[9] = 99;
    }
    gate.Shut();
    const int reads = gate.Reads();
    window.MnuResetClick();
    ASSERT_TRUE(gate.WaitFor(reads + 1));
    c.Command(window);
    gate.Release();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
          Lock guard(window.CPU.CoreLock);
          return window.CPU.Regs[9] == 0u && c.Done(window);
        },
        kPatienceMs));
    EXPECT_EQ(gate.GivenUp(), c.GivenUp);
    EXPECT_TRUE(boxes.empty());
  }
}

// A reset during a run and applying the setup read their image off the UI thread: the
// window goes on while the read is held, and takes the reset or the image in once the
// read ends. Closing ends the run, closes the windows on the core and its disk images,
// and gives up the reads still under way or waiting their turn.
TEST_F(MainWindowTest, ClosingEndsTheRunAndTheWindowsOnTheCore) {
  ASSERT_TRUE(Image().Emit(Word(Jmp, 0, 0, 0)).WriteTo(Path("loop.bin")));
  ASSERT_TRUE(Image().Emit(Word(Nop, 0, 0, 0)).Emit(Word(Jmp, 0, 0, 0)).WriteTo(Path("other.bin")));
  THeldRead gate;
  TFrmMain window;
  window.CPU.ReadImage = gate.Reader();
  window.CPU.SettingPath = Path("none.setting");
  window.CPU.LoadBiosImage(Path("loop.bin"));
  window.Applied.FloppyFileName = StoredName(Path("floppy.img"));
  window.MnuOpenFloppyClick();
  window.MnuMemoryEditClick();
  window.MnuRegistersofCommonClick();
  EXPECT_EQ(window.OpenWindowCount(), 2);
  window.OpRunClick();
  ASSERT_TRUE(FetchesOnPast(window, 100));
  {
    Lock guard(window.CPU.CoreLock);
    window.CPU.Regs[9] = 99;
  }
  TAppliedSetup setup = window.Applied;
  setup.BIOSFileName = StoredName(Path("other.bin"));
  for (const bool reset : {true, false}) {
    SCOPED_TRACE(reset ? "reset" : "setup");
    auto done = [&] {
      Lock guard(window.CPU.CoreLock);
      return reset ? window.CPU.Regs[9] == 0 : window.CPU.BiosLen == 8;
    };
    gate.Shut();
    const int reads = gate.Reads();
    if (reset) {
      window.MnuResetClick();
    } else {
      window.ApplyCPUSetup(setup, true);
    }
    ASSERT_TRUE(gate.WaitFor(reads + 1));
    EXPECT_TRUE(gate.Holding());
    EXPECT_FALSE(done());
    gate.Release();
    EXPECT_TRUE(QTest::qWaitFor(done, kPatienceMs));
  }
  // The setup's read waits its turn behind the reset's: one image in the making.
  window.MnuPauseClick();
  gate.Shut();
  const int reads = gate.Reads();
  window.MnuResetClick();
  ASSERT_TRUE(gate.WaitFor(reads + 1));
  window.ApplyCPUSetup(setup, true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.CPU.ReadTurns.Waiting() == 1; }, kPatienceMs));

  window.close();
  EXPECT_EQ(gate.GivenUp(), 1);
  EXPECT_EQ(gate.Reads(), reads + 1);
  EXPECT_FALSE(window.WindowExists());
  EXPECT_EQ(window.OpenWindowCount(), 0);
  EXPECT_FALSE(window.Run().HasThread());
  EXPECT_FALSE(window.CPU.Floppy.IsOpen());
}

}  // namespace
