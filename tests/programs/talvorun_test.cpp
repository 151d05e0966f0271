// talvorun end to end: the built program run on an image the test writes.

#include <gtest/gtest.h>
#include <sys/stat.h>

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
  // A settings file in the current folder naming another BIOS must not change the run.
  ASSERT_TRUE(Image().Emit(0).WriteTo((folder_ / "other.bin").string()));
  std::FILE* settings = std::fopen((folder_ / "talvorun.setting").string().c_str(), "wb");
  ASSERT_NE(settings, nullptr);
  std::fputs("1\r\r\n\r\r\n100\r\r\n\r\r\n1.44\r\r\n\r\r\nother.bin\r\r\n", settings);
  std::fclose(settings);
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

// On a full host disk the failing write is refused to the guest, which reads the end
// of the image back where it wrote; the bytes written before are in the file. The
// user learns of the lost bytes: once, naming the image and the reason, and by the
// exit status.
TEST_F(TalvorunTest, AFullHostDiskRefusesTheWriteAndSaysSo) {
  if (RunTool({"unshare", "-m", "true"}).Exit != 0) GTEST_SKIP() << "needs a private mount namespace";
  constexpr uint64_t kStride = 4096, kWrites = 350;
  const struct {
    const char* Option;
    const char* What;
    uint32_t Ports[3];  // data, position, command
  } drives[] = {{"--floppy", "floppy", {0x12, 0x13, 0x14}}, {"--disk", "disk", {0x30, 0x31, 0x32}}};
  for (const auto& drive : drives) {
    SCOPED_TRACE(drive.What);
    Image image;
    image.Load(1, drive.Ports[1]).Load(2, drive.Ports[0]).Load(3, drive.Ports[2]).Load(4, MakeValue128(4, 0)).Load(5, 0);
    image.Load(6, MakeValue128(kStride, 0)).Load(7, 0x5A).Load(8, MakeValue128(kStride * kWrites, 0)).Load(9, Back(20));
    image.Emit(Word(Out, 0, 1, 5)).Emit(Word(Out, 0, 2, 7)).Emit(Word(Out, 0, 3, 4));
    image.Emit(Word(Add, 5, 5, 6)).Emit(Word(Cmp, 0, 5, 8)).Emit(Word(JNQ, 0, 0, 9));
    // read back the byte of the last write
    image.Emit(Word(Sub, 5, 5, 6)).Emit(Word(Out, 0, 1, 5)).Load(10, MakeValue128(3, 0)).Emit(Word(Out, 0, 3, 10));
    image.Emit(Word(In, 0, 2, 11)).Emit(Word(0xFF, 0, 0, 0));
    ASSERT_TRUE(image.WriteTo(image_));
    const std::string small = (folder_ / "small").string(), kept = (folder_ / "kept.img").string();
    std::filesystem::create_directories(small);
    // The paths reach the script as its arguments, never as part of its text.
    const Output out = RunTool({"unshare", "-m", "sh", "-c",
                                "mount -t tmpfs -o size=64k tmpfs \"$1\" && \"$2\" \"$3\" \"$1/d.img\" \"$4\"; "
                                "status=$?; cp \"$1/d.img\" \"$5\" && exit $status",
                                "sh", small, kTalvorun, drive.Option, image_, kept});
    EXPECT_EQ(out.Exit, 3) << out.Text;
    EXPECT_NE(out.Text.find("\nR11 FFFFFFFFFFFFFFFF0000000000000000\n"), std::string::npos) << out.Text;
    const std::string said =
        std::string("talvorun: the ") + drive.What + " image " + small + "/d.img lost writes: No space left on device\n";
    const size_t at = out.Text.find(said);
    EXPECT_NE(at, std::string::npos) << out.Text;
    EXPECT_EQ(out.Text.find(said, at + 1), std::string::npos) << out.Text;
    const std::string written = ReadBytes(kept);
    ASSERT_GT(written.size(), kStride);
    EXPECT_EQ(written[0], 0x5A);
    EXPECT_EQ(written[kStride], 0x5A);
  }
}

TEST_F(TalvorunTest, RefusesBadCommandLines) {
  ASSERT_TRUE(Image().Emit(0).WriteTo(image_));
  // An image that is a FIFO or a folder is refused at once, not waited for.
  const std::string fifo = scratch_.File("image.fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
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
  };
  for (const std::vector<std::string>& arguments : refused) {
    const Output out = RunTalvorun(arguments);
    std::string shown = "talvorun";
    for (const std::string& argument : arguments) shown += " " + argument;
    EXPECT_EQ(out.Exit, 2) << shown;
    EXPECT_NE(out.Text.find("talvorun: "), std::string::npos) << shown;
  }
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
