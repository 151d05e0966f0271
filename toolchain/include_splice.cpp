// Include lines: the named file's text is read in place of the include line, as
// part of the source.

#include <cstdio>
#include <new>

#include "toolchain/asm_file.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/le_file.h"
#include "toolchain/source_text.h"

namespace {

bool EndsWithLineEnd(const std::string& text) {
  return text.empty() || text.back() == '\n' || text.back() == '\r';
}

}  // namespace

int32_t TAsmFile::ParseInclude(std::string_view line) {
  const TBlankSplit split = SplitAtFirstBlank(TrimText(line));
  const std::string_view keyword = TrimText(split.Before);
  if (keyword != "INC" && keyword != gbk::kKeywordInclude) return -1;
  std::string_view rest = TrimText(split.From);
  const size_t open = rest.find('"');
  if (open != std::string_view::npos) rest.remove_prefix(open + 1);
  const size_t close = rest.find('"');
  return SpliceInclude(std::string(close == std::string_view::npos ? std::string_view{}
                                                                   : rest.substr(0, close)));
}

int32_t TAsmFile::SpliceInclude(const std::string& fileName) {
  // Too deep a nesting is an include cycle in all likelihood.
  if (!Buffer || Includes.size() >= kMaxIncludeDepth) return -1;
  TFilePtr file = OpenFile(fileName, "rb");
  if (!file || fseeko(file.get(), 0, SEEK_END) != 0) return -1;
  const off_t size = ftello(file.get());
  if (size < 0 || fseeko(file.get(), 0, SEEK_SET) != 0) return -1;
  int64_t held = BufferLen;
  for (const TIncludedText& include : Includes) held += static_cast<int64_t>(include.Text.size());
  // Two bytes for the line end an unterminated file gets.
  if (held + static_cast<int64_t>(size) + 2 > kMaxBufferBytes) return -1;

  try {
    std::string text(static_cast<size_t>(size), '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    if (std::ferror(file.get())) return -1;
    // Without it the file's last line would run into the line after the include.
    if (!EndsWithLineEnd(text)) text.append("\r\n");
    Includes.push_back({std::move(text), 0});
  } catch (const std::bad_alloc&) {
    return -2;
  }
  return 0;
}
