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
  if (!OutputName.empty()) plan.AddInput(OutputName, gbk::kMsgOverwritesProject);
  for (int32_t i = 0; i < Files.Count; ++i) {
    const std::string& source = Files.Item(i)->Value.FileName;
    if (source.empty()) continue;
    plan.AddInput(source, gbk::kMsgOverwritesSource);
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

namespace {

// The object file of one source, written on a second thread.
class TObjectWrite {
 public:
  void Start(TAsmFile& file) {
    File = &file;
    Error = std::async(std::launch::async, [&file] { return file.WriteQobj(); });
  }
  // Waits for the write; the source whose object could not be written, with the
  // reason in its messages, or null.
  TAsmFile* Finish() {
    if (File == nullptr) return nullptr;
    const int error = Error.get();
    TAsmFile* file = std::exchange(File, nullptr);
    if (error == 0) return nullptr;
    file->AddQobjFailure(error);
    return file;
  }

 private:
  TAsmFile* File = nullptr;
  std::future<int> Error;
};

}  // namespace

int32_t TComplierAsm::BuildAll() {
  Files.UpdateCount();
  Messages.clear();
  if (Files.Count == 0) return -1;
  Messages = OutputConflict();
  if (!Messages.empty()) return -1;
  TObjectWrite write;
  for (int32_t i = 0; i < Files.Count; ++i) {
    TAsmFile& file = Files.Item(i)->Value;
    const int32_t assembled = file.AssembleInMemory(file.FileName);
    // The source before comes first: a build stops at the first source that fails.
    if (const TAsmFile* failed = write.Finish()) {
      Messages += failed->Messages;
      return -1;
    }
    if (assembled != 0) {
      Messages += file.Messages;
      return -1;
    }
    write.Start(file);
  }
  Linker.ImageName = MakeImageName(OutputName);
  const int32_t prepared = Linker.PrepareAssembled(&Files);
  if (const TAsmFile* failed = write.Finish()) {
    Messages += failed->Messages;
    return -1;
  }
  const int32_t linked = prepared != 0 ? prepared : Linker.Commit();
  Messages += Linker.Messages;
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
