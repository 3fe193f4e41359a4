#include "platform/core/paths.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>
#include <unistd.h>

#include "support/temp_dir.h"

using namespace platform;
using testsupport::TempDirTest;

namespace {

class PathsTest : public TempDirTest {};

TEST_F(PathsTest, ResolvesEachComponentIgnoringCaseAndSeparators) {
  dir.Write("Data/Custom/Meshes/Pillar.O3D", "x");
  struct Case { const char* in; const char* out; };
  const Case cases[] = {
      {"data\\custom\\meshes\\pillar.o3d", "Data/Custom/Meshes/Pillar.O3D"},
      {"DATA/CUSTOM/MESHES/PILLAR.O3D", "Data/Custom/Meshes/Pillar.O3D"},
      {"data\\\\custom//meshes\\Pillar.o3d", "Data/Custom/Meshes/Pillar.O3D"},
      {"data\\custom\\new.o3d", "Data/Custom/new.o3d"},   // missing leaf keeps the caller's name
      {"nothere\\x.dat", "nothere/x.dat"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolvePath(c.in), c.out) << c.in;
}

TEST_F(PathsTest, ExactMatchWinsOverCaseInsensitiveOne) {
  dir.Write("a.dat", "lower");
  dir.Write("A.dat", "upper");
  EXPECT_EQ(ResolvePath("A.dat"), "A.dat");
  EXPECT_EQ(ResolvePath("a.dat"), "a.dat");
  // No exact match: the first in byte order is taken, whatever readdir gives.
  EXPECT_EQ(ResolvePath("a.DAT"), "A.dat");
}

TEST_F(PathsTest, LeadingSeparatorAndDriveMeanTheStartDirectory) {
  dir.Write("foo.dat", "x");
  dir.MakeDir("sub");
  ASSERT_TRUE(ChangeDirectory(dir.Native("sub")));
  EXPECT_EQ(ResolvePath("\\FOO.dat"), dir.path() + "/foo.dat");
  EXPECT_EQ(ResolvePath("c:\\foo.dat"), dir.path() + "/foo.dat");
  EXPECT_TRUE(PathExists("\\foo.dat"));
  EXPECT_FALSE(PathExists("foo.dat"));  // relative to the current directory
}

TEST_F(PathsTest, FindsAreSortedIgnoringCaseThenBytewise) {
  for (const char* n : {"qsp9.mtf", "QSP10.mtf", "qsp10.mtf", "qspA.mtf", "other.mtf", "qsp.txt"}) dir.Write(n, "x");
  dir.MakeDir("qspdir.mtf");
  std::vector<std::string> names;
  for (const FindEntry& e : FindFiles("qsp*.mtf")) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"QSP10.mtf", "qsp10.mtf", "qsp9.mtf", "qspA.mtf", "qspdir.mtf"}));
  auto dirs = FindFiles("QSPDIR.*");
  ASSERT_EQ(dirs.size(), 1u);
  EXPECT_TRUE(dirs[0].isDirectory);
}

TEST_F(PathsTest, FindInASubfolderResolvesTheFolderIgnoringCase) {
  dir.Write("Rozizuzi/StateMachine/b.qsm", "x");
  dir.Write("Rozizuzi/StateMachine/a.QSM", "x");
  auto found = FindFiles("rozizuzi\\statemachine\\*.qsm");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, "a.QSM");
  EXPECT_EQ(found[1].name, "b.qsm");
  EXPECT_TRUE(FindFiles("missing\\*.qsm").empty());
}

// Runs EnterStartDirectory over a command line given as strings.
std::optional<std::vector<std::string>> Enter(std::vector<std::string> line) {
  std::vector<char*> argv;
  for (std::string& a : line) argv.push_back(a.data());
  return EnterStartDirectory(static_cast<int>(argv.size()), argv.data(), "kelvar");
}

