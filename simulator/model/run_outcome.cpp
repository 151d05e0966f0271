#include "simulator/model/run_outcome.h"

#include <cstdio>

#include "base/file_error.h"
#include "base/file_read.h"
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

// The reset allocates the wanted size cut to whole bytes (a settings file may give
// 1.44 MB).
bool GotWantedMemory(const TResetOutcome& outcome) {
  return outcome.HasMemory && outcome.Wanted >= 0.0 && outcome.Wanted < 0x1p64 &&
         outcome.Allocated == static_cast<uint64_t>(outcome.Wanted);
}

}  // namespace

TResetOutcome ResetOutcomeOf(const TTALVOCPU& cpu) {
  return {cpu.Memory != nullptr, cpu.MemAllocated, cpu.MemSize, cpu.BiosImage != nullptr ? cpu.BiosLen : 0};
}

std::string RunStartProblem(const TResetOutcome& outcome, const std::string& biosName,
                            const std::string& biosPath) {
  // A reset that cannot have the block keeps the one it had: the run would be on
  // another machine than the setup asks for.
  if (!GotWantedMemory(outcome)) {
    return kTextCannotAllocate + FormatSettingNumberShort(outcome.Wanted / (1024.0 * 1024.0)) +
           kTextMegabytesOfMemory;
  }
  if (outcome.BiosLen > 0) return {};
  if (biosName.empty()) return kTextNoBiosFileSet;
  int error = 0;
  const std::string reason = OpenRegularFile(biosPath, &error) ? kTextFileEmpty : FileErrorReason(error);
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
