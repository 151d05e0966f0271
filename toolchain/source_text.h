#pragma once
// Byte-level text helpers of the line grammar. A blank is the space byte only;
// trimming removes every byte up to 0x20 (tabs and other control bytes) at both
// ends, compared unsigned so that GBK bytes (0x80 and above) always stay.

#include <string_view>

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
