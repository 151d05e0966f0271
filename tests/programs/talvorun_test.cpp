// talvorun end to end: the built program run on an image the test writes.

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../common/run_tool.h"
#include "../common/scratch.h"
#include "../machine/program_words.h"
#include "talvorun_command.h"

namespace {

using namespace program_words;

using Output = TToolOutput;

// Runs a program whose close of a descriptor fails (failing_close/).
const std::string kFailingClose = TALVO_BINARY_DIR "/tests/programs/failing_close/failing_close";

// Runs talvorun with the arguments, in the folder when one is given.
Output RunTalvorun(std::vector<std::string> arguments, const std::string& folder = {}) {
  arguments.insert(arguments.begin(), kTalvorun);
  return RunTool(arguments, folder);
}

class TalvorunTest : public ::testing::Test {
 protected:
  TScratchFolder scratch_;
  const std::filesystem::path& folder_ = scratch_.Path;
  std::string image_ = scratch_.File("image.bin");
};

TEST_F(TalvorunTest, PrintsTheStateAfterTheFailingStep) {
  // R1 = 5, R2 = R1 + R1, then a word with no instruction.
  Image image;
  image.Load(1, 5).Emit(Word(Add, 2, 1, 1)).Emit(Word(0x07, 0, 0, 0));
  ASSERT_TRUE(image.WriteTo(image_));
  // A settings file in the current folder naming another BIOS is not even read.
  ASSERT_TRUE(Image().Emit(0).WriteTo((folder_ / "other.bin").string()));
  const std::string settings =
      scratch_.Write("talvorun.setting", "1\r\r\n\r\r\n100\r\r\n\r\r\n1.44\r\r\n\r\r\nother.bin\r\r\n");
  // Every open of it queues an event, before the run can end.
  const int opens = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(::inotify_add_watch(opens, settings.c_str(), IN_OPEN), 0);
  // The largest step count is taken in decimal as in hexadecimal.
  const Output out =
      RunTalvorun({"--steps", "18446744073709551615", "--dump", "0x14:5", "--dump", "0:0", image_}, folder_);
  EXPECT_EQ(out.Exit, 0);
  EXPECT_EQ(out.Text,
            "steps 2\n"
            "stop failed\n"
            "BS 00000000000000000000000000000000\n"
            "BO 00000000000000000000000000000000\n"
            "DS 00000000000000000000000000000000\n"
            "DO 00000000000000000000000000000000\n"
            "IS 00000000000000000000000000000000\n"
            "IP 00000000000000000000000000000018\n"
            "PSW 00000000000000000000000000000000\n"
            "ICW 00000000000000000000000000000000\n"
            "SS 00000000000000000000000000000000\n"
            "SP 00000000000000000000000000000000\n"
            "R1 00000000000000000000000000000005\n"
            "R2 0000000000000000000000000000000A\n"
            "mem 00000014: 01 01 02 08 00\n"
            "mem 00000000:\n");
  char events[4096];
  EXPECT_LE(::read(opens, events, sizeof events), 0) << "the settings file was opened";
  ::close(opens);
}

TEST_F(TalvorunTest, StopsAtTheStepLimitInALoop) {
  Image image;
  image.Load(2, 1).Load(3, Back(4)).Emit(Word(Add, 1, 1, 2)).Emit(Word(JNQ, 0, 0, 3));
  ASSERT_TRUE(image.WriteTo(image_));
  const Output out = RunTalvorun({"--steps", "1002", "--mem-mb", "1", image_});
  EXPECT_EQ(out.Exit, 0);
  EXPECT_NE(out.Text.find("steps 1002\nstop limit\n"), std::string::npos) << out.Text;
  EXPECT_NE(out.Text.find("\nR1 000000000000000000000000000001F4\n"), std::string::npos) << out.Text;
}

// Headless, the device timer ticks by the host's clock and its interrupt reaches the
// program: the handler at 6 x 256 ends the waiting loop.
TEST_F(TalvorunTest, TheDeviceTimerInterruptsTheProgram) {
  Image image;
  image.Load(1, 1).Load(2, 0x2000).Emit(Word(Set, 0, SP, 2));
  image.Load(3, Value128{1} << isa::kInterruptEnableBit).Emit(Word(Set, 0, ICW, 3));
  image.Load(4, 0x52).Load(6, MakeValue128(1, 1)).Emit(Word(Out, 0, 4, 6));
  image.Load(7, Back(4)).Emit(Word(Cmp, 0, 5, 1)).Emit(Word(JNQ, 0, 0, 7));
  // A failing word at every other device vector, so that only interrupt 6 reaches
  // the handler.
  for (uint32_t vector = 0; vector < 8; ++vector) {
    if (vector == 6) {
      image.PadTo(6 * 256).Emit(Word(Inc, 0, 5, 0)).Emit(Word(IRet, 0, 0, 0));
    } else {
      image.PadTo(vector * 256).Emit(Word(0xFF, 0, 0, 0));
    }
  }
  ASSERT_TRUE(image.WriteTo(image_));
  const Output out = RunTalvorun({image_});
  EXPECT_EQ(out.Exit, 0);
  EXPECT_NE(out.Text.find("stop failed\n"), std::string::npos) << out.Text;
  EXPECT_NE(out.Text.find("\nIP 0000000000000000000000000000008C\n"), std::string::npos) << out.Text;
  EXPECT_NE(out.Text.find("\nR5 00000000000000000000000000000001\n"), std::string::npos) << out.Text;
}

// The ports of the floppy and the hard disk.
struct TDrive {
  const char* What;
  uint32_t Data, Position, Command;
};
constexpr TDrive kDrives[] = {{"floppy", 0x12, 0x13, 0x14}, {"disk", 0x30, 0x31, 0x32}};
constexpr uint64_t kStride = 4096, kWrites = 350;

// Writes 0x5A to kWrites bytes kStride apart on each drive, then reads the byte of the
// last write back: the floppy's into R11, the disk's into R12.
Image WritesAndReadBacks() {
  Image image;
  for (int i = 0; i < 2; ++i) {
    const TDrive& drive = kDrives[i];
    image.Load(1, drive.Position).Load(2, drive.Data).Load(3, drive.Command).Load(4, MakeValue128(4, 0)).Load(5, 0);
    image.Load(6, MakeValue128(kStride, 0)).Load(7, 0x5A).Load(8, MakeValue128(kStride * kWrites, 0)).Load(9, Back(20));
    image.Emit(Word(Out, 0, 1, 5)).Emit(Word(Out, 0, 2, 7)).Emit(Word(Out, 0, 3, 4));
    image.Emit(Word(Add, 5, 5, 6)).Emit(Word(Cmp, 0, 5, 8)).Emit(Word(JNQ, 0, 0, 9));
    image.Emit(Word(Sub, 5, 5, 6)).Emit(Word(Out, 0, 1, 5)).Load(10, MakeValue128(3, 0)).Emit(Word(Out, 0, 3, 10));
    image.Emit(Word(In, 0, 2, 11 + i));
  }
  return image.Emit(Word(0xFF, 0, 0, 0));
}

// True when `said` stands in the text exactly once.
bool SaidOnce(const std::string& text, const std::string& said) {
  const size_t at = text.find(said);
  return at != std::string::npos && text.find(said, at + 1) == std::string::npos;
}

// Bytes the host refuses a disk image are lost to the guest, which reads all ones back
// where it wrote: writes past a full disk or past the file size limit (which does not
// end talvorun), and every position of a FIFO. The bytes written before are in the
// file. The user learns of it once for each image and kind, naming the image and the
// reason, and by the exit status.
TEST_F(TalvorunTest, WhatTheHostRefusesADiskImageIsToldForEachImage) {
  const std::string limited = scratch_.File("limited"), fifos = scratch_.File("fifos"), small = scratch_.File("small");
  for (const std::string& folder : {limited, fifos, small}) std::filesystem::create_directories(folder);
  for (const char* what : {"/floppy.img", "/disk.img"}) ASSERT_EQ(::mkfifo((fifos + what).c_str(), 0600), 0);
  ASSERT_TRUE(WritesAndReadBacks().WriteTo(image_));
  const struct {
    std::string Folder;               // of the two images
    std::vector<std::string> Runner;  // what talvorun runs under
    std::string Reason;
    bool ReadsRefused;
    std::string Written;  // the floppy image as the run left it
  } cases[] = {
      {limited, {"prlimit", "--fsize=65536", "--"}, "File too large", false, limited + "/floppy.img"},
      {fifos, {}, "Illegal seek", true, {}},
      // The paths reach the script as its arguments, never as part of its text.
      {small,
       {"unshare", "-m", "sh", "-c",
        "mount -t tmpfs -o size=64k tmpfs \"$0\" && { \"$@\"; s=$?; cp \"$0/floppy.img\" \"$0.img\" && exit $s; }", small},
       "No space left on device", false, small + ".img"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Reason);
    if (c.Folder == small && RunTool({"unshare", "-m", "true"}).Exit != 0)
      GTEST_SKIP() << "a full disk needs a private mount namespace";
    std::vector<std::string> command = c.Runner;
    command.insert(command.end(),
                   {kTalvorun, "--floppy", c.Folder + "/floppy.img", "--disk", c.Folder + "/disk.img", image_});
    const Output out = RunTool(command);
    EXPECT_EQ(out.Exit, 3) << out.Text;
    EXPECT_NE(out.Text.find("stop failed\n"), std::string::npos) << out.Text;
    for (int i = 0; i < 2; ++i) {
      const std::string what = kDrives[i].What, told = "talvorun: the " + what + " image " + c.Folder + "/" + what + ".img ";
      EXPECT_NE(out.Text.find("\nR" + std::to_string(11 + i) + " FFFFFFFFFFFFFFFF0000000000000000\n"), std::string::npos)
          << out.Text;
      EXPECT_TRUE(SaidOnce(out.Text, told + "lost writes: " + c.Reason + "\n")) << out.Text;
      EXPECT_EQ(SaidOnce(out.Text, told + "refused reads: " + c.Reason + "\n"), c.ReadsRefused) << out.Text;
    }
    if (c.Written.empty()) continue;
    const std::string written = ReadBytes(c.Written);
    ASSERT_GT(written.size(), kStride);
    EXPECT_EQ(written[0], 0x5A);
    EXPECT_EQ(written[kStride], 0x5A);
  }
}

// A state that cannot be written out whole is no run a caller can read: talvorun says
// why and exits 4, whether the output is /dev/full, a file on a full disk or one whose
// close fails, and also when disk writes were lost as well.
TEST_F(TalvorunTest, AnOutputThatCannotBeWrittenIsToldWithAStatusOfItsOwn) {
  ASSERT_TRUE(WritesAndReadBacks().WriteTo(image_));
  const std::string small = scratch_.File("small"), floppy = scratch_.File("f.img"), disk = scratch_.File("d.img");
  std::filesystem::create_directories(small);
  const std::string lost = "talvorun: cannot write the machine state to the standard output: ";
  // The full disk comes last: a host without mount namespaces skips it.
  const struct {
    std::string What;
    std::vector<std::string> Command;
    std::string Told;  // what the run ends its output with
  } cases[] = {
      {"/dev/full", {"sh", "-c", "\"$@\" >/dev/full", "sh", kTalvorun, image_}, lost + "No space left on device\n"},
      {"a failing close", {kFailingClose, "1", kTalvorun, image_}, lost + "Input/output error\n"},
      {"lost disk writes",
       {"sh", "-c", "\"$@\" >/dev/full", "sh", "prlimit", "--fsize=65536", "--", kTalvorun, "--floppy", floppy,
        "--disk", disk, image_},
       "talvorun: the floppy image " + floppy + " lost writes: File too large\n"
       "talvorun: the disk image " + disk + " lost writes: File too large\n" + lost + "No space left on device\n"},
      {"a full disk",
       {"unshare", "-m", "sh", "-c", "mount -t tmpfs -o size=64k tmpfs \"$0\" && \"$@\" >\"$0/out\"", small,
        kTalvorun, "--dump", "0:200000", image_},
       lost + "No space left on device\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    if (c.What == "a full disk" && RunTool({"unshare", "-m", "true"}).Exit != 0)
      GTEST_SKIP() << "a full disk needs a private mount namespace";
    const Output out = RunTool(c.Command);
    EXPECT_EQ(out.Exit, 4) << out.Text;
    EXPECT_TRUE(out.Text.ends_with(c.Told)) << out.Text;
  }
}

TEST_F(TalvorunTest, RefusesBadCommandLines) {
  ASSERT_TRUE(Image().Emit(0).WriteTo(image_));
  // An image that is a FIFO or a folder is refused at once, not waited for.
  const std::string fifo = scratch_.File("image.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // No floppy image is made when the disk image cannot be had, nor when the disk
  // image is a link to a folder that does not exist.
  const std::string floppy = scratch_.File("f.img"), dangling = scratch_.File("dangling.img");
  std::filesystem::create_symlink("no/x", dangling);
  const std::vector<std::vector<std::string>> refused = {
      {},
      {"--steps"},
      {"--steps", "x", image_},
      {"--steps", "18446744073709551616", image_},
      {"--steps", "-1", image_},
      {"--mem-mb", "0", image_},
      {"--mem-mb", "2048", image_},
      {"--dump", "0x400000:1", image_},
      {"--dump", "5", image_},
      {"--frobnicate", image_},
      {image_, image_},
      {(folder_ / "missing.bin").string()},
      {fifo},
      {folder_.string()},
      {"--floppy", (folder_ / "no/such/floppy.img").string(), image_},
      {"--floppy", floppy, "--disk", (folder_ / "no/d.img").string(), image_},
      {"--floppy", floppy, "--disk", dangling, image_},
      {scratch_.Write("empty.bin", "")},
  };
  for (const std::vector<std::string>& arguments : refused) {
    const Output out = RunTalvorun(arguments);
    std::string shown = "talvorun";
    for (const std::string& argument : arguments) shown += " " + argument;
    EXPECT_EQ(out.Exit, 2) << shown;
    EXPECT_NE(out.Text.find("talvorun: "), std::string::npos) << shown;
  }
  EXPECT_FALSE(std::filesystem::exists(floppy));
  // Every image refused is told.
  const std::string noFloppy = scratch_.File("no1/f.img"), noDisk = scratch_.File("no2/d.img");
  EXPECT_EQ(RunTalvorun({"--floppy", noFloppy, "--disk", noDisk, image_}).Text,
            "talvorun: cannot open the floppy image " + noFloppy + ": No such file or directory\n"
            "talvorun: cannot open the disk image " + noDisk + ": No such file or directory\n");
}

// A block the reset cannot allocate must not leave the run on the smaller block it
// kept. The address-space limit starves the allocation; sanitizers need more space
// than the limit leaves, so their builds skip this.
TEST_F(TalvorunTest, RefusesMemoryItCannotAllocate) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "needs an address-space limit";
#endif
  ASSERT_TRUE(Image().Emit(0).WriteTo(image_));
  const Output out =
      RunTool({"prlimit", "--as=1024000000", "--", kTalvorun, "--mem-mb", "2047", "--dump", "0x100000:1", image_});
  EXPECT_EQ(out.Exit, 2) << out.Text;
  EXPECT_EQ(out.Text.find("talvorun: cannot allocate 2047 MB"), 0u) << out.Text;
}

}  // namespace
