// Pass 1: each line is tried as a label, a constant, an ORG line, an include and an
// instruction, in that order; the first kind that accepts it wins, and a line no
// kind accepts ends the pass.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "base/gbk_convert.h"
#include "toolchain/asm_file.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/instruction_set.h"
#include "toolchain/operands.h"
#include "toolchain/source_text.h"

namespace {

// The encoder's message for its result: which operand it did not recognise.
const char* OperandMessage(int32_t result) {
  switch (result) {
    case -1: return gbk::kMsgOperand1;
    case -2: return gbk::kMsgOperand2;
    case -3: return gbk::kMsgOperand3;
    default: return gbk::kMsgOperandOther;
  }
}

// A "%ld" scan on a 32-bit long: leading white space and a sign allowed, reading
// stops at the first non-digit, no number gives 0, and values beyond the range
// stick at its ends.
int32_t ScanLong(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT32_MAX) break;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// What pass 1 looks for in a trimmed line, found in one pass over its bytes: a
// comment, an "=" (constants), the first blank (keywords, mnemonics) and the runs
// of blanks (operand counts).
struct TLineShape {
  size_t Comment = std::string_view::npos;  // where "//" begins
  bool HasEquals = false;
  size_t FirstBlank = std::string_view::npos;
  int32_t BlankRuns = 0;
};

TLineShape ShapeOf(std::string_view line) {
  TLineShape shape;
  bool inBlank = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ') {
      if (!inBlank) {
        ++shape.BlankRuns;
        if (shape.FirstBlank == std::string_view::npos) shape.FirstBlank = i;
      }
      inBlank = true;
      continue;
    }
    inBlank = false;
    if (c == '=') {
      shape.HasEquals = true;
    } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
      shape.Comment = i;
      break;
    }
  }
  return shape;
}

// What pass 1 reads of a line: the line trimmed and without its comment, and its shape.
std::string_view CodeOfLine(std::string_view raw, TLineShape& shape) {
  std::string_view line = TrimText(raw);
  shape = ShapeOf(line);
  if (shape.Comment != std::string_view::npos) {
    line = TrimText(line.substr(0, shape.Comment));
    shape = ShapeOf(line);
  }
  return line;
}

bool IsLabelLine(std::string_view line) { return !line.empty() && line.back() == ':'; }

// The constant a line defines: 0 with its name and value, -1 no "=", -2 the value is
// no decimal literal.
int32_t ReadConstant(std::string_view line, std::string_view& name, uint32_t* value) {
  const TBlankSplit split = SplitAtFirstBlank(line);
  name = TrimText(split.Before);
  const std::string_view rest = TrimText(split.HasBlank ? split.From.substr(1) : line);
  const size_t equals = rest.find('=');
  if (equals == std::string_view::npos) return -1;
  if (DecToInt128(TrimText(rest.substr(equals + 1)), value) != 0) return -2;
  return 0;
}

}  // namespace

int32_t TAsmFile::AssembleLines() {
  if (!Buffer) return -1;
  if (BufferLen == 0) return -2;
  Code.Clear();
  mLines.Clear();
  mOpLines.Clear();
  Pass.Reset(&mOpLines);
  OrgFill = 0;
  CodeBytes = 0;
  ReadPos = 0;
  Messages.clear();
  ListLines.clear();
  Includes.clear();
  IncludedFiles.clear();
  IncludedBytes = 0;
  // Roughly one text per line (five for LD and FUNC); reserving spares the copies of
  // a growing vector, and pages never written are never touched.
  const size_t texts = 2 * static_cast<size_t>(std::count(Buffer->begin(), Buffer->end(), '\n')) + 16;
  ListLines.reserve(texts, Buffer->size());
  Code.Reserve(texts);

  while (!AtEnd()) {
    const std::string_view raw = ReadLine();
    Pass.CurLineAddr = LineNo;
    TLineShape shape;
    const std::string_view line = CodeOfLine(raw, shape);
    // Blank and comment lines hold nothing to assemble.
    if (line.empty()) {
      Pass.CurLineAddr = CodeBytes;
      continue;
    }
    if (ParseLabel(line) == 0) continue;
    // Each kind is tried only when the line holds what the kind looks for first: a
    // constant needs an "=", ORG and include lines their keyword. The kinds that
    // cannot accept the line would only give a result that is not 0.
    if (shape.HasEquals && ParseDataDef(line) == 0) continue;
    const std::string_view keyword =
        shape.FirstBlank == std::string_view::npos ? std::string_view{} : TrimText(line.substr(0, shape.FirstBlank));
    const bool org = (keyword == "ORG" || keyword == gbk::kKeywordOrg) && ParseOrg(line) == 0;
    Pass.CurLineAddr = CodeBytes;
    if (org) continue;
    if ((keyword == "INC" || keyword == gbk::kKeywordInclude) && ParseInclude(line) == 0) continue;
    const int32_t result = ParseInstruction(line, shape.BlankRuns, shape.FirstBlank);
    if (result == 0) continue;
    Messages += GbkToUtf8(gbk::kMsgLineNo + std::to_string(LineNo) + gbk::kMsgBadLine + std::string(line)) + "\r\n";
    return result;
  }
  return 0;
}

