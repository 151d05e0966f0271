#pragma once
// One encoder per instruction: it reads the operand texts of the pass state, writes
// the instruction word (and the 128-bit immediate of LD and FUNC) into its
// EncodedWords and gives the number of words (1 or 5), or -1, -2, -3 for the first
// operand it does not recognise. A failed encoder may leave EncodedWords partly
// written. A register operand whose number is not an integer throws EConvertError.

#include <cstdint>

#include "toolchain/pass_state.h"

using TEncoder = int32_t (*)(TAsmPassState&);

// The instruction word: opcode in bits 31-24, fields A, B, C below it.
inline uint32_t ComposeWord(uint32_t opcode, int32_t a, int32_t b, int32_t c) {
  return opcode << 24 | static_cast<uint32_t>(a) << 16 | static_cast<uint32_t>(b) << 8 |
         static_cast<uint32_t>(c);
}

// Parses the first `count` operands as general registers, all of them before any is
// judged, and gives the code of the first one not recognised, else 0.
int32_t ParseRegisterOperands(const TAsmPassState& state, int count, int32_t* regs);

// Encoders of the common operand shapes, one instantiation per opcode.
template <uint32_t Opcode>
int32_t EncodeThreeRegisters(TAsmPassState& state) {
  int32_t r[3];
  if (const int32_t bad = ParseRegisterOperands(state, 3, r)) return bad;
  state.EncodedWords[0] = ComposeWord(Opcode, r[0], r[1], r[2]);
  return 1;
}

template <uint32_t Opcode>
int32_t EncodeTwoRegisters(TAsmPassState& state) {
  int32_t r[2];
  if (const int32_t bad = ParseRegisterOperands(state, 2, r)) return bad;
  state.EncodedWords[0] = ComposeWord(Opcode, 0, r[0], r[1]);
  return 1;
}

template <uint32_t Opcode>
int32_t EncodeOneRegister(TAsmPassState& state) {
  int32_t r[1];
  if (const int32_t bad = ParseRegisterOperands(state, 1, r)) return bad;
  state.EncodedWords[0] = ComposeWord(Opcode, 0, 0, r[0]);
  return 1;
}

template <uint32_t Opcode>
int32_t EncodeNoOperand(TAsmPassState& state) {
  state.EncodedWords[0] = ComposeWord(Opcode, 0, 0, 0);
  return 1;
}

int32_t EncodeGET(TAsmPassState& state);
int32_t EncodeSET(TAsmPassState& state);
int32_t EncodeLD(TAsmPassState& state);
int32_t EncodeFUNC(TAsmPassState& state);
