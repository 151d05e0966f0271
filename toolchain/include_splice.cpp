// Include lines: the named file's text is read in place of the include line, as
// part of the source.

#include <new>
#include <optional>
#include <string>

#include "base/file_read.h"
#include "base/gbk_convert.h"
#include "base/path_parts.h"
#include "toolchain/asm_file.h"
#include "toolchain/file_messages.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/source_text.h"

namespace {

bool EndsWithLineEnd(const std::string& text) {
  return text.empty() || text.back() == '\n' || text.back() == '\r';
}

}  // namespace

std::optional<std::string_view> TAsmFile::IncludeName(std::string_view line) {
  const TBlankSplit split = SplitAtFirstBlank(TrimText(line));
  const std::string_view keyword = TrimText(split.Before);
  if (keyword != "INC" && keyword != gbk::kKeywordInclude) return std::nullopt;
  std::string_view rest = TrimText(split.From);
  const size_t open = rest.find('"');
  if (open != std::string_view::npos) rest.remove_prefix(open + 1);
  const size_t close = rest.find('"');
  return close == std::string_view::npos ? std::string_view{} : rest.substr(0, close);
}

int32_t TAsmFile::ParseInclude(std::string_view line) {
  const std::optional<std::string_view> name = IncludeName(line);
  return name ? SpliceInclude(std::string(*name)) : -1;
}

void TAsmFile::ReadRestForIncludes() {
  // A source not assembled is read whole (one that cannot be read includes nothing);
  // one read to its end has nothing left.
  if (!Buffer) {
    std::string messages = std::move(Messages);
    const bool loaded = LoadFile(FileName) == 0;
    Messages = std::move(messages);
    if (!loaded) return;
  }
  while (!AtEnd()) {
    if (const std::optional<std::string_view> name = IncludeNameOfLine(ReadLine())) {
      SpliceInclude(std::string(*name));
    }
  }
}

std::string TAsmFile::IncludingFolder() const {
  // The line being examined was read from the innermost text still held.
  return Includes.empty() ? FolderPrefixOf(FileName) : Includes.back().Folder;
}

bool TAsmFile::ReadIncludedText(const std::string& path, std::string& text) const {
  // Two bytes for the line end an unterminated file gets.
  const int64_t room = kMaxBufferBytes - BufferLen - IncludedBytes - 2;
  return room >= 0 && ReadRegularFile(path, text, nullptr, static_cast<uint64_t>(room));
}

int32_t TAsmFile::SpliceInclude(const std::string& fileName) {
  // Too deep a nesting is an include cycle in all likelihood.
  if (!Buffer || Includes.size() >= kMaxIncludeDepth) return -1;
  const std::string name = StoredNameToPath(fileName);
  std::string path = name;
  std::string text;
  try {
    bool found = ReadIncludedText(path, text);
    // The current folder of a program started from a menu is seldom the source's.
    if (!found && !name.empty() && name.front() != '/' && !IncludingFolder().empty()) {
      path = IncludingFolder() + name;
      found = ReadIncludedText(path, text);
    }
    if (!found) return -1;
    IncludedBytes += static_cast<int64_t>(text.size());
    IncludedFiles.insert(path);
    // Without it the file's last line would run into the line after the include.
    if (!EndsWithLineEnd(text)) text.append("\r\n");
    Includes.push_back({std::move(text), 0, FolderPrefixOf(path)});
  } catch (const std::bad_alloc&) {
    return -2;
  }
  return 0;
}
