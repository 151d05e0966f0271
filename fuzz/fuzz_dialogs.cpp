// The number texts users type into the simulator's windows, through the windows' own
// logic: the memory window, the two register windows, the register-operation test
// window, the port and CPU setup dialogs, the refresh intervals and the calculator.
// The first input byte picks the window, the next bytes its buttons; then come its
// edit texts, each ended by a NUL. Every window works on a fresh 16 KB machine.
//
// Properties: each window does what its edits say or reports why not, and nothing
// else changes; what a dialog shows it reads back to the same values.

#include <cstring>
#include <memory>

#include "fuzz_check.h"
#include "fuzz_decimal.h"
#include "fuzz_input.h"
#include "fuzz_machine.h"
#include "machine/digit_strings.h"
#include "simulator/model/calculator_model.h"
#include "simulator/model/cpu_setup_model.h"
#include "simulator/model/memory_view_model.h"
#include "simulator/model/number_text.h"
#include "simulator/model/port_dialog_model.h"
#include "simulator/model/register_window_model.h"
#include "simulator/model/test_dialog_model.h"

namespace {

bool AllZero(const uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (bytes[i] != 0) return false;
  }
  return true;
}

// Integer edits: what parses prints and parses back to the same number, in decimal
// and as the port dialog shows it.
void FuzzNumberTexts(TFuzzInput& input) {
  const std::string text = input.Text();
  int32_t value = 0;
  if (ParseInt32Text(text, value)) {
    int32_t again = 0;
    Check(ParseInt32Text(std::to_string(value), again) && again == value, "an integer prints and reads back");
    Check(ParseInt32Text(PortHexText(value), again) && again == value, "a port number shows and reads back");
  }
  double number = 0;
  if (ParseFloatText(text, number)) Check(number - number == 0, "a floating-point edit is finite");
}

void FuzzRefreshTimer(TFuzzInput& input) {
  TRefreshTimer timer;
  timer.Auto = input.Byte() % 2 == 0;
  timer.IntervalMs = static_cast<int32_t>(input.Word());
  const int32_t before = timer.IntervalMs;
  const bool wasAuto = timer.Auto;
  timer.SecondsText = input.Text();
  int32_t seconds = 0;
  if (timer.ApplyInterval()) {
    Check(!timer.Auto && timer.IntervalMs == before, "a bad interval stops the timer and keeps the interval");
  } else {
    Check(ParseInt32Text(timer.SecondsText, seconds), "an interval applies only when it is a number");
    Check(timer.Auto == wasAuto && timer.IntervalMs == (seconds > 0 ? seconds * 1000 : 0),
          "an interval of whole seconds applies in milliseconds");
  }
  Check(!timer.Running() || timer.IntervalMs > 0, "a running timer has an interval");
}

void FuzzMemoryWindow(TFuzzInput& input) {
  std::unique_ptr<TTALVOCPU> core = NewSmallCore("");
  TMemoryViewModel window(core.get());
  input.Texts({&window.EditMemAddress, &window.EditMemLen, &window.EditMemChgAddr, &window.EditMemContent,
               &window.Timer.SecondsText});
  window.FormShow();
  window.BtnApplyEditClick();
  int32_t address = 0;
  int32_t value = 0;
  const uint8_t* memory = core->Memory;
  const uint64_t size = core->MemAllocated;
  // The word is stored when both edits are numbers and it lies in memory; nothing else.
  if (ParseInt32Text(window.EditMemChgAddr, address) && ParseInt32Text(window.EditMemContent, value) &&
      address >= 0 && static_cast<uint64_t>(address) + 8 <= size) {
    uint64_t word = 0;
    Check(core->MemReadUInt64(address, word) && word == static_cast<uint32_t>(value), "the memory edit stores its word");
    Check(AllZero(memory, static_cast<size_t>(address)), "the memory edit writes nothing before its word");
    Check(AllZero(memory + address + 8, size - static_cast<size_t>(address) - 8),
          "the memory edit writes nothing after its word");
  } else {
    Check(AllZero(memory, size), "a refused memory edit writes nothing");
  }
  Check(memory[size] == 0, "the memory window writes nothing beyond memory");
}

void FuzzRegisterWindow(TFuzzInput& input) {
  const auto kind = input.Byte() % 2 == 0 ? TRegisterWindowModel::Kind::Common : TRegisterWindowModel::Kind::Special;
  std::unique_ptr<TTALVOCPU> core = NewSmallCore("");
  TRegisterWindowModel window(kind, core.get());
  input.Texts({&window.EditNum, &window.EditContent, &window.Timer.SecondsText});
  window.FormShow();
  window.BtnChgClick();
  int32_t number = 0;
  Value128 value = 0;
  const bool changes = ParseInt32Text(window.EditNum, number) && DecStrToValue128(window.EditContent, value) &&
                       number >= 0 && number < (kind == TRegisterWindowModel::Kind::Common ? 256 : isa::kSpecialRegisterCount);
  Value128 expectedRegs[256] = {};
  Value128 expectedSpecials[isa::kSpecialRegisterCount] = {};
  if (changes && kind == TRegisterWindowModel::Kind::Common) {
    // As the load-immediate instruction gives it: IP moves past the instruction.
    expectedRegs[number] = value;
    expectedSpecials[TTALVOCPU::SpecialSlot[TTALVOCPU::IP]] = 20;
  } else if (changes) {
    expectedSpecials[TTALVOCPU::SpecialSlot[number]] = value;
  }
  Check(std::memcmp(expectedRegs, core->Regs, sizeof expectedRegs) == 0, "the register edit sets its register only");
  Check(std::memcmp(expectedSpecials, core->SpecialRegs, sizeof expectedSpecials) == 0,
        "the register edit sets its special register only");
}

