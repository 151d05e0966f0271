// Run: many instructions in one call, with IP, PSW and SP in locals and the common
// opcodes inline. The inline cases use the same kernels as the operations, and every
// other opcode goes through the operations themselves, so a run leaves exactly what
// as many single steps leave.

#include "isa/instruction_set.h"
#include "machine/talvo_cpu.h"

using namespace core_kernels;

TTALVOCPU::TRunResult TTALVOCPU::Run(uint64_t maxSteps, uint64_t maxOperationSteps) {
  TRunResult result;
  uint64_t operationSteps = maxOperationSteps;
  while (result.Steps < maxSteps && !result.Failed && operationSteps > 0) {
    if (InterruptDeliverable()) {
      // Delivering takes the single step's path: device interrupts are rare.
      --operationSteps;
      if (Step()) {
        ++result.Steps;
      } else {
        result.Failed = true;
      }
      continue;
    }
    const TRunResult part = RunInline(maxSteps - result.Steps, operationSteps);
    result.Steps += part.Steps;
    result.Failed = part.Failed;
  }
  return result;
}

TTALVOCPU::TRunResult TTALVOCPU::RunInline(uint64_t maxSteps, uint64_t& operationSteps) {
  const TMemory memory = MemoryBlock();
  Value128 ip = Special(IP), psw = Special(PSW), sp = Special(SP);
  Value128& is = Special(IS);
  // The words of the last two fetches, for the display fields.
  uint32_t word = LastOpWord, previous = LastOpWord;
  // Whether the last word fetched reached its operation; when it went through
  // ExecuteInstruction, that records it itself.
  bool recordOpcode = false;
  TRunResult result;
  uint64_t& n = result.Steps;

  for (; n < maxSteps; ++n) {
    const uint32_t pc = static_cast<uint32_t>(ip);
    if (static_cast<uint64_t>(pc) + isa::kWordBytes > memory.Size) goto fetch_failed;
    previous = word;
    word = LoadLE32(memory.Bytes + pc);
    {
      const uint8_t opcode = static_cast<uint8_t>(word >> 24), a = static_cast<uint8_t>(word >> 16),
                    b = static_cast<uint8_t>(word >> 8), c = static_cast<uint8_t>(word);
      // A conditional jump is relative to itself; not taken, it goes on to the next word.
      const auto jump = [&](bool taken) {
        if (taken) {
          ip += Regs[c];
          is += Regs[b];
        } else {
          ip += isa::kWordBytes;
        }
      };
      switch (opcode) {
        case isa::Nop: ip += isa::kWordBytes; break;
        case isa::Copy: Regs[c] = Regs[b]; ip += isa::kWordBytes; break;
        case isa::MM: {
          const uint32_t to = static_cast<uint32_t>(Regs[a]), from = static_cast<uint32_t>(Regs[c]);
          if (!memory.Holds(to, 16) || !memory.Holds(from, 16)) goto operation_failed;
          memory.Move16(to, from);
          ip += isa::kWordBytes;
          break;
        }
        case isa::MR: {
          const uint32_t at = static_cast<uint32_t>(Regs[c]);
          if (!memory.Holds(at, 16)) goto operation_failed;
          Regs[a] = memory.Read128(at);
          ip += isa::kWordBytes;
          break;
        }
        case isa::RM: {
          const uint32_t at = static_cast<uint32_t>(Regs[b]);
          if (!memory.Holds(at, 16)) goto operation_failed;
          memory.Write128(at, Regs[c]);
          ip += isa::kWordBytes;
          break;
        }
        case isa::Get:
          if (c >= isa::kSpecialRegisterCount) goto operation_failed;
          Regs[b] = c == IP ? ip : c == PSW ? psw : c == SP ? sp : Special(c);
          ip += isa::kWordBytes;
          break;
        case isa::Add: Regs[a] = Add(Regs[b], Regs[c], psw); ip += isa::kWordBytes; break;
        case isa::Sub: Regs[a] = Subtract(Regs[b], Regs[c], psw); ip += isa::kWordBytes; break;
        case isa::Mul: {
          if (a == 255) goto operation_failed;
          Value128 high, low;
          Multiply(Regs[b], Regs[c], high, low);
          Regs[a] = low;
          Regs[a + 1] = high;
          ip += isa::kWordBytes;
          break;
        }
        case isa::Div: {
          Value128 quotient, remainder;
          if (a == 255 || !Divide(Regs[b], Regs[c], quotient, remainder)) goto operation_failed;
          Regs[a] = quotient;
          Regs[a + 1] = remainder;
          ip += isa::kWordBytes;
          break;
        }
        case isa::Inc: Regs[b] = Add(Regs[c], 1, psw); ip += isa::kWordBytes; break;
        case isa::Dec: Regs[b] = Subtract(Regs[c], 1, psw); ip += isa::kWordBytes; break;
        case isa::SetF: Regs[c] = kAllOnes; ip += isa::kWordBytes; break;
        case isa::Zero: Regs[c] = 0; ip += isa::kWordBytes; break;
        case isa::And: Regs[a] = Regs[b] & Regs[c]; ip += isa::kWordBytes; break;
        case isa::Or: Regs[a] = Regs[b] | Regs[c]; ip += isa::kWordBytes; break;
        case isa::Xor: Regs[a] = Regs[b] ^ Regs[c]; ip += isa::kWordBytes; break;
        case isa::Not: Regs[b] = ~Regs[c]; ip += isa::kWordBytes; break;
        case isa::LL:
        case isa::RR:
          if (!Shift(Regs[b], Low64(Regs[c]), opcode == isa::LL, Regs[a])) goto operation_failed;
          ip += isa::kWordBytes;
          break;
        case isa::Cmp: Compare(Regs[b], Regs[c], psw); ip += isa::kWordBytes; break;
        case isa::Jmp:
          is = Regs[b];
          ip = Regs[c];
          break;
        case isa::JQ: jump(Flag(psw, isa::kEqualBit)); break;
        case isa::JNQ: jump(!Flag(psw, isa::kEqualBit)); break;
        case isa::JL: jump(Flag(psw, isa::kLessBit)); break;
        case isa::JG: jump(Flag(psw, isa::kGreaterBit)); break;
        case isa::Call: {
          const Value128 ret[2] = {ip + isa::kWordBytes, is};
          if (!PushEntries(memory, sp, ret, 2)) goto operation_failed;
          ip = AddSignMagnitude(ip, Regs[c]);
          is = AddSignMagnitude(is, Regs[b]);
          break;
        }
        case isa::Ret: {
          Value128 popped[2];
          if (!PopEntries(memory, sp, popped, 2)) goto operation_failed;
          Special(SS) = 0;
          is = popped[0];
          ip = popped[1];
          break;
        }
        case isa::Push:
          if (!PushEntries(memory, sp, &Regs[c], 1)) goto operation_failed;
          ip += isa::kWordBytes;
          break;
        case isa::Pop:
          if (!PopEntries(memory, sp, &Regs[c], 1)) goto operation_failed;
          Special(SS) = 0;
          ip += isa::kWordBytes;
          break;
        case isa::Ld:
          // An LD whose immediate leaves memory reaches no operation.
          if (static_cast<uint64_t>(pc) + isa::kLongInstructionBytes > memory.Size) {
            if (n > 0) LastOpcode = previous >> 24;
            goto operations_failed;
          }
          Regs[a] = memory.Read128(pc + isa::kWordBytes);
          ip += isa::kLongInstructionBytes;
          break;
        default: {
          // The rest through the operations, on the record; the word before this
          // one reached its operation.
          if (n > 0) LastOpcode = previous >> 24;
          Special(IP) = ip;
          Special(PSW) = psw;
          Special(SP) = sp;
          const bool done = ExecuteInstruction(opcode, a, b, c, 1);
          ip = Special(IP);
          psw = Special(PSW);
          sp = Special(SP);
          if (!done) goto operations_failed;
          // SET may have enabled a pending device interrupt: Run delivers it.
          if (--operationSteps == 0 || anyInterruptPending_.load(std::memory_order_relaxed)) {
            ++n;
            recordOpcode = true;
            goto done;
          }
        }
      }
    }
  }
  recordOpcode = n > 0;
  goto done;

fetch_failed:
  recordOpcode = n > 0;
  result.Failed = true;
  goto done;
operation_failed:
  recordOpcode = true;
  result.Failed = true;
  ++FetchedWords;
  goto done;
operations_failed:
  result.Failed = true;
  ++FetchedWords;

done:
  Special(IP) = ip;
  Special(PSW) = psw;
  Special(SP) = sp;
  FetchedWords += n;
  LastOpWord = word;
  if (recordOpcode) LastOpcode = word >> 24;
  return result;
}
