#pragma once
// The name the kit stores inside its files for a path (a project entry, an include
// line, a ".setting" name): GBK, as PathToStoredName gives it. A test that writes such
// a name or expects one builds it here: a scratch folder lies under the user's TMPDIR,
// and where that is named in Chinese (临时文件) its UTF-8 bytes are not what the kit
// stores.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "base/gbk_convert.h"

inline std::string StoredName(const std::filesystem::path& path) {
  const std::optional<std::string> name = PathToStoredName(path.string());
  if (!name) ADD_FAILURE() << "no name the kit can store gives back the path " << path;
  return name.value_or(path.string());
}
