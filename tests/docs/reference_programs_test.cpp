// Every complete program of the reference (a "```casm 完整程序" block) builds with kelmoc
// and, run by talvorun, ends where it says: with the failing step every such program
// ends on, and with the registers and memory its "// 结果：NAME = VALUE" lines state.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "../common/run_tool.h"
#include "../common/scratch.h"
#include "base/gbk_convert.h"
#include "isa/special_registers.h"
#include "machine/text_views.h"
#include "machine/value128.h"
#include "reference_text.h"

struct TProgramBlock {
  std::string Where;                 // chapter and number, for messages
  std::string Source;                // UTF-8, lines ending LF
  std::vector<std::string> Results;  // what follows "// 结果："
};

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

const std::string kTalvorun = TALVO_BINARY_DIR "/tools/talvorun/talvorun";
// Far more than any of them needs; the timer program waits for a tick of 10 ms.
constexpr const char* kStepLimit = "1000000000";
const std::string kResultPrefix = "// 结果：";

std::vector<TProgramBlock> CompletePrograms() {
  std::vector<TProgramBlock> blocks;
  for (const TChapter& chapter : ReadReference()) {
    bool inBlock = false;
    int number = 0;
    for (const std::string& line : chapter.Lines) {
      const std::string trimmed = Trim(line);
      if (!inBlock || trimmed.rfind("```", 0) == 0) {
        inBlock = !inBlock && trimmed == "```casm 完整程序";
        if (inBlock) blocks.push_back({chapter.Name + " #" + std::to_string(++number), {}, {}});
        continue;
      }
      blocks.back().Source += line + "\n";
      if (trimmed.rfind(kResultPrefix, 0) == 0) blocks.back().Results.push_back(trimmed.substr(kResultPrefix.size()));
    }
  }
  return blocks;
}

// A value as the reference writes it: decimal below 2^64, or up to 32 hexadecimal digits
// after "0H".
bool ReadValue(std::string text, Value128& out) {
  const bool hex = text.rfind("0H", 0) == 0;
  if (hex) text.erase(0, 2);
  if (text.empty() || text.size() > (hex ? 32u : 19u) ||
      text.find_first_not_of(hex ? "0123456789ABCDEF" : "0123456789") != std::string::npos)
    return false;
  const size_t high = text.size() > 16 ? text.size() - 16 : 0;
  out = hex ? MakeValue128(high > 0 ? std::stoull(text.substr(0, high), nullptr, 16) : 0,
                           std::stoull(text.substr(high), nullptr, 16))
            : Value128{std::stoull(text)};
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

struct TStated {
  std::string Register;  // empty for memory
  uint64_t Address = 0;
  Value128 Value = 0;
};

// "NAME = VALUE", NAME a register or "内存[ADDRESS]"; false when it does not read so.
bool ReadResult(const std::string& text, TStated& out) {
  const size_t equals = text.find('=');
  const std::string name = Trim(text.substr(0, equals));
  const std::string memory = "内存[";
  if (equals == std::string::npos || !ReadValue(Trim(text.substr(equals + 1)), out.Value)) return false;
  if (name.rfind(memory, 0) != 0) {
    out.Register = name;
    return IsRegisterName(name);
  }
  Value128 address = 0;
  if (name.back() != ']' || !ReadValue(name.substr(memory.size(), name.size() - memory.size() - 1), address))
    return false;
  out.Address = static_cast<uint64_t>(address);
  return true;
}

// The start of the line talvorun prints for the result, and the whole line; nothing for
// a general register at zero, which it leaves out.
std::pair<std::string, std::string> PrintedLine(const TStated& result) {
  if (!result.Register.empty()) {
    const std::string start = result.Register + " ";
    const bool left = result.Value == 0 && result.Register[0] == 'R';
    return {start, left ? std::string() : start + Hex128Text(result.Value)};
  }
  char text[16];
  std::snprintf(text, sizeof text, "mem %08llX:", static_cast<unsigned long long>(result.Address));
  std::string line = text;
  for (int i = 0; i < 16; ++i) {
    std::snprintf(text, sizeof text, " %02X", static_cast<unsigned>(result.Value >> (8 * i) & 0xff));
    line += text;
  }
  return {line.substr(0, line.find(':') + 1), line};
}

TEST(ReferencePrograms, TheReferenceHoldsCompletePrograms) { EXPECT_GE(CompletePrograms().size(), 5u); }

class ReferenceProgramTest : public ::testing::TestWithParam<TProgramBlock> {};

TEST_P(ReferenceProgramTest, BuildsRunsAndEndsAsItStates) {
  const TProgramBlock& block = GetParam();
  ASSERT_FALSE(block.Results.empty()) << "a complete program states its result";
  std::vector<TStated> results(block.Results.size());
  for (size_t i = 0; i < results.size(); ++i) ASSERT_TRUE(ReadResult(block.Results[i], results[i])) << block.Results[i];
  // As the kit's files hold it: GBK, lines ending CR LF.
  const std::optional<std::string> gbk = Utf8ToGbkStrict(block.Source);
  ASSERT_TRUE(gbk) << "a character of the program has no GBK code";
  std::string source;
  for (const char c : *gbk) source += c == '\n' ? std::string("\r\n") : std::string(1, c);

  TScratchFolder scratch;
  const TToolOutput built = RunTool({kKelmoc, "build", scratch.File("built.tvxPrj"), scratch.Write("p.casm", source)});
  ASSERT_EQ(built.Exit, 0) << built.Text;
  std::vector<std::string> arguments = {kTalvorun, "--steps", kStepLimit};
  for (const TStated& result : results)
    if (result.Register.empty()) arguments.insert(arguments.end(), {"--dump", std::to_string(result.Address) + ":16"});
  arguments.push_back(scratch.File("built.tvxbin"));
  const TToolOutput ran = RunTool(arguments);
  ASSERT_EQ(ran.Exit, 0) << ran.Text;

  std::vector<std::string> printed;
  std::istringstream lines(ran.Text);
  for (std::string line; std::getline(lines, line);) printed.push_back(line);
  EXPECT_NE(std::find(printed.begin(), printed.end(), "stop failed"), printed.end())
      << "the program does not end on a failing step\n" << ran.Text;
  for (size_t i = 0; i < results.size(); ++i) {
    const auto [start, expected] = PrintedLine(results[i]);
    const auto shown = std::find_if(printed.begin(), printed.end(), [&](auto& l) { return l.rfind(start, 0) == 0; });
    EXPECT_EQ(shown == printed.end() ? std::string() : *shown, expected) << block.Results[i];
  }
}

INSTANTIATE_TEST_SUITE_P(Reference, ReferenceProgramTest, ::testing::ValuesIn(CompletePrograms()),
                         [](const ::testing::TestParamInfo<TProgramBlock>& info) {
                           return ::testing::PrintToString(info.param);
                         });

}  // namespace
