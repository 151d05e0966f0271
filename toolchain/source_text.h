#pragma once
// Byte-level text helpers of the line grammar. A blank is the space byte only;
// trimming removes every byte up to 0x20 (tabs and other control bytes) at both
// ends, compared unsigned so that GBK bytes (0x80 and above) always stay.

#include <string>
#include <string_view>
#include <vector>

inline bool IsTrimmedByte(char c) { return static_cast<unsigned char>(c) <= 0x20; }

inline std::string_view TrimText(std::string_view text) {
  while (!text.empty() && IsTrimmedByte(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmedByte(text.back())) text.remove_suffix(1);
  return text;
}

// The text before the first blank and the text from that blank on (both untrimmed);
// without a blank, `before` is empty and `from` the whole text.
struct TBlankSplit {
  std::string_view Before;
  std::string_view From;
  bool HasBlank;
};

inline TBlankSplit SplitAtFirstBlank(std::string_view text) {
  const size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return {std::string_view{}, text, false};
  return {text.substr(0, blank), text.substr(blank), true};
}

// The line at pos, moving pos past its line end: CR LF, a lone LF and a lone CR each
// end one line, and the text's last line needs none. True in `ended` when a line end
// was taken.
inline std::string_view TakeLine(std::string_view text, size_t& pos, bool& ended) {
  size_t end = pos;
  // Bytes above CR are never line ends: one comparison for nearly every byte.
  while (end < text.size() && (static_cast<unsigned char>(text[end]) > '\r' ||
                               (text[end] != '\r' && text[end] != '\n'))) {
    ++end;
  }
  const std::string_view line = text.substr(pos, end - pos);
  ended = end < text.size();
  if (ended) end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
  pos = end;
  return line;
}

// Every line of the text, split as TakeLine splits; a final line end adds no empty
// line.
inline std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  bool ended = false;
  for (size_t pos = 0; pos < text.size();) lines.emplace_back(TakeLine(text, pos, ended));
  return lines;
}
