// The object file of an assembled source: magic line, code words, definitions,
// references.

#include "toolchain/asm_file.h"
#include "toolchain/le_file.h"
#include "toolchain/output_names.h"
#include "toolchain/qobj_format.h"

namespace {

bool AllNamesFit(const TCList<TLineSym>& list) {
  for (int32_t i = 0; i < list.CountNodes(); ++i) {
    if (!list.Item(i)->Value.NameFits()) return false;
  }
  return true;
}

bool WriteRecords(std::FILE* file, const TCList<TLineSym>& list) {
  if (!WriteWordLE(file, static_cast<uint32_t>(list.Count))) return false;
  for (int32_t i = 0; i < list.Count; ++i) {
    if (list.Item(i)->Value.WriteTo(file) != 0) return false;
  }
  return true;
}

}  // namespace

int32_t TAsmFile::SaveQobj() {
  Code.UpdateCount();
  mLines.UpdateCount();
  mOpLines.UpdateCount();
  // A name the record cannot hold is refused before the old object file is touched,
  // so the linker never meets a cut or merged name.
  if (!AllNamesFit(mLines) || !AllNamesFit(mOpLines)) return -1;
  TFilePtr file = OpenFile(ReplaceExtension(FileName, ".qobj"), "wb");
  if (!file) return -1;
  std::string code(static_cast<size_t>(Code.Count) * 4, '\0');
  for (int32_t i = 0; i < Code.Count; ++i) {
    PutWordLE(reinterpret_cast<unsigned char*>(code.data()) + 4 * i, Code.Item(i)->Value);
  }
  bool ok = std::fwrite(kQobjMagic, 1, kQobjMagicSize, file.get()) == kQobjMagicSize &&
            WriteWordLE(file.get(), static_cast<uint32_t>(Code.Count)) &&
            std::fwrite(code.data(), 1, code.size(), file.get()) == code.size() &&
            WriteRecords(file.get(), mLines) && WriteRecords(file.get(), mOpLines);
  ok = CloseWritten(file) && ok;
  return ok ? 0 : -1;
}
