#include "toolchain/asm_file.h"

#include <cerrno>

#include "base/file_read.h"
#include "base/gbk_convert.h"
#include "toolchain/file_messages.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/source_text.h"

namespace {

// LoadFile's result for a reason the file could not be read.
int32_t LoadFailure(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return -2;
    case EFBIG:
    case ENOMEM:
      return -4;
    default:
      return -3;
  }
}

// Takes the line at `pos` and counts it, also a last line without a line end: an
// error there is reported on its own line, not on the one before it.
std::string_view TakeCountedLine(std::string_view text, size_t& pos, int32_t& lineNo) {
  bool ended = false;
  ++lineNo;
  return TakeLine(text, pos, ended);
}

}  // namespace

int32_t TAsmFile::LoadFile(const std::string& path) {
  if (path.empty()) {
    Messages = GbkToUtf8(gbk::kMsgNoFileName);
    return -1;
  }
  std::string text;
  int error = 0;
  if (!ReadRegularFile(path, text, &error, kMaxBufferBytes)) {
    Messages = FileFailureMessage(gbk::kMsgCannotRead, path, error);
    const int32_t result = LoadFailure(error);
    if (result == -4) {
      Buffer.reset();
      BufferLen = 0;
      ReadPos = 0;
    }
    return result;
  }
  Buffer = std::move(text);
  BufferLen = static_cast<int32_t>(Buffer->size());
  ReadPos = 0;
  FileName = path;
  return 0;
}

std::string_view TAsmFile::ReadLine() {
  // Finished includes go only now: the line read last may lie in their text.
  while (!Includes.empty() && Includes.back().Pos >= Includes.back().Text.size()) {
    Includes.pop_back();
  }
  if (!Includes.empty()) return TakeCountedLine(Includes.back().Text, Includes.back().Pos, LineNo);
  if (ReadPos >= BufferLen) return {};
  size_t pos = static_cast<size_t>(ReadPos);
  const std::string_view line = TakeCountedLine(*Buffer, pos, LineNo);
  ReadPos = static_cast<int32_t>(pos);
  return line;
}

bool TAsmFile::AtEnd() const {
  for (const TIncludedText& include : Includes) {
    if (include.Pos < include.Text.size()) return false;
  }
  return ReadPos >= BufferLen;
}

TAsmFile& TAsmFile::Assign(const TAsmFile& other) {
  if (this == &other) return *this;
  FileName = other.FileName;
  Buffer = other.Buffer;
  BufferLen = other.BufferLen;
  ReadPos = other.ReadPos;
  CodeBytes = other.CodeBytes;
  OrgFill = other.OrgFill;
  Code.Assign(other.Code);
  mLines.Assign(other.mLines);
  mOpLines.Assign(other.mOpLines);
  Messages = other.Messages;
  IncludedFiles = other.IncludedFiles;
  return *this;
}
