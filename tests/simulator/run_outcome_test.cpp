#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "base/file_error.h"
#include "common/scratch.h"
#include "simulator/model/run_outcome.h"
#include "simulator/model/sim_texts.h"
#include "small_core.h"

namespace {

constexpr double kMb = 1024.0 * 1024.0;

class RunStart : public ScratchFolderTest {};

TEST_F(RunStart, NamesTheMemoryThatCouldNotBeHad) {
  const TResetOutcome fine{true, 64 << 20, 64 * kMb, 100};
  EXPECT_EQ(RunStartProblem(fine, "a.Bin", PathOf("a.Bin")), "");
  // A size of a fraction of a byte is had as the whole bytes below it.
  EXPECT_EQ(RunStartProblem({true, 1509949, 1.44 * kMb, 100}, "a.Bin", PathOf("a.Bin")), "");
  // The reset kept its old block, or had none at all.
  const std::string expected = std::string(kTextCannotAllocate) + "2047" + kTextMegabytesOfMemory;
  EXPECT_EQ(RunStartProblem({true, 64 << 20, 2047 * kMb, 100}, "a.Bin", PathOf("a.Bin")), expected);
  EXPECT_EQ(RunStartProblem({false, 0, 2047 * kMb, 100}, "a.Bin", PathOf("a.Bin")), expected);
}

TEST_F(RunStart, NamesAMissingUnreadableOrEmptyImageWithTheReason) {
  const TResetOutcome noImage{true, 4 << 20, 4 * kMb, 0};
  EXPECT_EQ(RunStartProblem(noImage, "", ""), kTextNoBiosFileSet);
  const std::string prefix = std::string(kTextBiosNotRunnable) + " x.Bin" + kTextColon;
  EXPECT_EQ(RunStartProblem(noImage, "x.Bin", PathOf("x.Bin")), prefix + FileErrorReason(ENOENT));
  scratch_.Write("x.Bin", "");
  EXPECT_EQ(RunStartProblem(noImage, "x.Bin", PathOf("x.Bin")), prefix + kTextFileEmpty);
  std::filesystem::remove(PathOf("x.Bin"));
  ASSERT_EQ(::mkfifo(PathOf("x.Bin").c_str(), 0600), 0);
  EXPECT_EQ(RunStartProblem(noImage, "x.Bin", PathOf("x.Bin")), prefix + FileErrorReason(kNotARegularFile));
}

TEST(RunEnd, ShowsTheStoppedStateWithIpAndTheWordThere) {
  SmallCore core;
  TTALVOCPU& cpu = core.cpu;
  const uint8_t word[] = {0x78, 0x56, 0x34, 0xFF};
  std::copy(std::begin(word), std::end(word), cpu.Memory + 0x1C);
  *cpu.GetSpecialRegBits(TTALVOCPU::IP) = 0x1C;
  TRunEndTexts texts = RunEndTexts(cpu);
  EXPECT_EQ(texts.Status, std::string(kTextStopped) + " IP=0000001C");
  EXPECT_EQ(texts.Word, "FF345678");

  // The last whole word of memory still shows; one byte further it is outside.
  *cpu.GetSpecialRegBits(TTALVOCPU::IP) = cpu.MemAllocated - 4;
  EXPECT_EQ(RunEndTexts(cpu).Word, "00000000");
  *cpu.GetSpecialRegBits(TTALVOCPU::IP) = cpu.MemAllocated - 3;
  texts = RunEndTexts(cpu);
  EXPECT_EQ(texts.Status, std::string(kTextStopped) + " IP=00000FFD");
  EXPECT_EQ(texts.Word, kTextIpOutsideMemory);
}

}  // namespace
