// The programmer's reference (docs/*.md) says what the kit does: its tables of
// instructions, special registers, flags and ports hold every row isa/ and the default
// port table hold, with the same values (a row missing, added or changed is named), the
// special-register table gives ICW's interrupt-enable bit, and every complete program
// (a "```casm 完整程序" block) builds with kelmoc and, run by talvorun, ends on a
// failing step with the registers and memory its "// 结果：NAME = VALUE" lines state.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/gbk_convert.h"
#include "isa/instruction_set.h"
#include "isa/special_registers.h"
#include "machine/port_table.h"
#include "reference_runs.h"
#include "reference_tables.h"

struct TProgramBlock {
  std::string Where;                 // chapter and number as a test name takes them: "assembler_md_1"
  std::string Source;                // UTF-8, lines ending LF
  std::vector<std::string> Results;  // what follows "// 结果："
};

void PrintTo(const TProgramBlock& block, std::ostream* out) { *out << block.Where; }

namespace {

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

TEST(ReferenceTables, EveryInstructionFormIsListedWithItsMnemonicsOpcodeOperandsAndLength) {
  TRows kit;
  for (const isa::Form& form : isa::kForms) {
    const int words = (isa::kWordBytes + isa::ImmediateBytes(form.OperandShape)) / isa::kWordBytes;
    kit.insert(Row({form.English, GbkToUtf8(form.Chinese), Hex2(form.Code),
                    std::to_string(isa::OperandCount(form.OperandShape)), std::to_string(words)}));
  }
  // The operands are counted: words, or "—" for none.
  ExpectSameRows(kit, ReferenceRows("instructions", {0, 1, 2, 3, 4}, [](size_t column, const std::string& text) {
                   if (column != 3) return text;
                   int count = 0;
                   std::istringstream words(text);
                   for (std::string word; words >> word;) count += word != "—" && word != "-";
                   return std::to_string(count);
                 }));
}

TEST(ReferenceTables, EverySpecialRegisterIsListedByNumberWithBothNames) {
  TRows kit;
  for (int n = 0; n < isa::kSpecialRegisterCount; ++n)
    kit.insert(Row({std::to_string(n), isa::kSpecialRegisterNames[n].English,
                    GbkToUtf8(isa::kSpecialRegisterNames[n].Chinese)}));
  ExpectSameRows(kit, ReferenceRows("special-registers", {0, 1, 2}));
  // What ICW holds: the bit the machine reads.
  const TRows held = ReferenceRows("special-registers", {1, 3});
  const auto icw = std::find_if(held.begin(), held.end(), [](auto& row) { return row.rfind("ICW | ", 0) == 0; });
  ASSERT_NE(icw, held.end());
  EXPECT_NE(icw->find("位 " + std::to_string(isa::kInterruptEnableBit) + "："), std::string::npos) << *icw;
}

TEST(ReferenceTables, EveryFlagIsListedAtItsBitWithItsValue) {
  const struct {
    const char* Register;
    int Bit;
    const char* Name;
  } flags[] = {{"PSW", isa::kCarryBit, "carry"},     {"PSW", isa::kBorrowBit, "borrow"},
               {"PSW", isa::kLessBit, "less"},       {"PSW", isa::kEqualBit, "equal"},
               {"PSW", isa::kGreaterBit, "greater"}, {"ICW", isa::kInterruptEnableBit, "interrupt enable"}};
  TRows kit;
  for (const auto& flag : flags) {
    std::string value(32, '0');
    value[31 - flag.Bit / 4] = "1248"[flag.Bit % 4];
    kit.insert(Row({flag.Register, std::to_string(flag.Bit), flag.Name, "0H" + value}));
  }
  // The flag's cell names it in Chinese and English: the English words are compared.
  ExpectSameRows(kit, ReferenceRows("flags", {0, 1, 2, 3}, [](size_t column, const std::string& text) {
                   if (column != 2) return text;
                   std::string english;
                   for (const char c : text)
                     if ((c >= 'a' && c <= 'z') || c == ' ') english += c;
                   return Trim(english);
                 }));
}

TEST(ReferenceTables, EveryPortOfTheTableIsListedWithItsDefault) {
  TRows kit;
  const TPortTable defaults = DefaultPortTable();
  for (size_t entry = 0; entry < defaults.size(); ++entry)
    kit.insert(Row({std::to_string(entry), Hex2(static_cast<unsigned>(defaults[entry]))}));
  ExpectSameRows(kit, ReferenceRows("ports", {0, 3}));
}

// Far more than any of them needs; the timer program waits for a tick of 10 ms.
constexpr const char* kStepLimit = "1000000000";
const std::string kResultPrefix = "// 结果：";

std::vector<TProgramBlock> CompletePrograms() {
  std::vector<TProgramBlock> blocks;
  for (const TChapter& chapter : ReadReference()) {
    std::string chapterName = chapter.Name;
    std::replace(chapterName.begin(), chapterName.end(), '.', '_');
    bool inBlock = false;
    int number = 0;
    for (const std::string& line : chapter.Lines) {
      const std::string trimmed = Trim(line);
      if (!inBlock || trimmed.rfind("```", 0) == 0) {
        inBlock = !inBlock && trimmed == "```casm 完整程序";
        if (inBlock) blocks.push_back({chapterName + "_" + std::to_string(++number), {}, {}});
        continue;
      }
      blocks.back().Source += line + "\n";
      if (trimmed.rfind(kResultPrefix, 0) == 0) blocks.back().Results.push_back(trimmed.substr(kResultPrefix.size()));
    }
  }
  return blocks;
}

// A value as the reference writes it (decimal below 2^64, or up to 32 hexadecimal
// digits after "0H") as talvorun prints one: 32 hexadecimal digits. Empty for anything
// else.
std::string Hex32(std::string text) {
  const bool hex = text.rfind("0H", 0) == 0;
  if (hex) text.erase(0, 2);
  if (text.empty() || text.size() > (hex ? 32u : 19u) ||
      text.find_first_not_of(hex ? "0123456789ABCDEF" : "0123456789") != std::string::npos)
    return {};
  if (hex) return std::string(32 - text.size(), '0') + text;
  char digits[40];
  std::snprintf(digits, sizeof digits, "%032llX", std::stoull(text));
  return digits;
}

// A name talvorun prints: R0..R255 or a special register's.
bool IsRegisterName(const std::string& name) {
  for (int n = 0; n < isa::kSpecialRegisterCount; ++n)
    if (name == isa::kSpecialRegisterNames[n].English) return true;
  for (int n = 0; n < 256; ++n)
    if (name == "R" + std::to_string(n)) return true;
  return false;
}

// How talvorun shows a stated result "NAME = VALUE", NAME a register or "内存[ADDRESS]".
struct TShown {
  std::string Dump;   // the --dump it needs, for memory
  std::string Start;  // of the line that shows it
  std::string Line;   // the whole line; empty for a general register at zero, left out
};

std::optional<TShown> Shown(const std::string& result) {
  const size_t equals = result.find('=');
  const std::string name = Trim(result.substr(0, equals));
  const std::string value = equals == std::string::npos ? "" : Hex32(Trim(result.substr(equals + 1)));
  const std::string memory = "内存[";
  if (value.empty()) return std::nullopt;
  if (name.rfind(memory, 0) != 0) {
    if (!IsRegisterName(name)) return std::nullopt;
    const bool leftOut = name[0] == 'R' && value == std::string(32, '0');
    return TShown{"", name + " ", leftOut ? "" : name + " " + value};
  }
  const std::string address =
      name.back() == ']' ? Hex32(name.substr(memory.size(), name.size() - memory.size() - 1)) : "";
  if (address.empty()) return std::nullopt;
  TShown shown{std::to_string(std::stoull(address, nullptr, 16)) + ":16", "mem " + address.substr(24) + ":", ""};
  shown.Line = shown.Start;
  // The lowest address holds the lowest byte.
  for (int byte = 15; byte >= 0; --byte) shown.Line += " " + value.substr(2 * byte, 2);
  return shown;
}

TEST(ReferencePrograms, TheReferenceHoldsCompletePrograms) { EXPECT_GE(CompletePrograms().size(), 5u); }

class ReferenceProgramTest : public ::testing::TestWithParam<TProgramBlock> {};

TEST_P(ReferenceProgramTest, BuildsRunsAndEndsAsItStates) {
  const TProgramBlock& block = GetParam();
  ASSERT_FALSE(block.Results.empty()) << "a complete program states its result";
  std::vector<TShown> results;
  for (const std::string& result : block.Results) {
    const std::optional<TShown> shown = Shown(result);
    ASSERT_TRUE(shown) << "a result line that does not read: " << result;
    results.push_back(*shown);
  }
  TScratchFolder scratch;
  std::string image;
  ASSERT_TRUE(BuildImage(scratch, block.Source, image));
  std::vector<std::string> arguments = {kTalvorun, "--steps", kStepLimit};
  for (const TShown& result : results)
    if (!result.Dump.empty()) arguments.insert(arguments.end(), {"--dump", result.Dump});
  arguments.push_back(image);
  const TToolOutput ran = RunTool(arguments);
  ASSERT_EQ(ran.Exit, 0) << ran.Text;

  const auto lineOf = [&](const std::string& start) { return PrintedLine(ran.Text, start); };
  EXPECT_EQ(lineOf("stop "), "stop failed") << "every complete program ends on a failing step";
  for (size_t i = 0; i < results.size(); ++i) EXPECT_EQ(lineOf(results[i].Start), results[i].Line) << block.Results[i];
}

INSTANTIATE_TEST_SUITE_P(Reference, ReferenceProgramTest, ::testing::ValuesIn(CompletePrograms()),
                         [](const ::testing::TestParamInfo<TProgramBlock>& info) {
                           return ::testing::PrintToString(info.param);
                         });

}  // namespace
