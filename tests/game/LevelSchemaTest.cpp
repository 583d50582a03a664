// The level file's schema against what authors read: README's key list must name every key of the
// table and every ghost class of the registry, and nothing else.
#include "game/LevelSchema.h"

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "game/GhostClasses.h"

namespace {

// The names in backticks from README's "`Level.ini`:" list, section headers left out.
std::set<std::string> ReadmeLevelNames() {
  std::ifstream file(QV_SOURCE_DIR "/README.md");
  std::stringstream text;
  text << file.rdbuf();
  const std::string all = text.str();
  const std::size_t from = all.find("`Level.ini`:\n");
  const std::size_t to = all.find("\nNumbers use", from);
  std::set<std::string> names;
  if (from == std::string::npos || to == std::string::npos) return names;
  const std::string list = all.substr(from + 13, to - from - 13);
  for (std::size_t open = list.find('`'); open != std::string::npos;) {
    const std::size_t close = list.find('`', open + 1);
    if (close == std::string::npos) break;
    const std::string name = list.substr(open + 1, close - open - 1);
    if (!name.starts_with("[")) names.insert(name);
    open = list.find('`', close + 1);
  }
  return names;
}

TEST(LevelSchemaTest, ReadmeNamesEveryKeyAndGhostClass) {
  std::set<std::string> expected;
  for (const qv::TLevelKey& key : qv::LevelKeys()) expected.insert(std::string(key.Name));
  for (const qv::TGhostKind& kind : qv::GhostKinds())
    if (!kind.Base.empty()) expected.insert(kind.Class->Name);
  EXPECT_EQ(ReadmeLevelNames(), expected);
}

TEST(LevelSchemaTest, EveryScopeIsPlayerOrAGhostClassAndKeysAreUnique) {
  std::set<std::pair<std::string_view, std::string_view>> seen;
  for (const qv::TLevelKey& key : qv::LevelKeys()) {
    EXPECT_TRUE(key.Scope == "Player" || qv::GhostKindIsA(key.Scope, "TGhostObject")) << key.Scope;
    EXPECT_TRUE(seen.insert({key.Scope, key.Name}).second) << key.Name;
  }
}

TEST(LevelSchemaTest, KindsDeriveAsTheirClassesDo) {
  const struct {
    const char *kind, *base;
    bool isA;
  } cases[] = {
      {"TDirectGhostObject", "TSearchGhostObject", true},
      {"TInFrustumGhostObject", "TGhostObject", true},
      {"TShuttleGhostObject", "TSearchGhostObject", false},
      {"TSearchGhostObject", "TInFrustumGhostObject", false},
      {"TGhostObject", "TGhostObject", true},
      {"tsearchghostobject", "TGhostObject", false},
  };
  for (const auto& c : cases) EXPECT_EQ(qv::GhostKindIsA(c.kind, c.base), c.isA) << c.kind;
  EXPECT_STREQ(qv::GhostClassNamed("TDirectGhostObject").Name, "TDirectGhostObject");
  EXPECT_STREQ(qv::GhostClassNamed("Tdirectghostobject").Name, "TGhostObject");
}

}  // namespace
