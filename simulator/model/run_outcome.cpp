#include "simulator/model/run_outcome.h"

#include <cstdio>

#include "base/file_error.h"
#include "machine/setting_file.h"
#include "machine/talvo_cpu.h"
#include "machine/value128.h"
#include "simulator/model/sim_texts.h"

namespace {

std::string Hex8(uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

}  // namespace

TResetOutcome ResetOutcomeOf(const TTALVOCPU& cpu) {
  return {cpu.HasWantedMemory(), cpu.MemSize, cpu.BiosImage != nullptr ? cpu.BiosLen : 0, cpu.ResetImageError};
}

std::string RunStartProblem(const TResetOutcome& outcome, const std::string& biosName) {
  // A reset that cannot have the block keeps the one it had: the run would be on
  // another machine than the setup asks for.
  if (!outcome.MemoryAsWanted) {
    return kTextCannotAllocate + FormatSettingNumberShort(outcome.Wanted / (1024.0 * 1024.0)) +
           kTextMegabytesOfMemory;
  }
  if (outcome.BiosLen > 0) return {};
  if (biosName.empty()) return kTextNoBiosFileSet;
  const std::string reason = outcome.ImageError != 0 ? FileErrorReason(outcome.ImageError) : kTextFileEmpty;
  return std::string(kTextBiosNotRunnable) + " " + biosName + kTextColon + reason;
}

TRunEndTexts RunEndTexts(const TTALVOCPU& cpu) {
  const uint32_t ip = cpu.GetProgramCounter();
  TRunEndTexts texts{std::string(kTextStopped) + " IP=" + Hex8(ip), kTextIpOutsideMemory};
  if (cpu.Memory != nullptr && ip <= cpu.MemAllocated && cpu.MemAllocated - ip >= 4) {
    texts.Word = Hex8(LoadLE32(cpu.Memory + ip));
  }
  return texts;
}
