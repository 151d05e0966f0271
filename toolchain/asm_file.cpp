#include "toolchain/asm_file.h"

#include <cstdio>
#include <filesystem>
#include <new>

#include "toolchain/le_file.h"
#include "toolchain/source_text.h"

int32_t TAsmFile::LoadFile(const std::string& path) {
  if (path.empty()) return -1;
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) return -2;
  if (std::filesystem::is_directory(status)) return -3;
  TFilePtr file = OpenFile(path, "rb");
  if (!file) return -3;
  if (fseeko(file.get(), 0, SEEK_END) != 0) return -3;
  const off_t size = ftello(file.get());
  if (size < 0 || fseeko(file.get(), 0, SEEK_SET) != 0) return -3;

  Buffer.reset();
  BufferLen = 0;
  ReadPos = 0;
  if (size > kMaxBufferBytes) return -4;
  try {
    std::string text(static_cast<size_t>(size), '\0');
    // A file that shrank while being read keeps what could be read.
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
    Buffer = std::move(text);
  } catch (const std::bad_alloc&) {
    return -4;
  }
  BufferLen = static_cast<int32_t>(Buffer->size());
  FileName = path;
  return 0;
}

namespace {

// Takes the line at `pos` and counts its line end.
std::string_view TakeCountedLine(std::string_view text, size_t& pos, int32_t& lineNo) {
  bool ended = false;
  const std::string_view line = TakeLine(text, pos, ended);
  if (ended) ++lineNo;
  return line;
}

}  // namespace

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
  return *this;
}
