#include "toolchain/output_names.h"

std::string ReplaceExtension(const std::string& path, const std::string& ext) {
  // Project files written on Windows name their sources with backslashes, so both
  // separators end a folder name.
  const size_t lastSeparator = path.find_last_of("/\\");
  const size_t nameStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
  const size_t dot = path.rfind('.');
  const size_t stemEnd = (dot == std::string::npos || dot < nameStart) ? path.size() : dot;
  return path.substr(0, stemEnd) + ext;
}
