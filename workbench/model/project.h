#pragma once
// The workbench's project: the project file's path, the sources in build order,
// six option flags and the assembler driver that builds them. The project file's
// path is the file system's, as a dialog or the command line gives it; the entries
// are the names the project file holds (GBK), which StoredNameToPath turns into paths.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "toolchain/build_report.h"
#include "toolchain/complier_asm.h"
#include "toolchain/tclist.h"
#include "workbench/model/files_together.h"

// The two dialogs the project opens; the window layer supplies them, tests fake them.
class TProjectDialogs {
 public:
  virtual ~TProjectDialogs() = default;
  // Shows the file list (caption UTF-8) for editing; true and the new list on OK.
  virtual bool EditFileList(const std::string& caption, std::vector<std::string>& files) = 0;
  // Shows the six flags as check boxes; true when confirmed with its OK button.
  virtual bool EditSetup(uint8_t (&flags)[6]) = 0;
};

// A project save that did not take place: the project file and its options file are
// as they were. what() is the class library's text; the window tells Failure its own way.
class TFileNotSaved : public std::runtime_error {
 public:
  explicit TFileNotSaved(const TSaveFailure& failure);
  TSaveFailure Failure;
};

// The build for an empty source list: no source, no result of the driver.
constexpr int32_t kBuildNothingToBuild = -3;
// A save to another folder whose entries cannot all be named from there.
constexpr int32_t kSaveNameNotStorable = -3;

class TProject {
 public:
  std::string FileName;
  TCList<std::string> Files;
  uint8_t ShowCommInfo = 0;
  uint8_t ShowWarning = 1;
  uint8_t ShowError = 1;
  uint8_t MakeList = 1;
  uint8_t MakeTvxbin = 1;
  uint8_t MakeHex = 1;
  TComplierAsm Compiler;

  // Message boxes (GBK text, flags) of the project; unset shows nothing.
  std::function<int(const std::string& text, int flags)> ShowBox;
  TProjectDialogs* Dialogs = nullptr;

  void AddFile(const std::string& path);
  // 0; -2 no sources (nothing written). Writes the project file and its options
  // file, both or neither: when either cannot be written in full, TFileNotSaved names
  // it and the reason, and both files stay as they were. The entries are written as
  // they stand.
  int32_t SaveToFile(const std::string& path);
  // Saves the project as the file at `path` and makes it the project's file: the
  // relative entries are rewritten for its folder, so that the project builds what it
  // built before. 0; -2 as SaveToFile; kSaveNameNotStorable when an entry's file
  // cannot be named from there (its path in `unstorable`); throws as SaveToFile. Only
  // a save that took place changes the project.
  int32_t SaveAs(const std::string& path, std::string* unstorable = nullptr);
  // 0; -2 empty file (nothing changed). A file that cannot be read (or is no regular
  // file) throws std::runtime_error (UTF-8) with nothing changed.
  int32_t LoadFromFile(const std::string& path);
  // 0; -1 empty name; -2 the file cannot be opened (flags unchanged).
  int32_t LoadSetup(const std::string& name);
  // 0; -1 a source failed; -2 the link failed; kBuildNothingToBuild without sources.
  int32_t Build();
  // What the build command shows for Build's result: without sources the driver did
  // not run, and its texts belong to an earlier build.
  TBuildReport BuildReportFor(int32_t result) const;
  // The file-system path of a project entry: a relative one lies beside the project
  // file.
  std::string EntryPath(const std::string& entry) const;
  // The non-empty entries of Files, in order.
  int32_t ToStrings(std::vector<std::string>* list) const;
  // The dialog's result: 1 OK, 0 cancelled, -1 no dialog.
  int32_t EditFileList();
  int32_t EditSetup();

  // Every entry of Files, empty ones included.
  std::vector<std::string> AllFiles() const;
  void SetFiles(const std::vector<std::string>& files);

 private:
  uint8_t* FlagAt(int index);
  // The options file's bytes for the flags.
  std::string SetupBytes();
  void WriteFiles(const std::string& path, const std::vector<std::string>& files);
};

// The project file's lines: a line ends at CR LF, CR or LF; NUL ends the text; a
// final line end adds no empty line.
std::vector<std::string> SplitProjectLines(const std::string& bytes);
