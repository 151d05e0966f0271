#include "machine/block_sizer.h"

#include <algorithm>

namespace {

constexpr uint64_t kMaxBlockSteps = uint64_t{1} << 20;

}  // namespace

void TBlockSizer::Took(std::chrono::nanoseconds took) {
  const std::chrono::nanoseconds target = BlockTime;
  if (took < target / 2) {
    steps_ = std::min(steps_ * 2, kMaxBlockSteps);
  } else if (took > target) {
    steps_ = std::max<uint64_t>(1, steps_ * static_cast<uint64_t>(target.count()) / static_cast<uint64_t>(took.count()));
  }
}