TEST_F(PathsTest, StartDirectoryOptionIsTakenOutAndEntered) {
  dir.MakeDir("start");
  const auto args = Enter({"kelvar", "a.qst", "--start-dir", dir.Native("start"), "-x"});
  ASSERT_TRUE(args.has_value());
  EXPECT_EQ(*args, (std::vector<std::string>{"a.qst", "-x"}));
  EXPECT_EQ(CurrentDirectory(), dir.path() + "/start");
  EXPECT_EQ(StartDirectory(), CurrentDirectory());

  // Without the option the current directory stays; a last "--start-dir" without a value is an argument.
  const auto plain = Enter({"kelvar", "--start-dir"});
  ASSERT_TRUE(plain.has_value());
  EXPECT_EQ(*plain, std::vector<std::string>{"--start-dir"});
  EXPECT_EQ(CurrentDirectory(), dir.path() + "/start");

  // A folder that cannot be entered: nothing, and the process stays where it was.
  EXPECT_FALSE(Enter({"kelvar", "--start-dir", dir.Native("missing")}).has_value());
  EXPECT_EQ(CurrentDirectory(), dir.path() + "/start");
}

TEST(Wildcard, Matches) {
  struct Case { const char* pattern; const char* name; bool match; };
  const Case cases[] = {
      {"*", "", true},        {"*.o3d", "a.O3D", true}, {"k????_*.tga", "K0001_stone.tga", true},
      {"k????_*.tga", "k001_x.tga", false}, {"a*b*c", "aXbYbZc", true}, {"a*b*c", "aXbYbZ", false},
      {"*.*", "noext", false}, {"", "", true}, {"", "x", false},
  };
  for (const Case& c : cases) EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
  // Pathological patterns stay cheap.
  EXPECT_FALSE(WildcardMatch(std::string(200, '*') + "b", std::string(5000, 'a')));
}

TEST(SplitPath, LikeTheWindowsRoutine) {
  auto p = SplitPath("c:\\data\\custom\\x.tar.o3d");
  EXPECT_EQ(p.drive, "c:");
  EXPECT_EQ(p.dir, "\\data\\custom\\");
  EXPECT_EQ(p.fname, "x.tar");
  EXPECT_EQ(p.ext, ".o3d");
  auto q = SplitPath("data");
  EXPECT_EQ(q.fname, "data");
  EXPECT_EQ(q.ext, "");
  EXPECT_EQ(q.dir, "");
}

TEST(CompareNoCase, OrdersAsciiIgnoringCase) {
  EXPECT_EQ(CompareNoCase("abc", "ABC"), 0);
  EXPECT_LT(CompareNoCase("ab", "ABC"), 0);
  EXPECT_GT(CompareNoCase("b", "A"), 0);
  EXPECT_LT(CompareNoCase("_", "a"), 0);  // '_' sorts before letters once lowered
  EXPECT_TRUE(StartsWithNoCase("C:\\VREL", "c:\\vrel"));
  EXPECT_FALSE(StartsWithNoCase("C:", "c:\\"));
}

// Links are followed to the path they end at, each relative target from its
// own link's folder; what is not a link is the end.
TEST_F(PathsTest, FollowLinksGivesThePathALinkEndsAt) {
  dir.Write("store/file.dat", "x");
  dir.MakeDir("sub");
  struct LinkMade {
    const char* name;
    const char* target;
  };
  const LinkMade links[] = {{"one", "store/file.dat"}, {"two", "one"},     {"sub/up", "../store/file.dat"},
                            {"sub/rel", "../two"},     {"dangling", "store/none.dat"},
                            {"loop1", "loop2"},        {"loop2", "loop1"}};
  for (const LinkMade& l : links) ASSERT_EQ(::symlink(l.target, dir.Native(l.name).c_str()), 0) << l.name;
  ASSERT_EQ(::symlink(dir.Native("store/file.dat").c_str(), dir.Native("absolute").c_str()), 0);
  struct Case {
    std::string in;
    std::string out;
    int err;
  };
  const Case cases[] = {
      {"store/file.dat", "store/file.dat", 0},
      {"missing.dat", "missing.dat", 0},
      {"one", "store/file.dat", 0},
      {"two", "store/file.dat", 0},
      {"sub/up", "sub/../store/file.dat", 0},
      {"sub/rel", "sub/../store/file.dat", 0},  // "../two", then "one" from there
      {"dangling", "store/none.dat", 0},
      {"absolute", dir.Native("store/file.dat"), 0},
      {dir.Native("two"), dir.path() + "/store/file.dat", 0},
      {"loop1", "", ELOOP},
  };
  for (const Case& c : cases) {
    int err = -1;
    const std::string out = FollowLinks(c.in, &err);
    EXPECT_EQ(err, c.err) << c.in;
    if (!c.err) {
      EXPECT_EQ(out, c.out) << c.in;
    }
  }
}

}  // namespace
