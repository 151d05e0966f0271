// Run: many instructions in one call, with IP and PSW in locals and the common
// opcodes inline, each ending in its own dispatch of the next (so the host's branch
// predictor sees every opcode's successor apart). The inline cases use the same
// kernels as the operations, and every other opcode goes through the operations
// themselves, so a run leaves exactly what as many single steps leave.

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

// Ends an inline instruction: counts it and dispatches the next one, or leaves when
// the run has done its steps or the next word cannot be fetched.
#define TALVO_NEXT()                                                                    \
  do {                                                                                  \
    if (--remaining == 0) goto finished;                                                \
    const uint32_t pc = static_cast<uint32_t>(ip);                                      \
    if (int64_t{pc} > lastWordAt) goto fetch_failed;                                    \
    previous = word;                                                                    \
    word = LoadLE32(memory.Bytes + pc);                                                 \
    goto* table[word >> 24];                                                            \
  } while (false)

TTALVOCPU::TRunResult TTALVOCPU::RunInline(uint64_t maxSteps, uint64_t& operationSteps) {
  TRunResult result;
  if (maxSteps == 0) return result;
  const TMemory memory = MemoryBlock();
  Value128* const regs = Regs;
  Value128 ip = Special(IP), psw = Special(PSW);
  Value128& is = Special(IS);
  Value128& sp = Special(SP);
  // The words of the last two fetches, for the display fields.
  uint32_t word = LastOpWord, previous = LastOpWord;
  // Whether the last word fetched reached its operation; when it went through
  // ExecuteInstruction, that records it itself.
  bool recordOpcode = false;
  // Steps still to run; those done are maxSteps - remaining.
  uint64_t remaining = maxSteps;
  // The last address a word can be fetched from; below 0 when memory holds none.
  const int64_t lastWordAt = static_cast<int64_t>(memory.Size) - isa::kWordBytes;

  const void* table[256];
  for (const void*& entry : table) entry = &&operation;
  table[isa::Nop] = &&op_nop;
  table[isa::Copy] = &&op_copy;
  table[isa::MM] = &&op_mm;
  table[isa::MR] = &&op_mr;
  table[isa::RM] = &&op_rm;
  table[isa::Get] = &&op_get;
  table[isa::Add] = &&op_add;
  table[isa::Sub] = &&op_sub;
  table[isa::Mul] = &&op_mul;
  table[isa::Div] = &&op_div;
  table[isa::Inc] = &&op_inc;
  table[isa::Dec] = &&op_dec;
  table[isa::SetF] = &&op_setf;
  table[isa::Zero] = &&op_zero;
  table[isa::And] = &&op_and;
  table[isa::Or] = &&op_or;
  table[isa::Xor] = &&op_xor;
  table[isa::Not] = &&op_not;
  table[isa::LL] = &&op_ll;
  table[isa::RR] = &&op_rr;
  table[isa::Cmp] = &&op_cmp;
  table[isa::Jmp] = &&op_jmp;
  table[isa::JQ] = &&op_jq;
  table[isa::JNQ] = &&op_jnq;
  table[isa::JL] = &&op_jl;
  table[isa::JG] = &&op_jg;
  table[isa::Call] = &&op_call;
  table[isa::Ret] = &&op_ret;
  table[isa::Push] = &&op_push;
  table[isa::Pop] = &&op_pop;
  table[isa::Ld] = &&op_ld;

  // The fields of the word being run.
  const auto a = [&word] { return static_cast<uint8_t>(word >> 16); };
  const auto b = [&word] { return static_cast<uint8_t>(word >> 8); };
  const auto c = [&word] { return static_cast<uint8_t>(word); };
  // The registers fields A and B name, addressed by the field times 16 taken from the
  // word with one shift and one mask.
  const auto ra = [&word, regs]() -> Value128& {
    return *reinterpret_cast<Value128*>(reinterpret_cast<char*>(regs) + (word >> 12 & 0xFF0));
  };
  const auto rb = [&word, regs]() -> Value128& {
    return *reinterpret_cast<Value128*>(reinterpret_cast<char*>(regs) + (word >> 4 & 0xFF0));
  };
  // A conditional jump is relative to itself; not taken, it goes on to the next word.
  const auto jump = [&](bool taken) {
    if (taken) {
      ip += regs[c()];
      is += rb();
    } else {
      ip += isa::kWordBytes;
    }
  };

  // The first fetch; every later one ends the instruction before it.
  if (int64_t{static_cast<uint32_t>(ip)} > lastWordAt) goto fetch_failed;
  word = LoadLE32(memory.Bytes + static_cast<uint32_t>(ip));
  goto* table[word >> 24];

op_nop:
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_copy:
  regs[c()] = rb();
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_mm: {
  const uint32_t to = static_cast<uint32_t>(ra()), from = static_cast<uint32_t>(regs[c()]);
  if (!memory.HoldsValue(to) || !memory.HoldsValue(from)) goto operation_failed;
  memory.Move(to, from, 16);
  ip += isa::kWordBytes;
  TALVO_NEXT();
}
op_mr: {
  const uint32_t at = static_cast<uint32_t>(regs[c()]);
  if (!memory.HoldsValue(at)) goto operation_failed;
  ra() = memory.Read128(at);
  ip += isa::kWordBytes;
  TALVO_NEXT();
}
op_rm: {
  const uint32_t at = static_cast<uint32_t>(rb());
  if (!memory.HoldsValue(at)) goto operation_failed;
  memory.Write128(at, regs[c()]);
  ip += isa::kWordBytes;
  TALVO_NEXT();
}
op_get:
  if (c() >= isa::kSpecialRegisterCount) goto operation_failed;
  rb() = c() == IP ? ip : c() == PSW ? psw : Special(c());
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_add:
  ra() = Add(rb(), regs[c()], psw);
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_sub:
  ra() = Subtract(rb(), regs[c()], psw);
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_mul: {
  if (a() == 255) goto operation_failed;
  Value128 high, low;
  Multiply(rb(), regs[c()], high, low);
  ra() = low;
  regs[a() + 1] = high;
  ip += isa::kWordBytes;
  TALVO_NEXT();
}
op_div: {
  Value128 quotient, remainder;
  if (a() == 255 || !Divide(rb(), regs[c()], quotient, remainder)) goto operation_failed;
  ra() = quotient;
  regs[a() + 1] = remainder;
  ip += isa::kWordBytes;
  TALVO_NEXT();
}
op_inc:
  rb() = Add(regs[c()], 1, psw);
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_dec:
  rb() = Subtract(regs[c()], 1, psw);
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_setf:
  regs[c()] = kAllOnes;
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_zero:
  regs[c()] = 0;
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_and:
  ra() = rb() & regs[c()];
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_or:
  ra() = rb() | regs[c()];
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_xor:
  ra() = rb() ^ regs[c()];
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_not:
  rb() = ~regs[c()];
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_ll:
  if (!Shift(rb(), Low64(regs[c()]), true, ra())) goto operation_failed;
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_rr:
  if (!Shift(rb(), Low64(regs[c()]), false, ra())) goto operation_failed;
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_cmp:
  Compare(rb(), regs[c()], psw);
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_jmp:
  is = rb();
  ip = regs[c()];
  TALVO_NEXT();
op_jq:
  jump(JumpTaken(isa::JQ, psw));
  TALVO_NEXT();
op_jnq:
  jump(JumpTaken(isa::JNQ, psw));
  TALVO_NEXT();
op_jl:
  jump(JumpTaken(isa::JL, psw));
  TALVO_NEXT();
op_jg:
  jump(JumpTaken(isa::JG, psw));
  TALVO_NEXT();
op_call: {
  const Value128 ret[2] = {ip + isa::kWordBytes, is};
  if (!PushEntries(memory, sp, ret, 2)) goto operation_failed;
  ip = AddSignMagnitude(ip, regs[c()]);
  is = AddSignMagnitude(is, rb());
  TALVO_NEXT();
}
op_ret: {
  Value128 popped[2];
  if (!PopEntries(memory, sp, popped, 2)) goto operation_failed;
  Special(SS) = 0;
  is = popped[0];
  ip = popped[1];
  TALVO_NEXT();
}
op_push:
  if (!PushEntries(memory, sp, &regs[c()], 1)) goto operation_failed;
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_pop:
  if (!PopEntries(memory, sp, &regs[c()], 1)) goto operation_failed;
  Special(SS) = 0;
  ip += isa::kWordBytes;
  TALVO_NEXT();
op_ld: {
  // An LD whose immediate leaves memory reaches no operation.
  const uint32_t pc = static_cast<uint32_t>(ip);
  if (uint64_t{pc} + isa::kLongInstructionBytes > memory.Size) {
    if (remaining != maxSteps) LastOpcode = previous >> 24;
    goto operations_failed;
  }
  ra() = memory.Read128(pc + isa::kWordBytes);
  ip += isa::kLongInstructionBytes;
  TALVO_NEXT();
}
operation: {
  // The rest through the operations, on the record; the word before this one
  // reached its operation.
  if (remaining != maxSteps) LastOpcode = previous >> 24;
  Special(IP) = ip;
  Special(PSW) = psw;
  const bool done = ExecuteInstruction(static_cast<uint8_t>(word >> 24), a(), b(), c(), 1);
  ip = Special(IP);
  psw = Special(PSW);
  if (!done) goto operations_failed;
  // An operation may have raised an interrupt, or SET enabled a pending one: Run
  // delivers it. One that ICW keeps waiting needs no return to Run, as only an
  // operation can change that.
  if (--operationSteps == 0 || InterruptDeliverable()) {
    --remaining;
    recordOpcode = true;
    goto done;
  }
  TALVO_NEXT();
}

finished:
  recordOpcode = true;
  goto done;
fetch_failed:
  recordOpcode = remaining != maxSteps;
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
  result.Steps = maxSteps - remaining;
  FetchedWords += result.Steps;
  LastOpWord = word;
  if (recordOpcode) LastOpcode = word >> 24;
  return result;
}

#undef TALVO_NEXT
