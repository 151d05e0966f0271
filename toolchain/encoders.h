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

inline constexpr TEncoder EncodeCOPY = &EncodeTwoRegisters<0x01>;
inline constexpr TEncoder EncodeNop = &EncodeNoOperand<0x00>;
inline constexpr TEncoder EncodeMM = &EncodeThreeRegisters<0x02>;
inline constexpr TEncoder EncodeMR = &EncodeThreeRegisters<0x03>;
inline constexpr TEncoder EncodeRM = &EncodeThreeRegisters<0x04>;
inline constexpr TEncoder EncodeADD = &EncodeThreeRegisters<0x08>;
inline constexpr TEncoder EncodeSUB = &EncodeThreeRegisters<0x09>;
inline constexpr TEncoder EncodeMUL = &EncodeThreeRegisters<0x0A>;
inline constexpr TEncoder EncodeDIV = &EncodeThreeRegisters<0x0B>;
inline constexpr TEncoder EncodeSETF = &EncodeOneRegister<0x0C>;
inline constexpr TEncoder EncodeZERO = &EncodeOneRegister<0x0D>;
inline constexpr TEncoder EncodeINC = &EncodeTwoRegisters<0x0E>;
inline constexpr TEncoder EncodeDEC = &EncodeTwoRegisters<0x0F>;
inline constexpr TEncoder EncodeAND = &EncodeThreeRegisters<0x20>;
inline constexpr TEncoder EncodeOR = &EncodeThreeRegisters<0x21>;
inline constexpr TEncoder EncodeXOR = &EncodeThreeRegisters<0x22>;
inline constexpr TEncoder EncodeNOT = &EncodeTwoRegisters<0x23>;
inline constexpr TEncoder EncodeCMP = &EncodeTwoRegisters<0x10>;
inline constexpr TEncoder EncodeJMP = &EncodeTwoRegisters<0x11>;
inline constexpr TEncoder EncodeJQ = &EncodeTwoRegisters<0x12>;
inline constexpr TEncoder EncodeJNQ = &EncodeTwoRegisters<0x13>;
inline constexpr TEncoder EncodeJL = &EncodeTwoRegisters<0x14>;
inline constexpr TEncoder EncodeJG = &EncodeTwoRegisters<0x15>;
inline constexpr TEncoder EncodePUSH = &EncodeOneRegister<0x60>;
inline constexpr TEncoder EncodePOP = &EncodeOneRegister<0x61>;
inline constexpr TEncoder EncodeLL = &EncodeThreeRegisters<0x42>;
inline constexpr TEncoder EncodeRR = &EncodeThreeRegisters<0x43>;
inline constexpr TEncoder EncodeCALL = &EncodeTwoRegisters<0x30>;
inline constexpr TEncoder EncodeRET = &EncodeNoOperand<0x31>;
inline constexpr TEncoder EncodeINT = &EncodeOneRegister<0x32>;
inline constexpr TEncoder EncodeIRET = &EncodeNoOperand<0x33>;
inline constexpr TEncoder EncodeIN = &EncodeTwoRegisters<0x50>;
inline constexpr TEncoder EncodeOUT = &EncodeTwoRegisters<0x51>;
inline constexpr TEncoder EncodeDMA = &EncodeThreeRegisters<0x52>;
