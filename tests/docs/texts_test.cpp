// The reference names every text the programs show: each GBK text the kit keeps in
// escapes (the toolchain's, the windows', the reasons of file errors, the test
// dialog's), and each Chinese text the workbench's windows put in a box, the status
// bar or an input box, stands in docs/ line by line. Its table of chapters lists every
// chapter.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../common/file_bytes.h"
#include "base/gbk_convert.h"
#include "reference_tables.h"

namespace {

struct TLiteral {
  std::string Text;        // the bytes it stands for, adjacent literals joined
  bool HexEscaped = false;  // written with \x escapes: GBK bytes
  std::string Statement;   // its statement's code before it, without comments and other literals
};

// The string literals of a C++ source outside its comments.
std::vector<TLiteral> Literals(const std::string& code) {
  std::vector<TLiteral> literals;
  std::string statement;
  for (size_t i = 0; i < code.size();) {
    if (code.compare(i, 2, "//") == 0) {
      i = code.find('\n', i);
    } else if (code.compare(i, 2, "/*") == 0) {
      i = code.find("*/", i);
      if (i != std::string::npos) i += 2;
    } else if (code[i] == '\'') {
      i = code.find('\'', i + (code[i + 1] == '\\' ? 3 : 2));
      if (i != std::string::npos) ++i;
    } else if (code[i] == '"') {
      TLiteral literal{{}, false, statement};
      for (; i < code.size() && code[i] == '"'; i = code.find_first_not_of(" \t\r\n", i)) {
        for (++i; i < code.size() && code[i] != '"'; ++i) {
          if (code[i] != '\\') {
            literal.Text += code[i];
          } else if (code[++i] == 'x') {
            literal.Text += static_cast<char>(std::stoi(code.substr(i + 1, 2), nullptr, 16));
            literal.HexEscaped = true;
            i += 2;
          } else {
            literal.Text += code[i] == 'n' ? '\n' : code[i] == 'r' ? '\r' : code[i] == 't' ? '\t' : code[i];
          }
        }
        ++i;
      }
      literals.push_back(literal);
      continue;
    } else {
      statement = code[i] == ';' || code[i] == '{' || code[i] == '}' ? std::string() : statement + code[i];
      ++i;
    }
    if (i == std::string::npos) break;
  }
  return literals;
}

// What the reference must hold of a text: each of its lines, without the blanks and
// the rules of stars, dashes and equals around it, where it has more than ASCII.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; start <= text.size(); start = end + 1) {
    end = std::min(text.find_first_of("\r\n\t", start), text.size());
    const std::string line = text.substr(start, end - start);
    const size_t first = line.find_first_not_of(" *=-");
    if (first == std::string::npos) continue;
    const std::string kept = line.substr(first, line.find_last_not_of(" *=-") - first + 1);
    for (const char c : kept)
      if (static_cast<unsigned char>(c) >= 0x80) {
        lines.push_back(kept);
        break;
      }
  }
  return lines;
}

// The statements that show a text in a window.
bool Shows(const std::string& statement) {
  for (const char* shown : {"ShowMessage", "ShowStatus", "ShowInputBox", "Tell", "return QStringLiteral",
                            "kFileNotSavedText", "SaveEditorCommand", "SaveProjectFile", "MoveSelected", "FindCommand",
                            "FindNext"})
    if (statement.find(shown) != std::string::npos) return true;
  return false;
}

TEST(ReferenceTexts, EveryTextTheProgramsShowIsInTheReference) {
  std::string reference;
  for (const TChapter& chapter : ReadReference())
    for (const std::string& line : chapter.Lines) reference += line + "\n";
  std::vector<std::string> missing;
  const auto expect = [&](const std::string& where, const std::string& text) {
    for (const std::string& line : Lines(text))
      if (reference.find(line) == std::string::npos) missing.push_back(where + ": " + line);
  };
  for (const char* file : {"toolchain/gbk_texts.h", "workbench/model/workbench_texts.h", "simulator/model/sim_texts.h",
                           "simulator/model/inspect_texts.h", "platform/gbk_qt.h", "base/file_error.cpp",
                           "simulator/model/test_dialog_ops.cpp"})
    for (const TLiteral& literal : Literals(ReadBytes(std::string(TALVO_SOURCE_DIR "/") + file)))
      if (literal.HexEscaped) expect(file, GbkToUtf8(literal.Text));
  for (const char* folder : {"workbench/gui", "simulator/gui", "platform"})
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TALVO_SOURCE_DIR "/") + folder))
      for (const TLiteral& literal : Literals(ReadBytes(entry.path())))
        if (Trim(literal.Statement).ends_with("QStringLiteral(") && Shows(literal.Statement))
          expect(entry.path().filename().string(), literal.Text);
  std::string lines;
  for (const std::string& text : missing) lines += "\n  " + text;
  EXPECT_TRUE(missing.empty()) << "texts the programs show, not in the reference:" << lines;
}

TEST(ReferenceTexts, TheTableOfChaptersListsEveryChapter) {
  const std::string contents = ReadBytes(TALVO_SOURCE_DIR "/docs/README.md");
  for (const TChapter& chapter : ReadReference()) {
    if (chapter.Name == "README.md") continue;
    EXPECT_NE(contents.find("](" + chapter.Name + ")"), std::string::npos) << chapter.Name;
  }
}

}  // namespace
