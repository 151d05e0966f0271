#pragma once
// The instruction table: every mnemonic in English and in Chinese (GBK) with its
// operand count, opcode and encoder. A line's mnemonic and operand count select the
// first entry that matches both exactly.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "toolchain/encoders.h"

struct STAlvo128 {
  const char* Name;
  int32_t OperandCount;
  int32_t Kind1, Kind2, Kind3, Kind4, Kind5;  // descriptive only: 1 register, 2 value
                                              // or keyword, 3 special register, 4 label
  int32_t Opcode;
  TEncoder Encoder;
};

// The 78 instruction entries, English at even and Chinese at odd indexes.
extern const STAlvo128 InstrTable[];
extern const size_t InstrTableSize;

// The first entry with this exact name and operand count, or null.
const STAlvo128* FindInstruction(std::string_view mnemonic, int32_t operandCount);
