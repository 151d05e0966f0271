#pragma once
// What pass 1 and the instruction encoders share while one source is assembled:
// the operand texts of the line being encoded, the words the encoder produced, the
// instruction counter that labels copy, and where references go.

#include <cstdint>
#include <string_view>

#include "toolchain/line_sym.h"
#include "toolchain/tclist.h"

constexpr int kMaxOperands = 5;

struct TAsmPassState {
  // Operand 1 first, missing operands empty; views into the line being encoded.
  std::string_view OperandText[kMaxOperands];
  uint32_t EncodedWords[5] = {};          // instruction word, then the 128-bit immediate
  uint32_t CodeOffset[4] = {};            // instruction counter, word 0 least significant
  uint32_t CodeSegment[4] = {};
  int32_t CurLineAddr = 0;                // byte address of the instruction being encoded
  TCList<TLineSym>* CurOpLines = nullptr;  // where label references are recorded

  void Reset(TCList<TLineSym>* opLines) {
    *this = TAsmPassState{};
    CurOpLines = opLines;
  }
};
