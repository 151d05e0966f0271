#include "simulator/model/memory_view_model.h"

#include <mutex>

#include "machine/talvo_cpu.h"
#include "simulator/model/inspect_texts.h"
#include "simulator/model/number_text.h"

TViewMessage TMemoryViewModel::FormShow() {
  if (Core == nullptr) return {};
  if (TViewMessage message = Timer.ApplyInterval()) return message;
  int32_t start = 0;
  int32_t lines = 0;
  const std::string* bad = !ParseInt32Text(EditMemAddress, start) ? &EditMemAddress
                           : !ParseInt32Text(EditMemLen, lines)   ? &EditMemLen
                                                                  : nullptr;
  if (bad != nullptr) {
    Timer.Auto = false;  // reported once, not on every tick
    return TViewMessage::Conversion(*bad);
  }
  std::lock_guard lock(Core->CoreLock);
  Memo = Core->MemDumpText(start, lines);
  return {};
}

TViewMessage TMemoryViewModel::BtnApplyEditClick() {
  if (Core == nullptr) return {};
  int32_t address = 0;
  int32_t value = 0;
  if (!ParseInt32Text(EditMemChgAddr, address)) return TViewMessage::Conversion(EditMemChgAddr);
  if (!ParseInt32Text(EditMemContent, value)) return TViewMessage::Conversion(EditMemContent);
  {
    std::lock_guard lock(Core->CoreLock);
    // A negative value is stored as its 32-bit pattern with the upper four bytes zero.
    if (!Core->MemWriteUInt64(address, static_cast<uint32_t>(value))) {
      return TViewMessage::Warn(kTextMemoryOutside);
    }
  }
  return FormShow();
}
