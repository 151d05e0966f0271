// Every instruction writes the general register its destination field names (MUL and
// DIV the one after it as well) and no other: the instruction-set description and
// the core's operations agree.

#include <set>

#include "core_fixture.h"
#include "isa/instruction_set.h"

namespace {

class InstructionDestinations : public CoreTest {};

TEST_F(InstructionDestinations, AgreeWithTheDescription) {
  constexpr uint32_t kAt = 0x400;
  constexpr uint8_t kA = 10, kB = 11, kC = 12;
  for (const isa::Form& form : isa::kForms) {
    cpu.Reset();
    for (int r = 0; r < 256; ++r) cpu.Regs[r] = 1000 + r;
    // Values every operation accepts: an address in memory (A), an address, dividend
    // and a port of the serial latch (B), a small shift count, divisor, address and
    // interrupt number (C).
    cpu.Regs[kA] = 0x100;
    cpu.Regs[kB] = 5;
    cpu.Regs[kC] = 3;
    cpu.PortTable[13] = 5;
    S(TTALVOCPU::SP) = 0x800;
    S(TTALVOCPU::IP) = kAt;
    // GET and SET take a special register number in one field.
    const uint8_t b = form.OperandShape == isa::Shape::Set ? uint8_t{TTALVOCPU::ICW} : kB;
    const uint8_t c = form.OperandShape == isa::Shape::Get ? uint8_t{TTALVOCPU::SP} : kC;
    Put(kAt, {W(form.Code, kA, b, c)});
    Value128 before[256];
    std::copy(std::begin(cpu.Regs), std::end(cpu.Regs), before);

    ASSERT_TRUE(cpu.Step()) << form.English;
    std::set<int> written;
    for (int r = 0; r < 256; ++r)
      if (cpu.Regs[r] != before[r]) written.insert(r);
    std::set<int> expected;
    switch (form.Destination) {
      case isa::Field::A: expected.insert(kA); break;
      case isa::Field::B: expected.insert(kB); break;
      case isa::Field::C: expected.insert(kC); break;
      case isa::Field::None: break;
    }
    if (form.Code == isa::Mul || form.Code == isa::Div) expected.insert(kA + 1);
    EXPECT_EQ(written, expected) << form.English;
  }
}

}  // namespace
