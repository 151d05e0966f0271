// The reference's tables of instructions, special registers, flag bits and ports say
// what isa/ and the machine's default port table say: every instruction form with both
// mnemonics, its opcode, operand count and length; every special register with both
// names; every flag at its bit; every port at its default. A row missing, added or
// given other values fails, and the message names it.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "base/gbk_convert.h"
#include "isa/instruction_set.h"
#include "isa/special_registers.h"
#include "machine/port_table.h"
#include "reference_text.h"

namespace {

using TRows = std::multiset<std::string>;
using TCellReading = std::function<std::string(size_t column, const std::string& cell)>;

std::string Row(const std::vector<std::string>& cells) {
  std::string row;
  for (const std::string& cell : cells) row += (row.empty() ? "" : " | ") + cell;
  return row;
}

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

// The given columns of the body rows of the table right after "<!-- check: NAME -->",
// each cell without backticks and read by `read`; a row too short for them keeps "?"
// in their place, so it shows as a difference.
TRows ReferenceRows(const std::string& table, const std::vector<size_t>& columns, const TCellReading& read = nullptr) {
  TRows rows;
  for (const TChapter& chapter : ReadReference()) {
    const std::string marker = "<!-- check: " + table + " -->";
    auto line = std::find_if(chapter.Lines.begin(), chapter.Lines.end(), [&](auto& l) { return Trim(l) == marker; });
    if (line == chapter.Lines.end()) continue;
    // Past the heading row and the row under it.
    for (line += std::min<ptrdiff_t>(3, chapter.Lines.end() - line); line != chapter.Lines.end(); ++line) {
      std::string text = Trim(*line);
      if (text.size() < 2 || text.front() != '|') break;
      text.erase(std::remove(text.begin(), text.end(), '`'), text.end());
      std::vector<std::string> cells;
      std::istringstream split(text.substr(1, text.size() - 2));
      for (std::string cell; std::getline(split, cell, '|');) cells.push_back(Trim(cell));
      std::vector<std::string> wanted;
      for (const size_t c : columns) wanted.push_back(c >= cells.size() ? "?" : read ? read(c, cells[c]) : cells[c]);
      rows.insert(Row(wanted));
    }
  }
  return rows;
}

// The rows one side has and the other lacks, one per line.
std::string Lacking(TRows rows, const TRows& other) {
  for (const std::string& row : other)
    if (const auto at = rows.find(row); at != rows.end()) rows.erase(at);
  std::string lines;
  for (const std::string& row : rows) lines += "  " + row + "\n";
  return lines;
}

void ExpectSameRows(const TRows& kit, const TRows& reference) {
  EXPECT_EQ(Lacking(kit, reference), "") << "in the kit, missing from the reference or given otherwise";
  EXPECT_EQ(Lacking(reference, kit), "") << "in the reference, not in the kit";
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

}  // namespace
