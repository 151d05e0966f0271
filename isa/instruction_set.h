#pragma once
// The TALVO128 instruction set, written once: every form the assembler accepts, with
// its English and Chinese (GBK) mnemonic, its opcode and its operand shape. The
// assembler's table and encoders, the core's opcode names and the tests read it.
//
// A new instruction touches:
// - its line in TALVO_ISA_FORMS below, which is all the assembler needs for one of
//   the existing shapes;
// - machine/talvo_cpu.h, the declaration of its operation, with the body beside its
//   kin in machine/core_data_ops.cpp, core_flow_ops.cpp or core_port_ops.cpp;
// - machine/core_step.cpp, its case in ExecuteInstruction (an opcode without one
//   fails as an unknown word);
// - machine/core_run.cpp, its inline body and dispatch table entry when it is common
//   enough to pay; without them a run takes it through ExecuteInstruction;
// - fuzz/fuzz_core.cpp, WritesMemory, when it writes memory, and the random programs
//   of tests/machine/run_equivalence_test.cpp, RandomWord, when it needs operands
//   that keep a program going (an address, a jump offset, a port).
//
// Instruction word: opcode in bits 31-24, fields A, B, C in bits 23-16, 15-8, 7-0.
// LD and FUNC are followed by a 128-bit immediate, least significant byte first.

#include <cstdint>

