#include "toolchain/complier_asm.h"

#include <future>
#include <utility>

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
  if (!OutputName.empty()) {
    plan.AddInput(OutputName, gbk::kMsgOverwritesProject);
    plan.AddInput(ProjectSetupName(OutputName), gbk::kMsgOverwritesProject);
  }
  for (int32_t i = 0; i < Files.Count; ++i) {
    const TAsmFile& file = Files.Item(i)->Value;
    const std::string& source = file.FileName;
    if (source.empty()) continue;
    file.AddReadFilesTo(plan);
    plan.AddOutput(MakeQobjName(source), "asm", source);
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

std::vector<const TAsmFile*> TComplierAsm::FirstSources(int32_t count) const {
  std::vector<const TAsmFile*> sources;
  for (int32_t i = 0; i < count; ++i) sources.push_back(&Files.Item(i)->Value);
  return sources;
}

TComplierAsm::TObjectsWritten TComplierAsm::WriteObjects(const std::vector<const TAsmFile*>& sources) {
  const int32_t count = static_cast<int32_t>(sources.size());
  for (int32_t i = 0; i < count; ++i) {
    if (TWriteFailure failure = sources[i]->WriteQobj(); failure.Error != 0) return {i, std::move(failure)};
  }
  return {count, {}};
}

int32_t TComplierAsm::AddObjectFailure(const TObjectsWritten& written) {
  if (written.Failure.Error == 0) return 0;
  TAsmFile& failed = Files.Item(written.Failed)->Value;
  failed.AddQobjFailure(written.Failure);
  Messages += failed.Messages;
  return -1;
}

int32_t TComplierAsm::BuildAll() {
  Files.UpdateCount();
  Messages.clear();
  Warnings.clear();
  if (Files.Count == 0) return -1;
  int32_t failed = Files.Count;
  for (int32_t i = 0; i < Files.Count && failed == Files.Count; ++i) {
    TAsmFile& file = Files.Item(i)->Value;
    if (file.AssembleInMemory(file.FileName) != 0) failed = i;
  }
  // A failed build has read its sources up to the failing line; what it has not read
  // is read now for the files it includes, which no output of it may replace either.
  for (int32_t i = failed; i < Files.Count; ++i) Files.Item(i)->Value.ReadRestForIncludes();
  Messages = OutputConflict();
  if (!Messages.empty()) {
    if (failed < Files.Count) Messages += Files.Item(failed)->Value.Messages;
    return -1;
  }
  if (failed < Files.Count) {
    // A build stops at the first source that fails, with the objects before it written.
    if (AddObjectFailure(WriteObjects(FirstSources(failed))) != 0) return -1;
    Messages += Files.Item(failed)->Value.Messages;
    return -1;
  }
  std::future<TObjectsWritten> objects =
      std::async(std::launch::async, [sources = FirstSources(Files.Count)] { return WriteObjects(sources); });
  Linker.ImageName = MakeImageName(OutputName);
  const int32_t prepared = Linker.PrepareAssembled(&Files);
  if (AddObjectFailure(objects.get()) != 0) return -1;
  const int32_t linked = prepared != 0 ? prepared : Linker.Commit();
  Messages += Linker.Messages;
  Warnings = Linker.Warnings;
  return linked != 0 ? -2 : 0;
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