std::optional<std::string_view> TAsmFile::IncludeNameOfLine(std::string_view sourceLine) {
  TLineShape shape;
  const std::string_view line = CodeOfLine(sourceLine, shape);
  // The kinds pass 1 tries first; an ORG line has a keyword of its own.
  std::string_view name;
  uint32_t value[4];
  if (line.empty() || IsLabelLine(line) || (shape.HasEquals && ReadConstant(line, name, value) == 0)) {
    return std::nullopt;
  }
  return IncludeName(line);
}

int32_t TAsmFile::ParseLabel(std::string_view line) {
  if (!IsLabelLine(line)) return -1;
  TLineSym label;
  label.SymName.assign(line.substr(0, line.size() - 1));
  label.CodeCount = CodeBytes;
  label.LineNum = CodeBytes / 4;
  for (int i = 0; i < 4; ++i) {
    label.Offset[i] = Pass.CodeOffset[i];
    label.Segment[i] = Pass.CodeSegment[i];
  }
  mLines.Append(std::move(label));
  return 0;
}

int32_t TAsmFile::ParseDataDef(std::string_view line) {
  std::string_view name;
  uint32_t value[4];
  if (const int32_t result = ReadConstant(line, name, value); result != 0) return result;
  TLineSym constant;
  constant.SymName.assign(name);
  constant.CodeCount = 3;
  constant.LineNum = LineNo;
  for (int i = 0; i < 4; ++i) constant.Offset[i] = value[i];
  mLines.Append(std::move(constant));
  return 0;
}

int32_t TAsmFile::ParseOrg(std::string_view line) {
  const TBlankSplit split = SplitAtFirstBlank(line);
  const std::string_view keyword = TrimText(split.Before);
  const std::string_view argument = TrimText(split.From);
  if (argument.empty()) return -1;
  if (keyword != "ORG" && keyword != gbk::kKeywordOrg) return -2;
  const int32_t target = ScanLong(argument);
  std::string text(keyword);
  AddListLine(text.append(" ").append(std::to_string(target)));
  if (target < OrgFill || target > kMaxOrgBytes) return -2;
  // CodeBytes counts the fill words actually emitted, so that it stays the byte
  // address of the next word whatever the value and however many ORG lines came before.
  for (int32_t at = OrgFill; at < target; at += 4) {
    Code.Append(0);
    if (at > 0) AddListLine({});
    OrgFill += 4;
    CodeBytes += 4;
  }
  return 0;
}

int32_t TAsmFile::ParseInstruction(std::string_view line, int32_t count, size_t firstBlank) {
  if (count > kMaxOperands) return -1;
  const std::string_view mnemonic = SplitOperands(line, firstBlank, count, Pass.OperandText);
  const STAlvo128* entry = Mnemonics.Find(mnemonic, count);
  if (entry == nullptr) return -1;
  const int32_t words = entry->Encoder(Pass);
  if (words < 0) {
    Messages += GbkToUtf8(gbk::kMsgErrorLine + std::to_string(LineNo) + OperandMessage(words));
    return 4 * words;
  }
  for (int32_t i = 0; i < words; ++i) {
    Code.Append(Pass.EncodedWords[i]);
    AddListLine(i == 0 ? line : std::string_view{});
  }
  CodeBytes += 4 * words;
  Pass.CurLineAddr = CodeBytes;
  Pass.CodeOffset[0] += static_cast<uint32_t>(4 * words);
  return 0;
}

std::string_view TAsmFile::SplitOperands(std::string_view line, size_t firstBlank, int32_t count,
                                         std::string_view* operands) {
  for (int i = 0; i < kMaxOperands; ++i) operands[i] = {};
  if (count == 0 || firstBlank == std::string_view::npos) return line;
  // The rest from the first blank on, trimmed; after each operand, what follows it
  // is trimmed again, which at its end changes nothing.
  std::string_view rest = TrimText(line.substr(firstBlank));
  for (int32_t i = 0; i < count && i < kMaxOperands; ++i) {
    const std::string_view operand = NextOperand(rest);
    operands[i] = operand;
    size_t next = operand.size();
    while (next < rest.size() && IsTrimmedByte(rest[next])) ++next;
    rest.remove_prefix(next);
  }
  return line.substr(0, firstBlank);
}

std::string_view TAsmFile::NextOperand(std::string_view text) {
  size_t end = 0;
  while (end < text.size() && text[end] != ' ') ++end;
  return text.substr(0, end);
}

void TAsmFile::AddListLine(std::string_view text) { ListLines.push_back(text); }
