#include "toolchain/encoders.h"

#include <string_view>

#include "isa/instruction_set.h"
#include "toolchain/operands.h"

namespace {

void ClearImmediate(TAsmPassState& state) {
  for (int i = 1; i < 5; ++i) state.EncodedWords[i] = 0;
}

}  // namespace

int32_t ParseRegisterOperands(const TAsmPassState& state, int count, int32_t* regs) {
  for (int i = 0; i < count; ++i) regs[i] = ParseRegister(state.OperandText[i]);
  for (int i = 0; i < count; ++i) {
    if (regs[i] < 0) return -(i + 1);
  }
  return 0;
}

int32_t EncodeGET(TAsmPassState& state) {
  const int32_t special = ParseSpecialRegister(state.OperandText[1]);
  const int32_t reg = ParseRegister(state.OperandText[0]);
  if (special < 0) return -2;
  if (reg < 0) return -1;
  state.EncodedWords[0] = ComposeWord(isa::Get, 0, reg, special);
  return 1;
}

int32_t EncodeSET(TAsmPassState& state) {
  const int32_t special = ParseSpecialRegister(state.OperandText[0]);
  const int32_t reg = ParseRegister(state.OperandText[1]);
  if (special < 0) return -1;
  if (reg < 0) return -2;
  state.EncodedWords[0] = ComposeWord(isa::Set, 0, special, reg);
  return 1;
}

int32_t EncodeLD(TAsmPassState& state) {
  const int32_t reg = ParseRegister(state.OperandText[0]);
  if (reg < 0) return -1;
  state.EncodedWords[0] = ComposeWord(isa::Ld, reg, 0, 0);
  ClearImmediate(state);
  const std::string_view value = state.OperandText[1];
  uint32_t* immediate = &state.EncodedWords[1];
  if (value.substr(0, 2) == "0H") {
    HexToInt128(value.substr(2), immediate);
  } else if (DecToInt128(value, immediate) != 0 &&
             AddLabelRef(value, state.OperandText[2], state.CurLineAddr, state.CurOpLines) != 0) {
    return -2;
  }
  return 5;
}

int32_t EncodeFUNC(TAsmPassState& state) {
  state.EncodedWords[0] = ComposeWord(isa::Func, 0, 0, 0);
  ClearImmediate(state);
  if (AddFuncLabelRef(state.OperandText[0], state.CurLineAddr, state.CurOpLines) != 0) return -1;
  return 5;
}
