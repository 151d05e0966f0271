// The object file of an assembled source: magic line, code words, definitions,
// references.

#include "toolchain/asm_file.h"
#include "toolchain/output_file.h"
#include "toolchain/output_names.h"
#include "toolchain/qobj_format.h"

namespace {

bool AllNamesFit(const TCList<TLineSym>& list) {
  for (int32_t i = 0; i < list.Count; ++i) {
    if (!list.Item(i)->Value.NameFits()) return false;
  }
  return true;
}

void WriteRecords(TReplacingFile& out, const TCList<TLineSym>& list) {
  AppendWordLE(out, static_cast<uint32_t>(list.Count));
  for (int32_t i = 0; i < list.Count; ++i) {
    list.Item(i)->Value.AppendRecord(out.Buffer);
    out.Spill();
  }
}

}  // namespace

int32_t TAsmFile::SaveQobj() {
  Code.UpdateCount();
  mLines.UpdateCount();
  mOpLines.UpdateCount();
  // A name the record cannot hold is refused before the old object file is touched,
  // so the linker never meets a cut or merged name.
  if (!AllNamesFit(mLines) || !AllNamesFit(mOpLines)) return -1;
  return WriteOutputFile(ReplaceExtension(FileName, ".qobj"), [&](TReplacingFile& out) {
    out.Write(std::string_view(kQobjMagic, kQobjMagicSize));
    AppendWordLE(out, static_cast<uint32_t>(Code.Count));
    for (int32_t i = 0; i < Code.Count; ++i) AppendWordLE(out, Code.Item(i)->Value);
    WriteRecords(out, mLines);
    WriteRecords(out, mOpLines);
  });
}
