#include "simulator/model/register_window_model.h"

#include <algorithm>
#include <mutex>

#include "machine/digit_strings.h"
#include "machine/reg_bits.h"
#include "machine/talvo_cpu.h"
#include "simulator/model/inspect_texts.h"
#include "simulator/model/number_text.h"

TViewMessage TRegisterWindowModel::FormShow() {
  if (Core == nullptr) return {};
  std::string text;
  {
    std::lock_guard lock(Core->CoreLock);
    text = WindowKind == Kind::Common ? Core->RegistersDumpText() : Core->SpecialRegistersDumpText();
  }
  lines_.clear();
  for (size_t begin = 0, end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
    lines_.push_back(text.substr(begin, end - begin));
  }
  return WindowKind == Kind::Special ? Timer.ApplyInterval() : TViewMessage{};
}

std::vector<std::string> TRegisterWindowModel::Lines(int64_t first, int64_t count) const {
  const int64_t size = LineCount();
  if (first < 0 || first >= size || count <= 0) return {};
  return {lines_.begin() + first, lines_.begin() + std::min(size, first + count)};
}

TViewMessage TRegisterWindowModel::BtnChgClick() {
  if (Core == nullptr) return {};
  int32_t number = 0;
  if (!ParseInt32Text(EditNum, number)) return TViewMessage::Conversion(EditNum);
  Value128 value = 0;
  if (!DecStrToValue128(EditContent, value)) return TViewMessage::Warn(kTextBadRegisterContent);
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
