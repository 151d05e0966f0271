// The reference's tables of instructions, special registers, flag bits and ports say
// what isa/ and the machine's default port table say: every instruction form with both
// mnemonics, its opcode, operand count and length; every special register with both
// names; every flag at its bit; every port at its default. A row missing, added or
// given other values fails, and the message names it.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "base/gbk_convert.h"
#include "isa/instruction_set.h"
#include "isa/special_registers.h"
#include "machine/port_table.h"
#include "reference_text.h"

namespace {

using TKeys = std::multiset<std::string>;

std::string Join(const std::vector<std::string>& parts) {
  std::string key;
  for (const std::string& part : parts) key += (key.empty() ? "" : " | ") + part;
  return key;
}

std::string Hex2(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", value);
  return text;
}

// The keys one side has and the other lacks, one per line.
std::string Difference(const TKeys& from, const TKeys& without) {
  TKeys rest = from;
  for (const std::string& key : without)
    if (const auto at = rest.find(key); at != rest.end()) rest.erase(at);
  std::string lines;
  for (const std::string& key : rest) lines += "  " + key + "\n";
  return lines;
}

void ExpectSameRows(const TKeys& kit, const TKeys& reference) {
  EXPECT_EQ(Difference(kit, reference), "") << "in the kit, missing from the reference or given otherwise";
  EXPECT_EQ(Difference(reference, kit), "") << "in the reference, not in the kit";
}

// The rows of a checked table as keys of the given columns; a row too short for them
// is a key of its own, so it shows as a difference.
TKeys TableKeys(const std::string& table, const std::vector<size_t>& columns,
                std::string (*cell)(size_t, const std::string&)) {
  TKeys keys;
  for (const std::vector<std::string>& row : CheckedTable(table)) {
    std::vector<std::string> parts;
    for (const size_t column : columns) parts.push_back(column < row.size() ? cell(column, row[column]) : "?");
    keys.insert(Join(parts));
  }
  return keys;
}

std::string AsWritten(size_t, const std::string& text) { return text; }

int CountOperands(const std::string& text) {
  if (text == "—" || text == "-" || text.empty()) return 0;
  std::istringstream words(text);
  int count = 0;
  for (std::string word; words >> word;) ++count;
  return count;
}

TEST(ReferenceTables, EveryInstructionFormIsListedWithItsMnemonicsOpcodeOperandsAndLength) {
  TKeys kit;
  for (const isa::Form& form : isa::kForms) {
    const int words = (isa::kWordBytes + isa::ImmediateBytes(form.OperandShape)) / isa::kWordBytes;
    kit.insert(Join({form.English, GbkToUtf8(form.Chinese), Hex2(form.Code),
                     std::to_string(isa::OperandCount(form.OperandShape)), std::to_string(words)}));
  }
  // Columns: English, Chinese, opcode, operands (counted), words.
  const TKeys reference = TableKeys("instructions", {0, 1, 2, 3, 4}, [](size_t column, const std::string& text) {
    return column == 3 ? std::to_string(CountOperands(text)) : text;
  });
  ExpectSameRows(kit, reference);
}

TEST(ReferenceTables, EverySpecialRegisterIsListedByNumberWithBothNames) {
  TKeys kit;
  for (int n = 0; n < isa::kSpecialRegisterCount; ++n)
    kit.insert(Join({std::to_string(n), isa::kSpecialRegisterNames[n].English,
                     GbkToUtf8(isa::kSpecialRegisterNames[n].Chinese)}));
  ExpectSameRows(kit, TableKeys("special-registers", {0, 1, 2}, AsWritten));
}

TEST(ReferenceTables, EveryFlagIsListedAtItsBitWithItsValue) {
  struct TFlag {
    const char* Register;
    int Bit;
    const char* Name;
  };
  const TFlag flags[] = {{"PSW", isa::kCarryBit, "carry"},   {"PSW", isa::kBorrowBit, "borrow"},
                         {"PSW", isa::kLessBit, "less"},     {"PSW", isa::kEqualBit, "equal"},
                         {"PSW", isa::kGreaterBit, "greater"}, {"ICW", isa::kInterruptEnableBit, "interrupt enable"}};
  TKeys kit;
  for (const TFlag& flag : flags) {
    std::string value(32, '0');
    value[31 - flag.Bit / 4] = "1248"[flag.Bit % 4];
    kit.insert(Join({flag.Register, std::to_string(flag.Bit), flag.Name, "0H" + value}));
  }
  // The flag's cell names it in Chinese and English: the English words are compared.
  const TKeys reference = TableKeys("flags", {0, 1, 2, 3}, [](size_t column, const std::string& text) {
    if (column != 2) return text;
    std::string english;
    for (const char c : text)
      if ((c >= 'a' && c <= 'z') || c == ' ') english += c;
    const size_t first = english.find_first_not_of(' ');
    const size_t last = english.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : english.substr(first, last - first + 1);
  });
  ExpectSameRows(kit, reference);
}

TEST(ReferenceTables, EveryPortOfTheTableIsListedWithItsDefault) {
  TKeys kit;
  const TPortTable defaults = DefaultPortTable();
  for (size_t entry = 0; entry < defaults.size(); ++entry)
    kit.insert(Join({std::to_string(entry), Hex2(static_cast<unsigned>(defaults[entry]))}));
  ExpectSameRows(kit, TableKeys("ports", {0, 3}, AsWritten));
}

}  // namespace
