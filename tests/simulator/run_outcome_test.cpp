#include <gtest/gtest.h>

#include <string>

#include "base/file_error.h"
#include "simulator/model/run_outcome.h"
#include "simulator/model/sim_texts.h"
#include "small_core.h"

namespace {

constexpr double kMb = 1024.0 * 1024.0;

// What the window says of a reset that did not make the machine ready to run.
TEST(RunStart, NamesTheMemoryOrTheImageTheResetCouldNotHave) {
  const std::string named = std::string(kTextBiosNotRunnable) + " x.Bin" + kTextColon;
  const struct {
    TResetOutcome Outcome;
    const char* Name;
    std::string Problem;
  } cases[] = {
      {{true, 64 * kMb, 100, 0}, "x.Bin", ""},
      // The reset kept its old block, or had none at all; the image does not matter then.
      {{false, 2047 * kMb, 0, ENOENT}, "x.Bin", std::string(kTextCannotAllocate) + "2047" + kTextMegabytesOfMemory},
      {{false, 1.44 * kMb, 100, 0}, "x.Bin", std::string(kTextCannotAllocate) + "1.44" + kTextMegabytesOfMemory},
      {{true, 4 * kMb, 0, 0}, "", kTextNoBiosFileSet},
      {{true, 4 * kMb, 0, ENOENT}, "x.Bin", named + FileErrorReason(ENOENT)},
      {{true, 4 * kMb, 0, kNotARegularFile}, "x.Bin", named + FileErrorReason(kNotARegularFile)},
      {{true, 4 * kMb, 0, 0}, "x.Bin", named + kTextFileEmpty},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunStartProblem(c.Outcome, c.Name), c.Problem) << c.Problem;
  }
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
