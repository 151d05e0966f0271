#pragma once
// One assembly source on its way to an object file: the whole text in memory, the
// line reader, pass 1 (line grammar), pass 2 (references within the file) and the
// per-file outputs. Results are int32 codes; error text is kept in Messages, UTF-8
// text (GBK parts converted, paths as the file system names them), each message
// ending in CR LF. A register operand with a number part that is not an
// integer throws EConvertError out of AssembleFile.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/file_error.h"
#include "toolchain/code_words.h"
#include "toolchain/line_sym.h"
#include "toolchain/list_texts.h"
#include "toolchain/mnemonic_cache.h"
#include "toolchain/output_plan.h"
#include "toolchain/pass_state.h"
#include "toolchain/tclist.h"

class TAsmFile {
 public:
  // Bounds that keep a runaway source (include cycles, huge ORG values) from
  // exhausting memory; going past them fails the line like a missing file would.
  // The source and every text one assembly includes stay within kMaxBufferBytes
  // together, however often a file is included.
  static constexpr int32_t kMaxBufferBytes = 64 << 20;
  static constexpr int32_t kMaxOrgBytes = 4 << 20;
  static constexpr size_t kMaxIncludeDepth = 64;

  std::string FileName;
  std::optional<std::string> Buffer;  // the source's text; absent until a file is loaded
  int32_t BufferLen = 0;
  int32_t ReadPos = 0;
  int32_t CodeBytes = 0;  // always 4 x the words in Code
  int32_t LineNo = 0;     // line ends read so far
  int32_t OrgFill = 0;    // byte position up to which ORG lines have emitted zero words
  TCodeWords Code;
  TCList<TLineSym> mLines;    // label and constant definitions
  TCList<TLineSym> mOpLines;  // label references made by instructions
  std::string Messages;
  TListTexts ListLines;  // listing texts, paired with Code by position
  // Every file the last pass 1 read as an include, by the path it was read from; after
  // ReadRestForIncludes, every file the whole source includes.
  std::unordered_set<std::string> IncludedFiles;

  TAsmFile() = default;
  ~TAsmFile() = default;
  // Copies go through Assign; moves take everything.
  TAsmFile(const TAsmFile& other) { Assign(other); }
  TAsmFile& operator=(const TAsmFile& other) { return Assign(other); }
  TAsmFile(TAsmFile&&) = default;
  TAsmFile& operator=(TAsmFile&&) = default;

  // 0, -1 empty path, -2 no such file, -3 cannot open (also a folder, FIFO or
  // device), -4 no memory (or too big). A failure puts its reason in Messages.
  int32_t LoadFile(const std::string& path);
  std::string_view ReadLine();  // valid until the buffer next changes
  bool AtEnd() const;

  // 0 assembled and ".qobj" written; -1 load failed; -2 pass 1 failed; -4 object
  // file not written. Every failure but an empty source says why in Messages.
  int32_t AssembleFile(const std::string& path);
  // The same up to the object file, which is checked but not yet written: WriteQobj
  // writes it.
  int32_t AssembleInMemory(const std::string& path);

  // Copies everything but the line counter and the listing texts.
  TAsmFile& Assign(const TAsmFile& other);

  // Pass 1.
  int32_t AssembleLines();
  int32_t ParseLabel(std::string_view line);
  int32_t ParseDataDef(std::string_view line);
  int32_t ParseOrg(std::string_view line);
  int32_t ParseInclude(std::string_view line);
  // The file a trimmed line without comment names when its keyword is an include's;
  // nothing for another keyword.
  static std::optional<std::string_view> IncludeName(std::string_view line);
  // The name is GBK, as the source writes it. A relative name is looked for in the
  // current folder first, then in the folder of the file that holds the include line.
  int32_t SpliceInclude(const std::string& fileName);
  // A non-empty instruction line whose blank runs (its operand count) and first blank
  // are known: 0 = assembled; -1 = not an instruction; 4 x the encoder's negative
  // result when an operand is rejected.
  int32_t ParseInstruction(std::string_view line, int32_t count, size_t firstBlank);
  // The mnemonic; the operands are views into the line.
  static std::string_view SplitOperands(std::string_view line, size_t firstBlank, int32_t count,
                                        std::string_view* operands);
  static std::string_view NextOperand(std::string_view text);
  void AddListLine(std::string_view text);

  // Pass 2: patches the references the file can resolve itself; cannot fail.
  int32_t ResolveLabels();
  int32_t PatchWords(int32_t index, uint32_t w0, uint32_t w1, uint32_t w2, uint32_t w3);

  // Per-file outputs and the object file, named from FileName; 0, or -1 when the file
  // cannot be written, with the file and the reason added to Messages. SaveQobj also
  // refuses names that do not fit and an object that would replace its own source.
  int32_t SaveHex();
  int32_t SaveTvxBin();
  int32_t SaveLst();
  int32_t SaveQobj();
  // The two halves of SaveQobj. PrepareQobj: 0, or -1 with the reason in Messages.
  // WriteQobj then writes the file and gives error 0 or why it could not, for
  // AddQobjFailure. WriteQobj only reads the object, so it may run on another thread
  // while nothing changes the object.
  int32_t PrepareQobj();
  TWriteFailure WriteQobj() const;
  void AddQobjFailure(const TWriteFailure& failure);
  std::string QobjName() const;
  // The files this source's assembly read, for a check that no output replaces one.
  void AddReadFilesTo(TOutputPlan& plan) const;
  // For a source whose pass 1 stopped at a line it could not take, or that was never
  // assembled: reads on from where pass 1 stopped (a source never loaded from its
  // start), splicing every include as pass 1 would and assembling nothing, so that
  // IncludedFiles names what a whole pass 1 would read. Leaves the line reader at
  // the end; Messages, the code and the lists stay as they were.
  void ReadRestForIncludes();

  TAsmPassState Pass;  // shared by pass 1 and the encoders while this file is assembled

 private:

  // An included file's text is read to its end, in place of its include line,
  // before the text after that line; includes nest, the innermost last.
  struct TIncludedText {
    std::string Text;
    size_t Pos = 0;
    std::string Folder;  // where the file lies, for the relative includes it makes
  };
  std::vector<TIncludedText> Includes;
  TMnemonicCache Mnemonics;
  int64_t IncludedBytes = 0;  // every text this assembly included so far

  std::string IncludingFolder() const;
  // The file a source line names when pass 1 takes it for an include line, before the
  // file is looked for; nothing for a line of any other kind.
  static std::optional<std::string_view> IncludeNameOfLine(std::string_view sourceLine);
  // Reads the file as an included text; false when it cannot be read or would take
  // the assembly past kMaxBufferBytes.
  bool ReadIncludedText(const std::string& path, std::string& text) const;
};
