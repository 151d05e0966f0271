#include "toolchain/qobj_file.h"

#include <algorithm>
#include <new>

#include "base/file_read.h"
#include "base/gbk_convert.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/le_file.h"
#include "toolchain/qobj_format.h"

namespace {

// Reads count records into the list; a negative count reads none. The count is
// checked against the bytes the file still holds before anything is read, so a
// forged count costs nothing.
int32_t ReadRecords(std::FILE* file, int32_t count, TCList<TLineSym>& list) {
  if (count <= 0) return 0;
  const int64_t left = BytesLeft(file);
  if (left < 0 || static_cast<int64_t>(count) * static_cast<int64_t>(kLineSymRecordSize) > left) {
    return -5;
  }
  // Read in pieces: a piece keeps the buffer small whatever the file holds.
  constexpr int32_t kRecordsPerPiece = 1024;
  std::string piece;
  for (int32_t done = 0; done < count;) {
    const int32_t n = std::min(kRecordsPerPiece, count - done);
    piece.resize(static_cast<size_t>(n) * kLineSymRecordSize);
    if (std::fread(piece.data(), 1, piece.size(), file) != piece.size()) return -5;
    for (int32_t i = 0; i < n; ++i) {
      TLineSym record;
      record.FromRecord(reinterpret_cast<const unsigned char*>(piece.data()) +
                        static_cast<size_t>(i) * kLineSymRecordSize);
      if (!list.Append(std::move(record))) return -4;
    }
    done += n;
  }
  return 0;
}

void WriteSymbolList(TReplacingFile& out, const TCList<TLineSym>& list) {
  for (int32_t i = 0, count = list.CountNodes(); i < count; ++i) {
    list.Item(i)->Value.AppendText(out.Buffer);
    out.Write("\r\n");
  }
}

}  // namespace

void TQOBJFile::Empty() {
  CodeSize = 0;
  Code.clear();
  Code.shrink_to_fit();
  mLines.Clear();
  mOpLines.Clear();
}

int32_t TQOBJFile::LoadFromFile(const std::string& path, int* error) {
  TFilePtr file = OpenRegularFile(path, error);
  if (!file) return -1;
  Empty();
  FileName = path;
  const int32_t result = ReadContent(file.get());
  if (result != 0) Empty();
  return result;
}

int32_t TQOBJFile::ReadContent(std::FILE* file) {
  if (!ReadQobjMagic(file)) return -2;
  int32_t words = 0;
  if (!ReadInt32LE(file, words)) return -5;
  if (words < 0) return -3;
  if (words > INT32_MAX / 4) return -4;  // CodeSize counts bytes in 32 bits
  const int64_t left = BytesLeft(file);
  if (left < 0 || static_cast<int64_t>(words) * 4 > left) return -5;
  std::string bytes;
  try {
    Code.resize(static_cast<size_t>(words));
    bytes.resize(static_cast<size_t>(words) * 4);
  } catch (const std::bad_alloc&) {
    return -4;
  }
  if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) return -5;
  for (size_t i = 0; i < Code.size(); ++i) {
    Code[i] = GetWordLE(reinterpret_cast<const unsigned char*>(bytes.data()) + 4 * i);
  }
  CodeSize = words * 4;
  int32_t count = 0;
  if (!ReadInt32LE(file, count)) return -5;
  if (const int32_t result = ReadRecords(file, count, mLines); result != 0) return result;
  if (!ReadInt32LE(file, count)) return -5;
  return ReadRecords(file, count, mOpLines);
}

TQOBJFile& TQOBJFile::Assign(const TQOBJFile& other) {
  if (this == &other) return *this;
  FileName = other.FileName;
  try {
    Code = other.Code;
    CodeSize = other.CodeSize;
  } catch (const std::bad_alloc&) {
    Code.clear();
    CodeSize = 0;
  }
  mLines.Assign(other.mLines);
  mOpLines.Assign(other.mOpLines);
  return *this;
}

void AppendObjectDump(TReplacingFile& out, const std::string& fileName,
                      const TCList<TLineSym>& lines, const TCList<TLineSym>& opLines) {
  out.Write("-----------------------------------");
  out.Write(gbk::kDumpFileName + PathToStoredName(fileName).value_or(fileName) + "\r\n");
  out.Write(gbk::kDumpDefHeading);
  out.Write(gbk::kDumpDefCount + std::to_string(lines.CountNodes()) + "\r\n");
  WriteSymbolList(out, lines);
  out.Write(gbk::kDumpRefHeading);
  out.Write(gbk::kDumpRefCount + std::to_string(opLines.CountNodes()) + "\r\n");
  WriteSymbolList(out, opLines);
}
