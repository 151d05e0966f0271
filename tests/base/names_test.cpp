// Texts in GBK and names in the file system: a character GBK cannot hold is never
// dropped, a stored name gives back the path it was made from, and a path shows
// legibly in a message whatever its bytes.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/gbk_convert.h"

namespace {

struct TGbkCase {
  const char* Utf8;
  std::optional<std::string> Gbk;  // nothing: GBK cannot hold the text
};

TEST(GbkText, OnlyTextsThatComeBackUnchangedHaveGbkBytes) {
  const TGbkCase cases[] = {
      {"ab", std::string("ab")},
      {"学习.casm", std::string("\xd1\xa7\xcf\xb0.casm")},
      {"ü", std::string("\xa8\xb9")},
      {"a\xf3\xa0\x80\x81" "b", std::nullopt},       // a tag character, U+E0001
      {"\xf3\xa0\x81\xbf", std::nullopt},            // U+E007F, the last of them
      {"😀.tvxPrj", std::nullopt},
      {"Straße", std::nullopt},
      {"a\xff", std::nullopt},                       // not UTF-8
  };
  for (const TGbkCase& c : cases) EXPECT_EQ(Utf8ToGbkStrict(c.Utf8), c.Gbk) << c.Utf8;
}

struct TNameCase {
  const char* Path;                       // as the file system has it
  std::optional<std::string> Stored;      // in a project file; nothing: none gives it back
};

TEST(StoredNames, GiveBackThePathTheyWereMadeFrom) {
  const TNameCase cases[] = {
      {"lab/a.casm", std::string("lab/a.casm")},
      {"学/a.casm", std::string("\xd1\xa7/a.casm")},
      {"x\xffy.casm", std::string("x\xffy.casm")},        // neither GBK nor UTF-8: its bytes
      {"한.casm", std::string("\xed\x95\x9c.casm")},  // no GBK text, no GBK bytes: its bytes
      // The UTF-8 bytes of these read as GBK characters, so no stored name names them.
      {"Straße.casm", std::nullopt},
      {"😀.casm", std::nullopt},
  };
  for (const TNameCase& c : cases) {
    EXPECT_EQ(PathToStoredName(c.Path), c.Stored) << c.Path;
    if (c.Stored) {
      EXPECT_EQ(StoredNameToPath(*c.Stored), c.Path) << c.Path;
    }
  }
}

TEST(PathText, ShowsEveryPathAsUtf8) {
  const struct {
    const char* Path;
    const char* Text;
  } cases[] = {
      {"Stra\xc3\x9f" "e/p.tvxPrj", "Straße/p.tvxPrj"},
      {"😀/a.qobj", "😀/a.qobj"},
      {"x\xffy.casm", "x\xef\xbf\xbdy.casm"},
      {"\xb0\xa1.casm", "\xef\xbf\xbd\xef\xbf\xbd.casm"},  // GBK bytes are no UTF-8
  };
  for (const auto& c : cases) EXPECT_EQ(PathToText(c.Path), c.Text) << c.Path;
}

}  // namespace
