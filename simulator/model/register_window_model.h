#pragma once
// The logic of the two register windows: all 256 general registers
// ("通用寄存器编辑窗口Common Registers Editer") or the 10 special registers
// ("特殊功能寄存器编辑器(&Special Registers)") as text, refreshed on a timer, and an
// edit that sets one register to a decimal value. Every access to the core takes its
// lock.

#include <string>
#include <vector>

#include "simulator/model/line_source.h"
#include "simulator/model/refresh_timer_model.h"
#include "simulator/model/view_message.h"

class TTALVOCPU;

class TRegisterWindowModel : public TLineSource {
 public:
  enum class Kind { Common, Special };
  TRegisterWindowModel(Kind kind, TTALVOCPU* core = nullptr) : WindowKind(kind), Core(core) {}

  const Kind WindowKind;
  TTALVOCPU* Core;
  std::string EditNum = "0";
  std::string EditContent = "0";
  TRefreshTimer Timer;  // EditTime and ChkAuto

  // On showing and every tick: the register text. The special window also applies the
  // interval; the general window keeps its interval until SBtnAutoClick.
  TViewMessage FormShow();
  // "更改": a general register takes the value as the load-immediate instruction gives
  // it (IP advances by 20); a special register is set directly. A number outside the
  // register file, or a content that is no unsigned decimal number below 2^128 (a
  // sign, a letter, too many digits), is refused with a message and changes nothing.
  // The list is refreshed after a change.
  TViewMessage BtnChgClick();
  TViewMessage SBtnAutoClick() { return Timer.ApplyInterval(); }

  // The registers as the last refresh found them.
  int64_t LineCount() const override { return static_cast<int64_t>(lines_.size()); }
  std::vector<std::string> Lines(int64_t first, int64_t count) const override;

 private:
  std::vector<std::string> lines_;
};
