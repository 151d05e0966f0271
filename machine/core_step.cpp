// One step: device interrupt delivery, fetch, the opcode switch, the IP advance.

#include "isa/instruction_set.h"
#include "machine/reg_bits.h"
#include "machine/talvo_cpu.h"

namespace {

// A device interrupt enters its handler at this many bytes per interrupt number.
constexpr uint32_t kDeviceVectorBytes = 256;

bool IsEnabled(Value128 icw) { return (icw >> isa::kInterruptEnableBit & 1) != 0; }

}  // namespace

bool TTALVOCPU::Step() {
  if (anyInterruptPending_.load(std::memory_order_acquire) && !DeliverPendingInterrupt()) return false;
  const uint32_t pc = GetProgramCounter();
  if (!InMemory(pc, isa::kWordBytes)) return false;
  const uint32_t word = LoadLE32(Memory + pc);
  LastOpWord = word;
  ++FetchedWords;
  return ExecuteInstruction(static_cast<uint8_t>(word >> 24), static_cast<uint8_t>(word >> 16),
                            static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word), 1);
}

bool TTALVOCPU::ExecuteInstruction(uint8_t opcode, uint8_t a, uint8_t b, uint8_t c, uint8_t show) {
  bool done;
  switch (opcode) {
    case isa::Nop: done = OpNop(); break;
    case isa::Copy: done = OpCopy(c, b); break;
    case isa::MM: done = OpCopyMemMem(a, b, c); break;
    case isa::MR: done = OpCopyMemReg(a, b, c); break;
    case isa::RM: done = OpCopyRegMem(a, b, c); break;
    case isa::Get: done = OpGetSpecial(b, c); break;
    case isa::Set: done = OpSetSpecial(b, c); break;
    case isa::Add: done = OpAdd(b, c, a); break;
    case isa::Sub: done = OpSub(a, b, c); break;
    case isa::Mul: done = OpMul(a, b, c); break;
    case isa::Div: done = OpDiv(a, b, c); break;
    case isa::SetF: done = OpSetF(c); break;
    case isa::Zero: done = OpZero(c); break;
    case isa::Inc: done = OpInc(b, c); break;
    case isa::Dec: done = OpDec(b, c); break;
    case isa::Cmp: done = OpCmp(b, c); break;
    case isa::Jmp: done = OpJmp(b, c); break;
    case isa::JQ: done = OpJQ(b, c); break;
    case isa::JNQ: done = OpJNQ(b, c); break;
    case isa::JL: done = OpJL(b, c); break;
    case isa::JG: done = OpJG(b, c); break;
    case isa::And: done = OpAnd(a, b, c); break;
    case isa::Or: done = OpOr(a, b, c); break;
    case isa::Xor: done = OpXor(a, b, c); break;
    case isa::Not: done = OpNot(b, c); break;
    case isa::Call: done = OpCall(b, c); break;
    case isa::Ret: done = OpRet(); break;
    case isa::Int: done = OpInt(c); break;
    case isa::IRet: done = OpIRet(); break;
    case isa::LL: done = OpLL(a, b, c); break;
    case isa::RR: done = OpRR(a, b, c); break;
    case isa::In: done = OpIn(b, c); break;
    case isa::Out: done = OpOut(b, c); break;
    case isa::Dma: done = OpDMA(a, b, c); break;
    case isa::Push: done = OpPush(c); break;
    case isa::Pop: done = OpPop(c); break;
    case isa::Func:
    case isa::Ld: {
      // The immediate must lie in memory as wholly as the word before it.
      const uint32_t pc = GetProgramCounter();
      if (!InMemory(pc, isa::kLongInstructionBytes)) return false;
      const Value128 immediate = MemoryBlock().Read128(pc + isa::kWordBytes);
      done = opcode == isa::Ld ? LoadImmediate(a, immediate) : CallFunc(immediate);
      break;
    }
    default: return false;
  }
  if (show == 1) LastOpcode = opcode;
  return done;
}

bool TTALVOCPU::AdvanceIP(int64_t n) {
  // Sign-extended, so a negative step moves back modulo 2^128.
  Special(IP) += static_cast<Value128>(static_cast<__int128>(n));
  return true;
}

bool TTALVOCPU::OpNop() { return AdvanceIP(isa::kWordBytes); }

int32_t TTALVOCPU::RaiseHardwareInterrupt(int32_t n) {
  if (!IsEnabled(Special(ICW))) return InterruptsDisabled;
  if (n < 0 || n > 255) return 0;
  pendingInterrupts_[n / 64].fetch_or(uint64_t{1} << (n % 64), std::memory_order_relaxed);
  anyInterruptPending_.store(true, std::memory_order_release);
  return 0;
}

bool TTALVOCPU::InterruptDeliverable() const {
  return anyInterruptPending_.load(std::memory_order_acquire) && IsEnabled(Special(ICW));
}

// Between two instructions: IP already addresses the next one, and that is what the
// handler's IRET returns to. An interrupt stays pending while ICW disables it or
// while its three stack entries do not fit in memory (the step then fails).
bool TTALVOCPU::DeliverPendingInterrupt() {
  if (!IsEnabled(Special(ICW))) return true;
  anyInterruptPending_.store(false, std::memory_order_relaxed);
  int number = -1;
  bool others = false;
  for (int w = 0; w < 4; ++w) {
    const uint64_t bits = pendingInterrupts_[w].load(std::memory_order_relaxed);
    if (bits == 0) continue;
    if (number < 0) {
      number = w * 64 + __builtin_ctzll(bits);
      others = others || (bits & (bits - 1)) != 0;
    } else {
      others = true;
    }
  }
  if (number < 0) return true;
  const Value128 entries[3] = {Special(PSW), Special(IP), Special(IS)};
  if (!PushValues(entries, 3)) {
    anyInterruptPending_.store(true, std::memory_order_relaxed);
    return false;
  }
  pendingInterrupts_[number / 64].fetch_and(~(uint64_t{1} << (number % 64)), std::memory_order_relaxed);
  if (others) anyInterruptPending_.store(true, std::memory_order_relaxed);
  Special(IS) = 0;
  Special(IP) = static_cast<Value128>(number) * kDeviceVectorBytes;
  return true;
}
