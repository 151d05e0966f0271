// The object file of an assembled source: magic line, code words, definitions,
// references.

#include "toolchain/asm_file.h"
#include "toolchain/file_messages.h"
#include "toolchain/gbk_texts.h"
#include "toolchain/link.h"
#include "toolchain/output_file.h"
#include "toolchain/output_plan.h"
#include "toolchain/qobj_format.h"

namespace {

// The first name the record cannot hold, or null.
const TLineSym* FirstNameTooLong(const TCList<TLineSym>& list) {
  for (int32_t i = 0; i < list.Count; ++i) {
    if (!list.Item(i)->Value.NameFits()) return &list.Item(i)->Value;
  }
  return nullptr;
}

// The start of a long name for a message, cut between two GBK characters.
std::string NameStart(const std::string& name) {
  constexpr size_t kShown = 32;
  size_t end = 0;
  while (end < name.size()) {
    const size_t next = end + (static_cast<unsigned char>(name[end]) >= 0x81 ? 2 : 1);
    if (next > kShown || next > name.size()) break;
    end = next;
  }
  return name.substr(0, end) + "...";
}

void WriteRecords(TReplacingFile& out, const TCList<TLineSym>& list) {
  AppendWordLE(out, static_cast<uint32_t>(list.Count));
  for (int32_t i = 0; i < list.Count; ++i) {
    list.Item(i)->Value.AppendRecord(out.Buffer);
    out.Spill();
  }
}

}  // namespace

int32_t TAsmFile::PrepareQobj() {
  Code.UpdateCount();
  mLines.UpdateCount();
  mOpLines.UpdateCount();
  const std::string path = QobjName();
  TOutputPlan plan;
  AddReadFilesTo(plan);
  plan.AddOutput(path, "asm", FileName);
  if (const std::string conflict = plan.Conflict(); !conflict.empty()) {
    Messages += conflict;
    return -1;
  }
  // A name the record cannot hold is refused before the old object file is touched,
  // so the linker never meets a cut or merged name.
  const TLineSym* tooLong = FirstNameTooLong(mLines);
  if (tooLong == nullptr) tooLong = FirstNameTooLong(mOpLines);
  if (tooLong != nullptr) {
    Messages += FileFailureMessage(gbk::kMsgNameTooLong, path, NameStart(tooLong->SymName));
    return -1;
  }
  return 0;
}

TWriteFailure TAsmFile::WriteQobj() const {
  return WriteReplacingFile(QobjName(), [&](TReplacingFile& out) {
    out.Write(std::string_view(kQobjMagic, kQobjMagicSize));
    AppendWordLE(out, static_cast<uint32_t>(Code.Count));
    for (const uint32_t word : Code.All()) AppendWordLE(out, word);
    WriteRecords(out, mLines);
    WriteRecords(out, mOpLines);
  });
}

void TAsmFile::AddQobjFailure(const TWriteFailure& failure) {
  Messages += WriteFailure(QobjName(), failure);
}

std::string TAsmFile::QobjName() const { return MakeQobjName(FileName); }

void TAsmFile::AddReadFilesTo(TOutputPlan& plan) const {
  plan.AddInput(FileName, gbk::kMsgOverwritesSource);
  for (const std::string& include : IncludedFiles) plan.AddInput(include, gbk::kMsgOverwritesSource);
}

int32_t TAsmFile::SaveQobj() {
  if (PrepareQobj() != 0) return -1;
  const TWriteFailure failure = WriteQobj();
  if (failure.Error == 0) return 0;
  AddQobjFailure(failure);
  return -1;
}
