#include "toolchain/complier_asm.h"

void TComplierAsm::AddFile(const std::string& path) {
  TAsmFile file;
  file.FileName = path;
  Files.Append(std::move(file));
}

int32_t TComplierAsm::BuildAll() {
  Files.UpdateCount();
  Messages.clear();
  if (Files.Count == 0) return -1;
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
  return Linker.Link(&Files) != 0 ? -1 : 0;
}

int32_t TComplierAsm::ForEachFile(int32_t (TAsmFile::*save)()) {
  Files.UpdateCount();
  if (Files.Count == 0) return -1;
  for (int32_t i = 0; i < Files.Count; ++i) (Files.Item(i)->Value.*save)();
  return 0;
}

int32_t TComplierAsm::SaveAllHex() { return ForEachFile(&TAsmFile::SaveHex); }
int32_t TComplierAsm::SaveAllTvxBin() { return ForEachFile(&TAsmFile::SaveTvxBin); }
int32_t TComplierAsm::SaveAllLst() { return ForEachFile(&TAsmFile::SaveLst); }
