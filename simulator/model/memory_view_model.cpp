#include "simulator/model/memory_view_model.h"

#include <algorithm>
#include <mutex>

#include "machine/talvo_cpu.h"
#include "machine/text_views.h"
#include "simulator/model/inspect_texts.h"
#include "simulator/model/number_text.h"

namespace {

// As many of `lines` words from start on as lie wholly in memory: the dump stops at
// the first word that leaves it.
int64_t WordsInMemory(const TMemoryBlock& memory, int64_t start, int64_t lines) {
  if (lines <= 0 || !memory.HoldsWord(start)) return 0;
  const uint64_t fitting = (memory.Size - 8 - static_cast<uint64_t>(start)) / 8 + 1;
  return static_cast<int64_t>(std::min<uint64_t>(static_cast<uint64_t>(lines), fitting));
}

}  // namespace

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
  start_ = start;
  lineCount_ = WordsInMemory(TMemoryBlock{Core->Memory, Core->MemAllocated}, start, lines);
  return {};
}

std::vector<std::string> TMemoryViewModel::Lines(int64_t first, int64_t count) const {
  std::vector<std::string> lines;
  if (Core == nullptr || first < 0 || first >= lineCount_) return lines;
  count = std::min(count, lineCount_ - first);
  lines.reserve(static_cast<size_t>(std::max<int64_t>(count, 0)));
  std::lock_guard lock(Core->CoreLock);
  // A reset since the last refresh may have shrunk the memory: words outside it read
  // as "0", and the next refresh lists only what is left.
  for (int64_t k = 0; k < count; ++k) lines.push_back(Core->MemLineText(start_ + 8 * (first + k)));
  return lines;
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
