#pragma once
// The operation buttons of the register-operation test window "TALVO128寄存器操作":
// which edits each reads, which instruction field each number stands in, what is
// shown afterwards and the failure text.

#include <cstdint>

enum class TRegOp : uint8_t {
  Add, Sub, Mul, Div,
  // page "CPU指令"
  Copy, MM, MR, Nop, Get, Set, SetF, Zero, Inc, Dec, And, Or, Xor, Not, LL, RR,
  // page "CPU跳转等高级指令"
  Cmp, Jmp, JQ, JNQ, JL, JG, Push, Pop, Call, Ret, Int, IRet, DMA, In, Out,
  Count
};

// The edit whose number stands in an instruction field.
enum class TOpEdit : uint8_t { None, Op1, Op2, Res };

// What the window shows after the operation succeeded.
enum class TOpShow : uint8_t { Nothing, RegisterRes, RegisterOp1, MemoryAtRes, SpecialRes };

struct TRegOpRow {
  const char* Button;   // component name, e.g. "BtnAdd"
  const char* Caption;  // UTF-8, for the button
  bool ReadsOp1, ReadsOp2, ReadsRes;
  TOpEdit A, B, C;     // the instruction's operand fields
  TOpShow Show;
  const char* FailureText;  // GBK; empty for NOP, whose result is not looked at
};

const TRegOpRow& RegOpRow(TRegOp op);
