#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "isa/instruction_set.h"
#include "toolchain/instruction_set.h"
#include "toolchain/operands.h"

namespace {

// Encodes one line the way pass 1 does; the result is the encoder's, or 100 when
// no table entry matches.
struct Encoded {
  int32_t Result = 100;
  std::vector<uint32_t> Words;
};

Encoded Encode(const std::string& mnemonic, const std::vector<std::string>& operands,
               TCList<TLineSym>* refs = nullptr, int32_t lineAddr = 0) {
  TAsmPassState state;
  state.Reset(refs);
  state.CurLineAddr = lineAddr;
  for (size_t i = 0; i < operands.size(); ++i) state.OperandText[i] = operands[i];
  Encoded encoded;
  const STAlvo128* entry = FindInstruction(mnemonic, static_cast<int32_t>(operands.size()));
  if (entry == nullptr) return encoded;
  encoded.Result = entry->Encoder(state);
  for (int32_t i = 0; i < encoded.Result; ++i) encoded.Words.push_back(state.EncodedWords[i]);
  return encoded;
}

std::vector<uint32_t> WordsOf(const std::string& mnemonic, const std::vector<std::string>& ops) {
  return Encode(mnemonic, ops).Words;
}

TEST(Encoders, WorkedEncodings) {
  EXPECT_EQ(WordsOf("ADD", {"R1", "R2", "R3"}), (std::vector<uint32_t>{0x08010203}));
  EXPECT_EQ(WordsOf(isa::FormOf(isa::Add)->Chinese, {"R1", "R2", "R3"}), (std::vector<uint32_t>{0x08010203}));
  EXPECT_EQ(WordsOf("COPY", {"R1", "R2"}), (std::vector<uint32_t>{0x01000102}));
  EXPECT_EQ(WordsOf("PUSH", {"R7"}), (std::vector<uint32_t>{0x60000007}));
  EXPECT_EQ(WordsOf("INT", {"R33"}), (std::vector<uint32_t>{0x32000021}));
  EXPECT_EQ(WordsOf("GET", {"R1", "PSW"}), (std::vector<uint32_t>{0x05000106}));
  EXPECT_EQ(WordsOf("SET", {"SP", "R3"}), (std::vector<uint32_t>{0x06000903}));
  EXPECT_EQ(WordsOf("RET", {}), (std::vector<uint32_t>{0x31000000}));
  EXPECT_EQ(WordsOf("IRET", {}), (std::vector<uint32_t>{0x33000000}));
  EXPECT_EQ(WordsOf("Nop", {}), (std::vector<uint32_t>{0x00000000}));
  EXPECT_EQ(WordsOf("LD", {"R2", "10"}), (std::vector<uint32_t>{0x80020000, 10, 0, 0, 0}));
  EXPECT_EQ(WordsOf("LD", {"R2", "0H1F"}), (std::vector<uint32_t>{0x80020000, 0x1F, 0, 0, 0}));
  EXPECT_EQ(WordsOf("LD", {"R1", "5", "x"}), WordsOf("LD", {"R1", "5"}));
}

TEST(Encoders, EnglishAndChineseEntriesAgree) {
  ASSERT_EQ(InstrTableSize, 78u);
  for (size_t i = 0; i < InstrTableSize; i += 2) {
    const STAlvo128& english = InstrTable[i];
    const STAlvo128& chinese = InstrTable[i + 1];
    EXPECT_EQ(english.OperandCount, chinese.OperandCount) << english.Name;
    EXPECT_EQ(english.Encoder, chinese.Encoder) << english.Name;
    EXPECT_EQ(FindInstruction(chinese.Name, chinese.OperandCount), &chinese) << english.Name;
    const std::vector<std::string> ops(static_cast<size_t>(english.OperandCount), "R9");
    const Encoded encoded = Encode(english.Name, ops);
    if (encoded.Result > 0) {
      EXPECT_EQ(encoded.Words[0] >> 24, static_cast<uint32_t>(english.Opcode));
    }
  }
}

TEST(Encoders, RejectedOperands) {
  EXPECT_EQ(Encode("GET", {"R1", "XX"}).Result, -2);
  EXPECT_EQ(Encode("GET", {"YY", "PSW"}).Result, -1);
  EXPECT_EQ(Encode("GET", {"YY", "XX"}).Result, -2);
  EXPECT_EQ(Encode("SET", {"XX", "YY"}).Result, -1);
  EXPECT_EQ(Encode("SET", {"SP", "YY"}).Result, -2);
  EXPECT_EQ(Encode("MM", {"R1", "X", "Y"}).Result, -2);
  EXPECT_EQ(Encode("ADD", {"R1", "R2", "R256"}).Result, -3);
  EXPECT_EQ(Encode("LD", {"PSW", "5"}).Result, -1);
  EXPECT_EQ(Encode("LD", {"R1", "0h1F"}).Result, -2);
  EXPECT_EQ(Encode("LD", {"R1", std::string(129, '1')}).Result, -2);
}

TEST(Encoders, LabelFormsRecordOneReference) {
  TCList<TLineSym> refs;
  EXPECT_EQ(Encode("LD", {"R2", "OFFSET", "start"}, &refs, 40).Words,
            (std::vector<uint32_t>{0x80020000, 0, 0, 0, 0}));
  // FUNC's immediate is zero whatever the encoder wrote before.
  EXPECT_EQ(Encode("FUNC", {"go"}, &refs, 60).Words,
            (std::vector<uint32_t>{0x34000000, 0, 0, 0, 0}));
  EXPECT_EQ(Encode("LD", {"R2", "LABEL"}, &refs, 80).Result, 5);
  EXPECT_EQ(Encode("FUNC", {"go"}, nullptr).Result, -1);
  ASSERT_EQ(refs.Count, 3);
  EXPECT_EQ(refs.Item(0)->Value.SymName, "start");
  EXPECT_EQ(refs.Item(0)->Value.CodeCount, RefKindOffset);
  EXPECT_EQ(refs.Item(0)->Value.Offset[0], 40u);
  EXPECT_EQ(refs.Item(1)->Value.CodeCount, RefKindLabel);
  EXPECT_EQ(refs.Item(1)->Value.LineNum, 60);
  EXPECT_EQ(refs.Item(2)->Value.SymName, "");
}

}  // namespace
