// The per-file outputs of an assembled source: hex dump, raw code image, listing.

#include <algorithm>

#include "toolchain/asm_file.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/hex_text.h"
#include "toolchain/output_file.h"
#include "toolchain/output_names.h"

namespace {

// Each record's name, then four rows of its offset and segment words.
void AppendSymbolBlocks(TReplacingFile& out, const TCList<TLineSym>& list) {
  for (int32_t i = 0; i < list.CountNodes(); ++i) {
    const TLineSym& sym = list.Item(i)->Value;
    out.Buffer.append(sym.SymName).append("\r\n");
    for (int k = 0; k < 4; ++k) {
      out.Buffer += "\t\t";
      AppendHex8(out.Buffer, sym.Offset[k]);
      out.Buffer += "\t\t";
      AppendHex8(out.Buffer, sym.Segment[k]);
      out.Buffer += "\r\n";
    }
    out.Spill();
  }
}

const char kListRule53[] = "=====================================================\r\n";
const char kListRule49[] = "\r\n=================================================\r\n";

}  // namespace

int32_t TAsmFile::SaveHex() {
  return WriteOutputFile(ReplaceExtension(FileName, ".hex"), Messages, [&](TReplacingFile& out) {
    for (const uint32_t word : Code.All()) {
      AppendHex8(out.Buffer, word);
      out.Buffer += "\r\n";
      out.Spill();
    }
  });
}

int32_t TAsmFile::SaveTvxBin() {
  return WriteOutputFile(ReplaceExtension(FileName, ".tvxbin"), Messages, [&](TReplacingFile& out) {
    for (const uint32_t word : Code.All()) AppendWordLE(out, word);
  });
}

int32_t TAsmFile::SaveLst() {
  return WriteOutputFile(ReplaceExtension(FileName, ".lst"), Messages, [&](TReplacingFile& out) {
    out.Buffer.append(gbk::kListHeading).append(kListRule53);
    const std::vector<uint32_t>& words = Code.All();
    const size_t rows = std::min(words.size(), ListLines.size());
    for (size_t i = 0; i < rows; ++i) {
      AppendHex8(out.Buffer, static_cast<uint32_t>(i * 4));
      out.Buffer += "\t\t";
      AppendHex8(out.Buffer, words[i]);
      out.Buffer.append("\t\t").append(ListLines[i]).append("\r\n");
      out.Spill();
    }
    out.Buffer.append(kListRule49).append(gbk::kListRefHeading);
    AppendSymbolBlocks(out, mOpLines);
    out.Buffer.append(kListRule49).append(gbk::kListDefHeading);
    AppendSymbolBlocks(out, mLines);
  });
}