namespace isa {

// How the operands of a source line fill the fields of the word (r = general
// register, s = special register number):
//   R3 r1 r2 r3 -> A B C      R2 r1 r2 -> B C        R1 r1 -> C       None
//   Get r1 s2 -> B C          Set s1 r2 -> B C
//   Ld r1 value -> A + immediate, LdLabel r1 keyword label -> A + immediate
//   Func label -> immediate
enum class Shape : uint8_t { R3, R2, R1, None, Get, Set, Ld, LdLabel, Func };

// The field of the word that names the register an instruction writes.
enum class Field : uint8_t { None, A, B, C };

// One line per assembler form, in the order of the assembler's table:
// X(name, English, Chinese GBK, opcode, shape, destination field).
// MUL and DIV also write the register after their destination.
#define TALVO_ISA_FORMS(X)                                                                                    \
  X(Copy, "COPY", "\xb8\xb4\xd6\xc6" /* 复制 */, 0x01, R2, C)                                                 \
  X(Ld, "LD", "\xb8\xb3\xd6\xb5" /* 赋值 */, 0x80, Ld, A)                                                     \
  X(Nop, "Nop", "\xbf\xd5\xd6\xb8\xc1\xee" /* 空指令 */, 0x00, None, None)                                    \
  X(MM, "MM", "\xc4\xda\xb4\xe6\xd6\xc1\xc4\xda\xb4\xe6" /* 内存至内存 */, 0x02, R3, None)                     \
  X(MR, "MR", "\xc4\xda\xb4\xe6\xd6\xc1\xbc\xc4\xb4\xe6\xc6\xf7" /* 内存至寄存器 */, 0x03, R3, A)               \
  X(RM, "RM", "\xbc\xc4\xb4\xe6\xc6\xf7\xd6\xc1\xc4\xda\xb4\xe6" /* 寄存器至内存 */, 0x04, R3, None)            \
  X(Get, "GET",                                                                                               \
    "\xcc\xd8\xca\xe2\xbc\xc4\xb4\xe6\xc6\xf7\xd6\xc1\xbc\xc4\xb4\xe6\xc6\xf7" /* 特殊寄存器至寄存器 */, 0x05,  \
    Get, B)                                                                                                   \
  X(Set, "SET",                                                                                               \
    "\xbc\xc4\xb4\xe6\xc6\xf7\xd6\xc1\xcc\xd8\xca\xe2\xbc\xc4\xb4\xe6\xc6\xf7" /* 寄存器至特殊寄存器 */, 0x06,  \
    Set, None)                                                                                                \
  X(Add, "ADD", "\xbc\xd3\xb7\xa8" /* 加法 */, 0x08, R3, A)                                                   \
  X(Sub, "SUB", "\xbc\xf5\xb7\xa8" /* 减法 */, 0x09, R3, A)                                                   \
  X(Mul, "MUL", "\xb3\xcb\xb7\xa8" /* 乘法 */, 0x0A, R3, A)                                                   \
  X(Div, "DIV", "\xb3\xfd\xb7\xa8" /* 除法 */, 0x0B, R3, A)                                                   \
  X(SetF, "SETF", "\xd6\xc3\xd2\xbb" /* 置一 */, 0x0C, R1, C)                                                 \
  X(Zero, "ZERO", "\xd6\xc3\xc1\xe3" /* 置零 */, 0x0D, R1, C)                                                 \
  X(Inc, "INC", "\xd7\xd4\xd4\xf6\xd2\xbb" /* 自增一 */, 0x0E, R2, B)                                         \
  X(Dec, "DEC", "\xd7\xd4\xbc\xf5\xd2\xbb" /* 自减一 */, 0x0F, R2, B)                                         \
  X(And, "AND", "\xd3\xeb" /* 与 */, 0x20, R3, A)                                                             \
  X(Or, "OR", "\xbb\xf2" /* 或 */, 0x21, R3, A)                                                               \
  X(Xor, "XOR", "\xd2\xec\xbb\xf2" /* 异或 */, 0x22, R3, A)                                                   \
  X(Not, "NOT", "\xb7\xc7" /* 非 */, 0x23, R2, B)                                                             \
  X(Cmp, "CMP", "\xb1\xc8\xbd\xcf" /* 比较 */, 0x10, R2, None)                                                \
  X(Jmp, "JMP", "\xcc\xf8\xd7\xaa" /* 跳转 */, 0x11, R2, None)                                                \
  X(JQ, "JQ", "\xcf\xe0\xb5\xc8\xd4\xf2\xcc\xf8\xd7\xaa" /* 相等则跳转 */, 0x12, R2, None)                     \
  X(JNQ, "JNQ", "\xb2\xbb\xb5\xc8\xd4\xf2\xcc\xf8\xd7\xaa" /* 不等则跳转 */, 0x13, R2, None)                   \
  X(JL, "JL", "\xd0\xa1\xd3\xda\xd4\xf2\xcc\xf8\xd7\xaa" /* 小于则跳转 */, 0x14, R2, None)                     \
  X(JG, "JG", "\xb4\xf3\xd3\xda\xd4\xf2\xcc\xf8\xd7\xaa" /* 大于则跳转 */, 0x15, R2, None)                     \
  X(Push, "PUSH", "\xd1\xb9\xd5\xbb" /* 压栈 */, 0x60, R1, None)                                              \
  X(Pop, "POP", "\xb3\xf6\xd5\xbb" /* 出栈 */, 0x61, R1, C)                                                   \
  X(LL, "LL", "\xd7\xf3\xd2\xc6" /* 左移 */, 0x42, R3, A)                                                     \
  X(RR, "RR", "\xd3\xd2\xd2\xc6" /* 右移 */, 0x43, R3, A)                                                     \
  X(Call, "CALL", "\xb5\xf7\xd3\xc3" /* 调用 */, 0x30, R2, None)                                              \
  X(Ret, "RET", "\xb7\xb5\xbb\xd8" /* 返回 */, 0x31, None, None)                                              \
  X(Int, "INT", "\xb5\xf7\xd3\xc3\xd6\xd0\xb6\xcf" /* 调用中断 */, 0x32, R1, None)                            \
  X(IRet, "IRET", "\xd6\xd0\xb6\xcf\xb7\xb5\xbb\xd8" /* 中断返回 */, 0x33, None, None)                        \
  X(In, "IN", "\xca\xe4\xc8\xeb" /* 输入 */, 0x50, R2, C)                                                     \
  X(Out, "OUT", "\xca\xe4\xb3\xf6" /* 输出 */, 0x51, R2, None)                                                \
  X(Dma, "DMA", "\xd6\xb1\xbd\xd3\xca\xfd\xbe\xdd\xb8\xb4\xd6\xc6" /* 直接数据复制 */, 0x52, R3, None)        \
  X(LdLabel, "LD", "\xb8\xb3\xd6\xb5" /* 赋值 */, 0x80, LdLabel, A)                                           \
  X(Func, "FUNC", "\xd7\xd3\xb3\xcc\xd0\xf2" /* 子程序 */, 0x34, Func, None)

// The opcode of each form by name: isa::Add, isa::Jnq, ... (LD and its label form
// share one opcode).
enum Opcode : uint8_t {
#define TALVO_ISA_OPCODE(name, english, chinese, opcode, shape, destination) name = opcode,
  TALVO_ISA_FORMS(TALVO_ISA_OPCODE)
#undef TALVO_ISA_OPCODE
};

struct Form {
  const char* English;
  const char* Chinese;
  uint8_t Code;
  Shape OperandShape;
  Field Destination;
};

inline constexpr Form kForms[] = {
#define TALVO_ISA_FORM(name, english, chinese, opcode, shape, destination) \
  {english, chinese, opcode, Shape::shape, Field::destination},
    TALVO_ISA_FORMS(TALVO_ISA_FORM)
#undef TALVO_ISA_FORM
};

constexpr int OperandCount(Shape shape) {
  switch (shape) {
    case Shape::R3:
    case Shape::LdLabel: return 3;
    case Shape::R2:
    case Shape::Get:
    case Shape::Set:
    case Shape::Ld: return 2;
    case Shape::R1:
    case Shape::Func: return 1;
    case Shape::None: return 0;
  }
  return 0;
}

constexpr int ImmediateBytes(Shape shape) {
  return shape == Shape::Ld || shape == Shape::LdLabel || shape == Shape::Func ? 16 : 0;
}

inline constexpr int kWordBytes = 4;
inline constexpr int kLongInstructionBytes = kWordBytes + 16;

// The form that first carries the opcode, or null: the opcodes that are instructions.
constexpr const Form* FormOf(uint8_t opcode) {
  for (const Form& form : kForms)
    if (form.Code == opcode) return &form;
  return nullptr;
}

// Bytes of the instruction an opcode begins: 4, or 20 with an immediate.
constexpr int InstructionBytes(uint8_t opcode) {
  const Form* form = FormOf(opcode);
  return kWordBytes + (form != nullptr ? ImmediateBytes(form->OperandShape) : 0);
}

}  // namespace isa
