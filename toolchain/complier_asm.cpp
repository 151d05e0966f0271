#include "toolchain/complier_asm.h"

#include "toolchain/gbk_texts.h"
#include "toolchain/output_names.h"
#include "toolchain/output_plan.h"

void TComplierAsm::AddFile(const std::string& path) {
  TAsmFile file;
  file.FileName = path;
  Files.Append(std::move(file));
}

std::string TComplierAsm::OutputConflict() {
  TOutputPlan plan;
  if (!OutputName.empty()) plan.AddInput(OutputName, gbk::kMsgOverwritesProject);
  for (int32_t i = 0; i < Files.Count; ++i) {
    const std::string& source = Files.Item(i)->Value.FileName;
    if (!source.empty()) plan.AddInput(source, gbk::kMsgOverwritesSource);
  }
  for (int32_t i = 0; i < Files.Count; ++i) {
    const std::string& source = Files.Item(i)->Value.FileName;
    if (source.empty()) continue;
    plan.AddOutput(ReplaceExtension(source, ".qobj"), "asm", source);
    if (PerFileOutputs.Hex) plan.AddOutput(ReplaceExtension(source, ".hex"), "asm", source);
    if (PerFileOutputs.TvxBin) plan.AddOutput(ReplaceExtension(source, ".tvxbin"), "asm", source);
    if (PerFileOutputs.Lst) plan.AddOutput(ReplaceExtension(source, ".lst"), "asm", source);
  }
  const std::string image = MakeImageName(OutputName);
  plan.AddOutput(image, "link", OutputName);
  plan.AddOutput(MakeListingName(image, ".lst"), "link", OutputName);
  plan.AddOutput(MakeBinCopyName(image), "link", OutputName);
  return plan.Conflict();
}

int32_t TComplierAsm::BuildAll() {
  Files.UpdateCount();
  Messages.clear();
  if (Files.Count == 0) return -1;
  Messages = OutputConflict();
  if (!Messages.empty()) return -1;
  for (int32_t i = 0; i < Files.Count; ++i) {
    TAsmFile& file = Files.Item(i)->Value;
    if (file.AssembleFile(file.FileName) != 0) {
      Messages += file.Messages;
      return -1;
    }
  }
  return LinkAll() != 0 ? -2 : 0;
}

int32_t TComplierAsm::LinkAll() {
  Linker.ImageName = MakeImageName(OutputName);
  const int32_t result = Linker.LinkAssembled(&Files);
  Messages += Linker.Messages;
  return result != 0 ? -1 : 0;
}

int32_t TComplierAsm::ForEachFile(int32_t (TAsmFile::*save)()) {
  Files.UpdateCount();
  if (Files.Count == 0) return -1;
  for (int32_t i = 0; i < Files.Count; ++i) {
    TAsmFile& file = Files.Item(i)->Value;
    const size_t before = file.Messages.size();
    if ((file.*save)() != 0) {
      Messages.append(file.Messages, before);
      return -1;
    }
  }
  return 0;
}

int32_t TComplierAsm::SaveAllHex() { return ForEachFile(&TAsmFile::SaveHex); }
int32_t TComplierAsm::SaveAllTvxBin() { return ForEachFile(&TAsmFile::SaveTvxBin); }
int32_t TComplierAsm::SaveAllLst() { return ForEachFile(&TAsmFile::SaveLst); }

int32_t TComplierAsm::SavePerFileOutputs() {
  if (PerFileOutputs.Hex && SaveAllHex() != 0) return -1;
  if (PerFileOutputs.TvxBin && SaveAllTvxBin() != 0) return -1;
  if (PerFileOutputs.Lst && SaveAllLst() != 0) return -1;
  return 0;
}
