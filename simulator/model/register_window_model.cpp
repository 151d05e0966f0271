#include "simulator/model/register_window_model.h"

#include <mutex>

#include "machine/digit_strings.h"
#include "machine/reg_bits.h"
#include "machine/talvo_cpu.h"
#include "simulator/model/inspect_texts.h"
#include "simulator/model/number_text.h"

TViewMessage TRegisterWindowModel::FormShow() {
  if (Core == nullptr) return {};
  {
    std::lock_guard lock(Core->CoreLock);
    Memo = WindowKind == Kind::Common ? Core->RegistersDumpText() : Core->SpecialRegistersDumpText();
  }
  return WindowKind == Kind::Special ? Timer.ApplyInterval() : TViewMessage{};
}

TViewMessage TRegisterWindowModel::BtnChgClick() {
  if (Core == nullptr) return {};
  int32_t number = 0;
  if (!ParseInt32Text(EditNum, number)) return TViewMessage::Conversion(EditNum);
  Value128 value = 0;
  if (!DecStrToValue128(EditContent, value)) return {};
  TViewMessage message;
  {
    std::lock_guard lock(Core->CoreLock);
    if (WindowKind == Kind::Common) {
      // A negative number changes nothing, as the load instruction refuses it.
      if (number > 255) {
        message = TViewMessage::Warn(kTextRegisterOutside);
      } else if (number >= 0) {
        const RegBits bits = RegBits::FromValue(value);
        Core->OpLoadImm(number, &bits);
      }
    } else {
      Value128* target = Core->GetSpecialRegBits(number);
      if (target == nullptr) return TViewMessage::Fail(kTextNoSpecialRegisterFound);
      *target = value;
    }
  }
  const TViewMessage refresh = FormShow();
  return message ? message : refresh;
}
