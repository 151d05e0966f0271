// The per-file outputs of an assembled source: hex dump, raw code image, listing.

#include <algorithm>
#include <cstdio>

#include "toolchain/asm_file.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/hex_text.h"
#include "toolchain/le_file.h"
#include "toolchain/output_names.h"

namespace {

// Each record's name, then four rows of its offset and segment words.
void AppendSymbolBlocks(std::string& out, const TCList<TLineSym>& list) {
  for (int32_t i = 0; i < list.CountNodes(); ++i) {
    const TLineSym& sym = list.Item(i)->Value;
    out += sym.SymName + "\r\n";
    for (int k = 0; k < 4; ++k) {
      out += "\t\t";
      AppendHex8(out, sym.Offset[k]);
      out += "\t\t";
      AppendHex8(out, sym.Segment[k]);
      out += "\r\n";
    }
  }
}

const char kListRule53[] = "=====================================================\r\n";
const char kListRule49[] = "\r\n=================================================\r\n";

}  // namespace

int32_t TAsmFile::SaveHex() {
  Code.UpdateCount();
  std::string out;
  out.reserve(static_cast<size_t>(Code.Count) * 10);
  for (int32_t i = 0; i < Code.Count; ++i) {
    AppendHex8(out, Code.Item(i)->Value);
    out += "\r\n";
  }
  return WriteWholeFile(ReplaceExtension(FileName, ".hex"), out) ? 0 : -1;
}

int32_t TAsmFile::SaveTvxBin() {
  Code.UpdateCount();
  std::string out(static_cast<size_t>(Code.Count) * 4, '\0');
  for (int32_t i = 0; i < Code.Count; ++i) {
    PutWordLE(reinterpret_cast<unsigned char*>(out.data()) + 4 * i, Code.Item(i)->Value);
  }
  return WriteWholeFile(ReplaceExtension(FileName, ".tvxbin"), out) ? 0 : -1;
}

int32_t TAsmFile::SaveLst() {
  Code.UpdateCount();
  std::string out = gbk::kListHeading;
  out += kListRule53;
  const size_t rows = std::min(static_cast<size_t>(Code.Count), ListLines.size());
  for (size_t i = 0; i < rows; ++i) {
    AppendHex8(out, static_cast<uint32_t>(i * 4));
    out += "\t\t";
    AppendHex8(out, Code.Item(static_cast<int32_t>(i))->Value);
    out.append("\t\t").append(ListLines[i]).append("\r\n");
  }
  out += kListRule49;
  out += gbk::kListRefHeading;
  AppendSymbolBlocks(out, mOpLines);
  out += kListRule49;
  out += gbk::kListDefHeading;
  AppendSymbolBlocks(out, mLines);
  return WriteWholeFile(ReplaceExtension(FileName, ".lst"), out) ? 0 : -1;
}