// Every button of the test window with fuzzed edits, on a machine whose memory holds
// the last text as its BIOS: a failed operation is reported, and nothing reaches
// beyond the memory block.
void FuzzTestWindow(TFuzzInput& input) {
  const int clicks = 1 + input.Byte() % 8;
  uint8_t buttons[8];
  for (int i = 0; i < clicks; ++i) buttons[i] = input.Byte();
  TRegOpModel window;
  input.Texts({&window.EditRegNum1, &window.EditReg1, &window.EditRegNum2, &window.EditReg2, &window.EditRegOp1,
               &window.EditRegOp2, &window.EditRegResult, &window.EditResultContent, &window.EditAddr});
  std::unique_ptr<TTALVOCPU> core = NewSmallCore(input.Rest());
  window.Core = core.get();
  constexpr int kOps = static_cast<int>(TRegOp::Count);
  for (int i = 0; i < clicks; ++i) {
    const int button = buttons[i] % (kOps + 6);
    if (button < kOps) window.RunOp(static_cast<TRegOp>(button));
    else if (button == kOps) window.BtnGetResultClick();
    else if (button == kOps + 1) window.BtnLD1Click();
    else if (button == kOps + 2) window.BtnLD2Click();
    else if (button == kOps + 3) window.BtnOpFuncClick();
    else if (button == kOps + 4) window.BtnChgClick();
    else window.BtnDecClick();
  }
  Check(core->Memory[core->MemAllocated] == 0, "the test window writes nothing beyond memory");
}

void FuzzPortDialog(TFuzzInput& input) {
  TPortEditTexts texts;
  for (std::string& text : texts) text = input.Text();
  const TPortTable defaults = DefaultPortTable();
  TPortTable table = defaults;
  if (!ReadPortEditTexts(texts, table).empty()) {
    Check(table == defaults, "a refused port table changes nothing");
    return;
  }
  for (size_t i = 0; i < texts.size(); ++i) {
    int32_t value = 0;
    Check(ParseInt32Text(texts[i], value) && value == table[i], "the port table takes every edit");
  }
  TPortTable shown = defaults;
  Check(ReadPortEditTexts(PortTableToEditTexts(table), shown).empty() && shown == table,
        "a shown port table reads back the same");
}

// The CPU setup's edits: what it applies it shows again as edits that apply alike.
void FuzzCpuSetup(TFuzzInput& input) {
  TSettingItems edits;
  for (std::string& item : edits.Items) item = input.Text();
  TAppliedSetup applied;
  if (!ComputeAppliedSetup(edits, applied).empty()) return;
  Check(CheckSetupForSave(edits).empty(), "edits that apply can be saved");
  TAppliedSetup again;
  const TSettingItems shown = SetupEditsFromApplied(applied, applied.MemSize);
  Check(ComputeAppliedSetup(shown, again).empty(), "an applied setup shows as edits that apply");
  Check(again.MemSize == applied.MemSize && again.MemFileName == applied.MemFileName &&
        again.BIOSFileName == applied.BIOSFileName && again.FloppyFileName == applied.FloppyFileName &&
            again.HardDiskFileName == applied.HardDiskFileName,
        "an applied setup shows as edits that apply alike");
}

// The value of a decimal edit below 2^128, or false; an empty edit is no number.
bool Decimal128(const std::string& text, Value128& out) { return !text.empty() && DecimalValue128(text, out); }

void FuzzCalculator(TFuzzInput& input) {
  TBigCalc calc;
  input.Texts({&calc.Edit1, &calc.Edit2});
  calc.BtnAddClick();
  Value128 a = 0;
  Value128 b = 0;
  if (Decimal128(calc.Edit1, a) && Decimal128(calc.Edit2, b)) {
    const Value128 sum = a + b;
    Check(calc.EditResult == Value128ToDecStr(sum) && calc.Overflow == (sum < a), "the calculator adds exactly");
  } else if (!DecStrToBinStr(calc.Edit1) || !DecStrToBinStr(calc.Edit2)) {
    Check(calc.EditResult.empty() && calc.EditBinResult.empty() && !calc.Overflow,
          "the calculator refuses what is no number");
  }
  const int more = input.Byte();
  for (int bit = 0; bit < 8; ++bit) {
    switch ((more >> bit & 1) * (1 + bit % 4)) {
      case 1: calc.BtnAbsClick(); break;
      case 2: calc.BtnNotClick(); break;
      case 3: calc.BtnNotCodeClick(); break;
      case 4: calc.BtnMendCodeClick(); break;
      default: break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  switch (input.Byte() % 8) {
    case 0: FuzzNumberTexts(input); break;
    case 1: FuzzRefreshTimer(input); break;
    case 2: FuzzMemoryWindow(input); break;
    case 3: FuzzRegisterWindow(input); break;
    case 4: FuzzTestWindow(input); break;
    case 5: FuzzPortDialog(input); break;
    case 6: FuzzCpuSetup(input); break;
    default: FuzzCalculator(input); break;
  }
  return 0;
}
