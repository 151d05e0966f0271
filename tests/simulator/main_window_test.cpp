#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <mutex>
#include <string>
#include <vector>

#include "base/file_error.h"
#include "common/inspect_modal.h"
#include "common/scratch.h"
#include "gui_app.h"
#include "isa/special_registers.h"
#include "machine/program_words.h"
#include "platform/gbk_qt.h"
#include "platform/message_box.h"
#include "machine/setting_file.h"
#include "simulator/gui/cpu_setup_dialog.h"
#include "simulator/gui/main_window.h"
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
    SetMessageBoxHandler([this](const std::string& text, int flags) {
      boxes.push_back({text, flags});
      return kIdOk;
    });
  }
  void TearDown() override {
    SetMessageBoxHandler({});
    QDir::setCurrent(previous_);
  }
  std::string Path(const char* name) const { return folder_.File(name); }

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
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
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

  window.Applied.FloppyFileName = Path("floppy.img");
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
  ASSERT_EQ(boxes.size(), 2u);
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

  // A size the reset cannot have leaves the old block: not the machine asked for.
  std::filesystem::remove(DefaultSettingPath());
  ASSERT_TRUE(Image().Emit(Word(Jmp, 0, 0, 0)).WriteTo(Path("loop.bin")));
  ASSERT_EQ(window.CPU.LoadBiosImage(Path("loop.bin")), 0);
  window.CPU.MemSize = 4096.0 * 1024 * 1024;
  runAndExpect(std::string(kTextCannotAllocate) + "4096" + kTextMegabytesOfMemory);
}

TEST_F(MainWindowTest, ClosingEndsTheRunAndTheWindowsOnTheCore) {
  ASSERT_TRUE(Image().Emit(Word(Jmp, 0, 0, 0)).WriteTo(Path("loop.bin")));
  TFrmMain window;
  window.CPU.SettingPath = Path("none.setting");
  window.CPU.LoadBiosImage(Path("loop.bin"));
  window.Applied.FloppyFileName = Path("floppy.img");
  window.MnuOpenFloppyClick();
  window.MnuMemoryEditClick();
  window.MnuRegistersofCommonClick();
  EXPECT_EQ(window.OpenWindowCount(), 2);
  window.OpRunClick();
  window.MnuPauseClick();

  window.close();
  EXPECT_FALSE(window.WindowExists());
  EXPECT_EQ(window.OpenWindowCount(), 0);
  EXPECT_FALSE(window.Run().HasThread());
  EXPECT_FALSE(window.CPU.Floppy.IsOpen());
}

}  // namespace
