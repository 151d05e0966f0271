// Every complete program of the reference builds with kelmoc and, run by talvorun,
// ends where it says: with the failing step every such program ends on, and with the
// registers and memory its "// 结果：" lines state.

#include <gtest/gtest.h>

#include <cctype>

#include "../common/run_tool.h"
#include "../common/scratch.h"
#include "base/gbk_convert.h"
#include "isa/special_registers.h"
#include "machine/text_views.h"
#include "reference_text.h"
#include "talvorun_report.h"

// Parameters print as where they stand in the reference, in letters, digits and
// underscores, which test names take as they are: "assembler_md_1".
void PrintTo(const TProgramBlock& block, std::ostream* out) {
  for (const char c : block.Where) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      *out << c;
    } else if (c == ' ' || c == '.') {
      *out << '_';
    }
  }
}

namespace {

// Far more than any of them needs; the timer program waits for a tick of 10 ms.
constexpr const char* kStepLimit = "1000000000";

// The source as the kit's files hold it: GBK, lines ending CR LF.
bool KitSource(const std::string& utf8, std::string& out) {
  const std::optional<std::string> gbk = Utf8ToGbkStrict(utf8);
  if (!gbk) return false;
  out.clear();
  for (const char c : *gbk) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return true;
}

// A name talvorun prints: R0..R255 or a special register's.
bool IsRegisterName(const std::string& name) {
  for (int n = 0; n < isa::kSpecialRegisterCount; ++n)
    if (name == isa::kSpecialRegisterNames[n].English) return true;
  for (int n = 0; n < 256; ++n)
    if (name == "R" + std::to_string(n)) return true;
  return false;
}

TEST(ReferencePrograms, TheReferenceHoldsCompletePrograms) { EXPECT_GE(CompletePrograms().size(), 5u); }

class ReferenceProgramTest : public ::testing::TestWithParam<TProgramBlock> {};

TEST_P(ReferenceProgramTest, BuildsRunsAndEndsAsItStates) {
  const TProgramBlock& block = GetParam();
  SCOPED_TRACE(block.Where);
  EXPECT_TRUE(block.Problems.empty()) << "result lines that do not read: " << block.Problems.front();
  ASSERT_FALSE(block.Results.empty()) << "a complete program states its result";
  std::string source;
  ASSERT_TRUE(KitSource(block.Source, source)) << "a character of the program has no GBK code";

  TScratchFolder scratch;
  const std::string sourcePath = scratch.Write("program.casm", source);
  const std::string project = scratch.File("built.tvxPrj");
  const TToolOutput built = RunTool({kKelmoc, "build", project, sourcePath});
  ASSERT_EQ(built.Exit, 0) << built.Text;

  std::vector<std::string> arguments = {kTalvorun, "--steps", kStepLimit};
  for (const TStatedResult& result : block.Results)
    if (result.IsMemory) arguments.insert(arguments.end(), {"--dump", std::to_string(result.Address) + ":16"});
  arguments.push_back(scratch.File("built.tvxbin"));
  const TToolOutput ran = RunTool(arguments);
  ASSERT_EQ(ran.Exit, 0) << ran.Text;
  const TTalvorunReport report = ReadTalvorunReport(ran.Text);
  ASSERT_TRUE(report.Read) << ran.Text;
  EXPECT_TRUE(report.Failed) << "the program does not end on a failing step\n" << ran.Text;

  for (const TStatedResult& result : block.Results) {
    Value128 have = 0;
    if (result.IsMemory) {
      ASSERT_TRUE(report.MemoryValue(result.Address, have)) << ran.Text;
    } else {
      ASSERT_TRUE(IsRegisterName(result.Name)) << result.Line;
      have = report.Register(result.Name);
    }
    EXPECT_EQ(Hex128Text(have), Hex128Text(result.Value)) << result.Line;
  }
}

INSTANTIATE_TEST_SUITE_P(Reference, ReferenceProgramTest, ::testing::ValuesIn(CompletePrograms()),
                         [](const ::testing::TestParamInfo<TProgramBlock>& info) {
                           return ::testing::PrintToString(info.param);
                         });

}  // namespace
