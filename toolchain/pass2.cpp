// Pass 2: references to names the same source defines get their operand words now;
// the linker resolves them again across all sources.

#include <string_view>

#include "toolchain/asm_file.h"
#include "toolchain/name_index.h"
#include "toolchain/operands.h"

namespace {

// The operand words a reference of the given kind takes from a definition; false
// for a kind that writes nothing.
bool OperandWords(int32_t kind, const TLineSym& def, uint32_t words[4]) {
  switch (kind) {
    case RefKindOffset:
      for (int i = 0; i < 4; ++i) words[i] = def.Offset[i];
      return true;
    case RefKindSegment:
      for (int i = 0; i < 4; ++i) words[i] = def.Segment[i];
      return true;
    case RefKindLabel:
    case RefKindData:
      words[0] = def.Offset[0];
      words[1] = words[2] = words[3] = 0;
      return true;
    default:
      return false;
  }
}

}  // namespace

int32_t TAsmFile::ResolveLabels() {
  mLines.UpdateCount();
  mOpLines.UpdateCount();
  Code.UpdateCount();
  // Applying every match in definition order leaves the last one standing, so the
  // last definition of a name is the one to look up.
  TNameIndex<const TLineSym*> definitions;
  definitions.Reserve(static_cast<size_t>(mLines.Count));
  for (int32_t j = 0; j < mLines.Count; ++j) {
    const TLineSym& def = mLines.Item(j)->Value;
    definitions.InsertLast(def.SymName, &def);
  }
  for (int32_t i = 0; i < mOpLines.Count; ++i) {
    const TLineSym& ref = mOpLines.Item(i)->Value;
    const TLineSym* const* found = definitions.Find(ref.SymName);
    if (found == nullptr) continue;
    uint32_t words[4];
    if (!OperandWords(ref.CodeCount, **found, words)) continue;
    PatchWords(static_cast<int32_t>(ref.Offset[0] / 4 + 1), words[0], words[1], words[2],
               words[3]);
  }
  return 0;
}

int32_t TAsmFile::PatchWords(int32_t index, uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3) {
  // A position that does not leave four words inside the code is no operand of this
  // source; writing there would overwrite other instructions.
  if (index < 0 || index > Code.CountNodes() - 4) return -1;
  const uint32_t words[4] = {w0, w1, w2, w3};
  for (int32_t k = 0; k < 4; ++k) Code.Item(index + k)->Value = words[k];
  return 0;
}
