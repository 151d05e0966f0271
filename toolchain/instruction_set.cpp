#include "toolchain/instruction_set.h"

#include <array>
#include <unordered_map>

#include "toolchain/gbk_texts.h"

namespace {

constexpr int32_t kReg = 1;
constexpr int32_t kValue = 2;
constexpr int32_t kSpecial = 3;
constexpr int32_t kLabel = 4;

}  // namespace

#define TALVO_INSTR(english, chinese, count, k1, k2, k3, opcode, encoder) \
  {english, count, k1, k2, k3, 0, 0, opcode, encoder},                  \
      {chinese, count, k1, k2, k3, 0, 0, opcode, encoder}

const STAlvo128 InstrTable[] = {
    TALVO_INSTR("COPY", gbk::kMnemonicCopy, 2, kReg, kReg, 0, 0x01, EncodeCOPY),
    TALVO_INSTR("LD", gbk::kMnemonicLd, 2, kReg, kValue, 0, 0x80, EncodeLD),
    TALVO_INSTR("Nop", gbk::kMnemonicNop, 0, 0, 0, 0, 0x00, EncodeNop),
    TALVO_INSTR("MM", gbk::kMnemonicMm, 3, kReg, kReg, kReg, 0x02, EncodeMM),
    TALVO_INSTR("MR", gbk::kMnemonicMr, 3, kReg, kReg, kReg, 0x03, EncodeMR),
    TALVO_INSTR("RM", gbk::kMnemonicRm, 3, kReg, kReg, kReg, 0x04, EncodeRM),
    TALVO_INSTR("GET", gbk::kMnemonicGet, 2, kReg, kSpecial, 0, 0x05, EncodeGET),
    TALVO_INSTR("SET", gbk::kMnemonicSet, 2, kSpecial, kReg, 0, 0x06, EncodeSET),
    TALVO_INSTR("ADD", gbk::kMnemonicAdd, 3, kReg, kReg, kReg, 0x08, EncodeADD),
    TALVO_INSTR("SUB", gbk::kMnemonicSub, 3, kReg, kReg, kReg, 0x09, EncodeSUB),
    TALVO_INSTR("MUL", gbk::kMnemonicMul, 3, kReg, kReg, kReg, 0x0A, EncodeMUL),
    TALVO_INSTR("DIV", gbk::kMnemonicDiv, 3, kReg, kReg, kReg, 0x0B, EncodeDIV),
    TALVO_INSTR("SETF", gbk::kMnemonicSetf, 1, kReg, 0, 0, 0x0C, EncodeSETF),
    TALVO_INSTR("ZERO", gbk::kMnemonicZero, 1, kReg, 0, 0, 0x0D, EncodeZERO),
    TALVO_INSTR("INC", gbk::kMnemonicInc, 2, kReg, kReg, 0, 0x0E, EncodeINC),
    TALVO_INSTR("DEC", gbk::kMnemonicDec, 2, kReg, kReg, 0, 0x0F, EncodeDEC),
    TALVO_INSTR("AND", gbk::kMnemonicAnd, 3, kReg, kReg, kReg, 0x20, EncodeAND),
    TALVO_INSTR("OR", gbk::kMnemonicOr, 3, kReg, kReg, kReg, 0x21, EncodeOR),
    TALVO_INSTR("XOR", gbk::kMnemonicXor, 3, kReg, kReg, kReg, 0x22, EncodeXOR),
    TALVO_INSTR("NOT", gbk::kMnemonicNot, 2, kReg, kReg, 0, 0x23, EncodeNOT),
    TALVO_INSTR("CMP", gbk::kMnemonicCmp, 2, kReg, kReg, 0, 0x10, EncodeCMP),
    TALVO_INSTR("JMP", gbk::kMnemonicJmp, 2, kReg, kReg, 0, 0x11, EncodeJMP),
    TALVO_INSTR("JQ", gbk::kMnemonicJq, 2, kReg, kReg, 0, 0x12, EncodeJQ),
    TALVO_INSTR("JNQ", gbk::kMnemonicJnq, 2, kReg, kReg, 0, 0x13, EncodeJNQ),
    TALVO_INSTR("JL", gbk::kMnemonicJl, 2, kReg, kReg, 0, 0x14, EncodeJL),
    TALVO_INSTR("JG", gbk::kMnemonicJg, 2, kReg, kReg, 0, 0x15, EncodeJG),
    TALVO_INSTR("PUSH", gbk::kMnemonicPush, 1, kReg, 0, 0, 0x60, EncodePUSH),
    TALVO_INSTR("POP", gbk::kMnemonicPop, 1, kReg, 0, 0, 0x61, EncodePOP),
    TALVO_INSTR("LL", gbk::kMnemonicLl, 3, kReg, kReg, kReg, 0x42, EncodeLL),
    TALVO_INSTR("RR", gbk::kMnemonicRr, 3, kReg, kReg, kReg, 0x43, EncodeRR),
    TALVO_INSTR("CALL", gbk::kMnemonicCall, 2, kReg, kReg, 0, 0x30, EncodeCALL),
    TALVO_INSTR("RET", gbk::kMnemonicRet, 0, 0, 0, 0, 0x31, EncodeRET),
    TALVO_INSTR("INT", gbk::kMnemonicInt, 1, kReg, 0, 0, 0x32, EncodeINT),
    TALVO_INSTR("IRET", gbk::kMnemonicIret, 0, 0, 0, 0, 0x33, EncodeIRET),
    TALVO_INSTR("IN", gbk::kMnemonicIn, 2, kReg, kReg, 0, 0x50, EncodeIN),
    TALVO_INSTR("OUT", gbk::kMnemonicOut, 2, kReg, kReg, 0, 0x51, EncodeOUT),
    TALVO_INSTR("DMA", gbk::kMnemonicDma, 3, kReg, kReg, kReg, 0x52, EncodeDMA),
    TALVO_INSTR("LD", gbk::kMnemonicLd, 3, kReg, kValue, kLabel, 0x80, EncodeLD),
    TALVO_INSTR("FUNC", gbk::kMnemonicFunc, 1, kLabel, 0, 0, 0x34, EncodeFUNC),
};

#undef TALVO_INSTR

const size_t InstrTableSize = std::size(InstrTable);

const STAlvo128* FindInstruction(std::string_view mnemonic, int32_t operandCount) {
  constexpr int32_t kMaxCount = 3;
  using TByCount = std::array<const STAlvo128*, kMaxCount + 1>;
  // Built once; each name and count keeps the first entry that has them, as a scan
  // of the table from the top would find.
  static const auto index = [] {
    std::unordered_map<std::string_view, TByCount> map;
    for (const STAlvo128& entry : InstrTable) {
      const STAlvo128*& slot = map[entry.Name][static_cast<size_t>(entry.OperandCount)];
      if (slot == nullptr) slot = &entry;
    }
    return map;
  }();
  if (operandCount < 0 || operandCount > kMaxCount) return nullptr;
  const auto found = index.find(mnemonic);
  return found == index.end() ? nullptr : found->second[static_cast<size_t>(operandCount)];
}
