#include "toolchain/instruction_set.h"

#include <array>
#include <unordered_map>

#include "isa/instruction_set.h"

namespace {

using isa::Shape;

// Descriptive operand kinds: 1 register, 2 value or keyword, 3 special register, 4 label.
struct TKinds {
  int32_t K1, K2, K3;
};

constexpr TKinds KindsOf(Shape shape) {
  switch (shape) {
    case Shape::R3: return {1, 1, 1};
    case Shape::R2: return {1, 1, 0};
    case Shape::R1: return {1, 0, 0};
    case Shape::None: return {0, 0, 0};
    case Shape::Get: return {1, 3, 0};
    case Shape::Set: return {3, 1, 0};
    case Shape::Ld: return {1, 2, 0};
    case Shape::LdLabel: return {1, 2, 4};
    case Shape::Func: return {4, 0, 0};
  }
  return {0, 0, 0};
}

template <uint8_t Opcode, Shape S>
constexpr TEncoder EncoderOf() {
  if constexpr (S == Shape::R3) return &EncodeThreeRegisters<Opcode>;
  else if constexpr (S == Shape::R2) return &EncodeTwoRegisters<Opcode>;
  else if constexpr (S == Shape::R1) return &EncodeOneRegister<Opcode>;
  else if constexpr (S == Shape::None) return &EncodeNoOperand<Opcode>;
  else if constexpr (S == Shape::Get) return &EncodeGET;
  else if constexpr (S == Shape::Set) return &EncodeSET;
  else if constexpr (S == Shape::Func) return &EncodeFUNC;
  else return &EncodeLD;
}

constexpr STAlvo128 Entry(const char* name, uint8_t opcode, Shape shape, TEncoder encoder) {
  const TKinds kinds = KindsOf(shape);
  return {name, isa::OperandCount(shape), kinds.K1, kinds.K2, kinds.K3, 0, 0, opcode, encoder};
}

}  // namespace

// The English entry of each form at an even index, the Chinese one after it.
const STAlvo128 InstrTable[] = {
#define TALVO_TABLE_ENTRIES(name, english, chinese, opcode, shape, destination)          \
  Entry(english, opcode, Shape::shape, EncoderOf<opcode, Shape::shape>()),              \
      Entry(chinese, opcode, Shape::shape, EncoderOf<opcode, Shape::shape>()),
    TALVO_ISA_FORMS(TALVO_TABLE_ENTRIES)
#undef TALVO_TABLE_ENTRIES
};

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
