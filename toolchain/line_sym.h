#pragma once
// One symbol definition or reference of an assembled source, and its fixed-size
// record in object files.

#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kLineSymNameField = 1024;
constexpr size_t kLineSymRecordSize = 1064;

class TLineSym {
 public:
  std::string SymName;
  int32_t CodeCount = 0;
  int32_t LineNum = 0;
  uint32_t Offset[4] = {};
  uint32_t Segment[4] = {};

  TLineSym() = default;
  void Clear() { *this = TLineSym{}; }

  // Whether the name fits the record's name field with its terminating NUL.
  bool NameFits() const { return SymName.size() < kLineSymNameField; }

  // Appends the record's bytes; false, appending nothing, when the name does not fit.
  bool AppendRecord(std::string& out) const;
  // Takes the fields from the kLineSymRecordSize bytes at record. The name is the
  // field's bytes up to the first NUL, all 1024 when it holds none.
  void FromRecord(const unsigned char* record);
  // The eleven-line dump, every line ending in CR LF.
  std::string ToText() const;
  void AppendText(std::string& out) const;
};
