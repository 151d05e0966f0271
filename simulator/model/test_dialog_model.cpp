#include "simulator/model/test_dialog_model.h"

#include <mutex>

#include "machine/digit_strings.h"
#include "machine/reg_bits.h"
#include "machine/talvo_cpu.h"
#include "simulator/model/inspect_texts.h"
#include "simulator/model/number_text.h"

namespace {

struct TFields {
  int32_t A = 0, B = 0, C = 0;
};

// Runs the operation with the numbers in its instruction's operand fields, in the
// argument order of the core's operation.
bool CallOperation(TTALVOCPU& core, TRegOp op, const TFields& f) {
  switch (op) {
    case TRegOp::Add: return core.OpAdd(f.B, f.C, f.A);
    case TRegOp::Sub: return core.OpSub(f.A, f.B, f.C);
    case TRegOp::Mul: return core.OpMul(f.A, f.B, f.C);
    case TRegOp::Div: return core.OpDiv(f.A, f.B, f.C);
    case TRegOp::Copy: return core.OpCopy(f.C, f.B);
    case TRegOp::MM: return core.OpCopyMemMem(f.A, f.B, f.C);
    case TRegOp::MR: return core.OpCopyMemReg(f.A, f.B, f.C);
    case TRegOp::Nop: return core.OpNop();
    case TRegOp::Get: return core.OpGetSpecial(f.B, f.C);
    case TRegOp::Set: return core.OpSetSpecial(f.B, f.C);
    case TRegOp::SetF: return core.OpSetF(f.C);
    case TRegOp::Zero: return core.OpZero(f.C);
    case TRegOp::Inc: return core.OpInc(f.B, f.C);
    case TRegOp::Dec: return core.OpDec(f.B, f.C);
    case TRegOp::And: return core.OpAnd(f.A, f.B, f.C);
    case TRegOp::Or: return core.OpOr(f.A, f.B, f.C);
    case TRegOp::Xor: return core.OpXor(f.A, f.B, f.C);
    case TRegOp::Not: return core.OpNot(f.B, f.C);
    case TRegOp::LL: return core.OpLL(f.A, f.B, f.C);
    case TRegOp::RR: return core.OpRR(f.A, f.B, f.C);
    case TRegOp::Cmp: return core.OpCmp(f.B, f.C);
    case TRegOp::Jmp: return core.OpJmp(f.B, f.C);
    case TRegOp::JQ: return core.OpJQ(f.B, f.C);
    case TRegOp::JNQ: return core.OpJNQ(f.B, f.C);
    case TRegOp::JL: return core.OpJL(f.B, f.C);
    case TRegOp::JG: return core.OpJG(f.B, f.C);
    case TRegOp::Push: return core.OpPush(f.C);
    case TRegOp::Pop: return core.OpPop(f.C);
    case TRegOp::Call: return core.OpCall(f.B, f.C);
    case TRegOp::Ret: return core.OpRet();
    case TRegOp::Int: return core.OpInt(f.C);
    case TRegOp::IRet: return core.OpIRet();
    case TRegOp::DMA: return core.OpDMA(f.A, f.B, f.C);
    case TRegOp::In: return core.OpIn(f.B, f.C);
    case TRegOp::Out: return core.OpOut(f.B, f.C);
    case TRegOp::Count: break;
  }
  return false;
}

std::string WithoutBlanks(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

TViewMessage TRegOpModel::RunOp(TRegOp op) {
  const TRegOpRow& row = RegOpRow(op);
  int32_t op1 = 0, op2 = 0, res = 0;
  const struct {
    bool read;
    const std::string& text;
    int32_t& value;
  } edits[] = {{row.ReadsOp1, EditRegOp1, op1}, {row.ReadsOp2, EditRegOp2, op2}, {row.ReadsRes, EditRegResult, res}};
  for (const auto& edit : edits) {
    if (edit.read && !ParseInt32Text(edit.text, edit.value)) return TViewMessage::Conversion(edit.text);
  }
  if (Core == nullptr) return TViewMessage::Warn(kTextNoValidCore);
  for (const auto& edit : edits) {
    if (edit.read && edit.value < 0) return TViewMessage::Warn(kTextNegativeRegister);
  }
  const auto number = [&](TOpEdit e) {
    switch (e) {
      case TOpEdit::Op1: return op1;
      case TOpEdit::Op2: return op2;
      case TOpEdit::Res: return res;
      case TOpEdit::None: break;
    }
    return 0;
  };
  const TFields fields{number(row.A), number(row.B), number(row.C)};
  std::lock_guard lock(Core->CoreLock);
  if (!CallOperation(*Core, op, fields) && op != TRegOp::Nop) return TViewMessage::Warn(row.FailureText);
  switch (row.Show) {
    case TOpShow::Nothing: break;
    case TOpShow::RegisterRes: EditResultContent = Core->RegToBinText(res); break;
    case TOpShow::RegisterOp1: EditResultContent = Core->RegToBinText(op1); break;
    case TOpShow::SpecialRes: {
      const Value128* special = Core->GetSpecialRegBits(res);
      EditResultContent = special != nullptr ? Value128ToBinStr(*special) : "0";
      break;
    }
    case TOpShow::MemoryAtRes: {
      // The word the copy wrote: its address is the low 32 bits of the register.
      const int64_t address = static_cast<uint32_t>(Low64(Core->Regs[res]));
      EditMemContent = Core->MemToDecText(address);
      break;
    }
  }
  return {};
}

TViewMessage TRegOpModel::BtnGetResultClick() {
  int32_t res = 0;
  if (!ParseInt32Text(EditRegResult, res)) return TViewMessage::Conversion(EditRegResult);
  if (res < 0) return TViewMessage::Warn(kTextNegativeRegister);
  if (Core == nullptr) return TViewMessage::Warn(kTextNoValidCore);
  std::lock_guard lock(Core->CoreLock);
  EditResultContent = Core->RegToBinText(res);
  return {};
}

TViewMessage TRegOpModel::LoadRegister(const std::string& decimal, const std::string& numberText) {
  if (Core == nullptr) return {};
  Value128 value = 0;
  if (!DecStrToValue128(decimal, value)) return TViewMessage::Warn(kTextNo128BitConversion);
  int32_t n = 0;
  if (!ParseInt32Text(numberText, n)) return TViewMessage::Conversion(numberText);
  const RegBits bits = RegBits::FromValue(value);
  std::lock_guard lock(Core->CoreLock);
  if (!Core->OpLoadImm(n, &bits)) return TViewMessage::Warn(kTextNoRegisterLoad);
  return {};
}

TViewMessage TRegOpModel::BtnOpFuncClick() {
  if (Core == nullptr) return {};
  Value128 offset = 0;
  if (!DecStrToValue128(EditAddr, offset)) return TViewMessage::Warn(kTextNo128BitConversion);
  const RegBits bits = RegBits::FromValue(offset);
  std::lock_guard lock(Core->CoreLock);
  if (!Core->OpFunc(&bits)) return TViewMessage::Warn(kTextNoFuncCall);
  return {};
}

TViewMessage TRegOpModel::BtnChgClick() {
  int32_t value = 0;
  if (!ParseInt32Text(EditReg1, value)) return TViewMessage::Conversion(EditReg1);
  if (Core == nullptr) return TViewMessage::Warn(kTextNoCpuCoreAttached);
  EditBin = WithoutBlanks(Int64ToBinText(value));
  return {};
}

TViewMessage TRegOpModel::BtnDecClick() {
  if (Core == nullptr) return TViewMessage::Warn(kTextNoValidCore);
  RegBits bits;
  if (EditResultContent.size() > 128 || !BinTextToBits(EditResultContent, bits)) return {};
  EditDec = WithoutBlanks(BitsToDecText(bits));
  return {};
}
