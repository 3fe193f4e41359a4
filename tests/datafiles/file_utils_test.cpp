#include "datafiles/file_utils.h"

#include <cstdlib>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "platform/core/profile.h"
#include "platform/core/services.h"
#include "platform/core/trace.h"
#include "support/bytes.h"
#include "support/external_tool.h"
#include "support/temp_dir.h"

using platform::File;
using testsupport::Bytes;
using testsupport::TempDirTest;

namespace {

// --- Counted strings ----------------------------------------------------------

class CountedStringTest : public TempDirTest {
 protected:
  File Reader(const std::vector<std::uint8_t>& bytes) {
    dir.Write("s.bin", bytes);
    return File("s.bin", File::modeRead);
  }
};

TEST_F(CountedStringTest, WritesLengthTextAndZeroOrTheLengthAlone) {
  {
    File f("s.bin", File::modeCreate | File::modeWrite);
    WriteCountedString(f, "");
    WriteCountedString(f, "ab");
    f.Close();
  }
  EXPECT_EQ(dir.Read("s.bin"), std::string("\0\0\0\0" "\2\0\0\0ab\0", 11));
}

TEST_F(CountedStringTest, ReadsBackWhatWasWritten) {
  {
    File f("s.bin", File::modeCreate | File::modeWrite);
    for (const char* s : {"voice.mp2", "", "x"}) WriteCountedString(f, s);
    f.Close();
  }
  File f("s.bin", File::modeRead);
  EXPECT_EQ(ReadCountedString(f), "voice.mp2");
  EXPECT_EQ(ReadCountedString(f), "");
  EXPECT_EQ(f.GetPosition(), 14u + 4u);  // a zero length reads nothing more
  EXPECT_EQ(ReadCountedString(f), "x");
  EXPECT_EQ(f.GetPosition(), f.GetLength());
}

TEST_F(CountedStringTest, FixedBufferIsCutButTheWholeStringConsumed) {
  File f = Reader(Bytes().u32(6).cstr("abcdef").u32(2).cstr("gh").data());
  char buf[4];
  std::memset(buf, '#', sizeof buf);
  ReadCountedString(f, buf, sizeof buf);
  EXPECT_STREQ(buf, "abc");
  ReadCountedString(f, buf, sizeof buf);
  EXPECT_STREQ(buf, "gh");
}

TEST_F(CountedStringTest, LengthBeyondTheFileIsRefused) {
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"length cut", Bytes().u16(3)},
      {"text cut", Bytes().u32(10).str("abc")},
      {"terminator missing", Bytes().u32(3).str("abc")},
      {"huge length", Bytes().u32(0xFFFFFFFFu).str("abc")},
  };
  for (const auto& c : cases) {
    File f = Reader(c.bytes.data());
    try {
      ReadCountedString(f);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const platform::FileException& e) {
      EXPECT_EQ(e.cause(), platform::kCauseEndOfFile) << c.what;
    }
  }
}

TEST_F(CountedStringTest, TextLinesEndWithCrLfOnRequest) {
  {
    File f("t.txt", File::modeCreate | File::modeWrite);
    WriteTextLine(f, "first", true);
    WriteTextLine(f, "second", false);
    WriteTextLine(f, "", true);
    f.Close();
  }
  EXPECT_EQ(dir.Read("t.txt"), "first\r\nsecond\r\n");
}

// --- CopyWholeFile --------------------------------------------------------------

class CopyWholeFileTest : public TempDirTest {
 protected:
  platform::ScriptedServices ui;
};

TEST_F(CopyWholeFileTest, CopiesAndReplacesOnlyWhenForced) {
  dir.Write("src.bin", std::string("a\0b\r\n", 5));
  EXPECT_TRUE(CopyWholeFile("SRC.BIN", "dst.bin", false));
  EXPECT_EQ(dir.Read("dst.bin"), std::string("a\0b\r\n", 5));

  dir.Write("dst.bin", "keep me");
  EXPECT_TRUE(CopyWholeFile("src.bin", "dst.bin", false));
  EXPECT_EQ(dir.Read("dst.bin"), "keep me");
  EXPECT_TRUE(CopyWholeFile("src.bin", "DST.bin", true));
  EXPECT_EQ(dir.Read("dst.bin"), std::string("a\0b\r\n", 5));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CopyWholeFileTest, FaultsShowTheirBoxAndReportFailure) {
  dir.Write("empty.bin", "");
  dir.Write("src.bin", "data");
  const struct {
    const char* source;
    const char* destination;
    const char* box;
  } cases[] = {
      {"missing.bin", "d1.bin", "Can't open file missing.bin, error = 2\n"},
      {"empty.bin", "d2.bin", "File empty.bin is Empty = 0\n"},
      {"src.bin", "nofolder\\d3.bin", "Can't open file nofolder\\d3.bin, error = 2\n"},
  };
  for (const auto& c : cases) {
    ui.boxes.clear();
    EXPECT_FALSE(CopyWholeFile(c.source, c.destination, true)) << c.source;
    ASSERT_EQ(ui.boxes.size(), 1u) << c.source;
    EXPECT_EQ(ui.boxes[0].text, c.box);
    EXPECT_EQ(ui.boxes[0].flags, platform::kMbOk);
  }
  EXPECT_FALSE(dir.Exists("d1.bin"));
  EXPECT_FALSE(dir.Exists("d2.bin"));
}

TEST_F(CopyWholeFileTest, ADestinationThatCannotBeReplacedIsLeftAsItWas) {
  dir.Write("src.bin", "new");
  dir.Write("target/inside.txt", "old");
  EXPECT_FALSE(CopyWholeFile("src.bin", "target", true));
  EXPECT_EQ(dir.Read("target/inside.txt"), "old");
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Can't write file target, error = 5\n");
  // Nothing half-written is left beside it.
  EXPECT_EQ(platform::FindFiles("*").size(), 2u);
}

// --- Path rewriting ---------------------------------------------------------------

TEST(StripDevPath, RemovesDriveAndDeveloperFolder) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"C:\\VREL\\KZT\\data\\a.cbs", "data\\a.cbs"},
      {"c:\\vrel\\kzt\\data\\text\\language.dat", "data\\text\\language.dat"},
      {"c:\\foo.dat", "\\foo.dat"},
      {"\\VREL\\KZT\\x.dat", "x.dat"},
      {"c:\\vrel\\kztx\\a", "\\vrel\\kztx\\a"},
  };
  for (const auto& c : cases) {
    platform::TraceCapture trace;
    const char* got = StripDevPath(c.in);
    EXPECT_STREQ(got, c.out);
    EXPECT_GE(got, c.in);  // a pointer into the same text
    EXPECT_EQ(trace.text(), std::string("CHANGING FILENAME ") + c.in + " " + c.out + "\n");
  }
  platform::TraceCapture trace;
  for (const char* plain : {"data\\a.cbs", "d:\\vrel\\kzt\\x.dat", "vrel\\kzt\\x.dat", ""})
    EXPECT_EQ(StripDevPath(plain), plain);
  EXPECT_EQ(trace.text(), "");
}

TEST(ReplacePathPrefix, ReplacesALeadingPrefixIgnoringCase) {
  EXPECT_EQ(ReplacePathPrefix("DATA\\Custom\\m.o3d", "data\\custom\\", "rozizuzi\\customMeshes\\"),
            "rozizuzi\\customMeshes\\m.o3d");
  EXPECT_EQ(ReplacePathPrefix("other\\m.o3d", "data\\", "x\\"), "other\\m.o3d");
  EXPECT_EQ(ReplacePathPrefix("dat", "data\\", "x\\"), "dat");
  EXPECT_EQ(ReplacePathPrefix("abc", "", "x"), "xabc");
}

class SkipProgramDirTest : public TempDirTest {};

TEST_F(SkipProgramDirTest, StripsOnlyTheWholeStartDirectory) {
  const std::string start = ProgramDirectory();
  ASSERT_EQ(start, dir.path());
  std::string upper = start;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string cases[][2] = {
      {start + "\\data\\customQuest\\q\\a.cdf", "data\\customQuest\\q\\a.cdf"},
      {upper + "\\data\\x", "data\\x"},
      {start + "/data/x", "data/x"},
      {start + "extra\\data\\x", start + "extra\\data\\x"},  // a longer sibling folder
      {start, start},
      {start.substr(0, start.size() - 2) + "\\x", start.substr(0, start.size() - 2) + "\\x"},
      {"data\\x", "data\\x"},
  };
  for (const auto& c : cases) {
    const char* got = SkipProgramDirPrefix(c[0].c_str());
    EXPECT_EQ(got, c[1]) << c[0];
  }
}

// --- Registry-style values ----------------------------------------------------------

class RegistryTest : public TempDirTest {
 protected:
  void SetUp() override { platform::SetMachineStorePath(dir.Native("machine.ini")); }
  void TearDown() override { platform::SetMachineStorePath(""); }
};

TEST_F(RegistryTest, ReadsStringsThatFitTheBuffer) {
  const char* key = "SOFTWARE\\TirnacorSoft\\Valdrenn\\CurrentVersion\\Valdrenn";
  auto& store = platform::MachineStore();
  store.WriteString(key, "Language", "GERMAN");
  store.WriteString(key, "Long255", std::string(255, 'x'));
  store.WriteString(key, "Long256", std::string(256, 'x'));
  char buf[256];
  EXPECT_EQ(ReadRegistryString(key, "Language", buf), 1);
  EXPECT_STREQ(buf, "GERMAN");
  EXPECT_EQ(ReadRegistryString("software\\tirnacorsoft\\valdrenn\\currentversion\\valdrenn", "Language", nullptr), 1);
  EXPECT_EQ(ReadRegistryString(key, "Long255", buf), 1);
  EXPECT_EQ(std::strlen(buf), 255u);
  EXPECT_EQ(ReadRegistryString(key, "Long256", buf), 0);
  EXPECT_EQ(ReadRegistryString(key, "Missing", buf), 0);
  EXPECT_EQ(ReadRegistryString("SOFTWARE\\Other", "Language", buf), 0);
}

// --- Validity tests -------------------------------------------------------------------

TEST(IsAlphanumeric, LettersAndDigitsOnly) {
  EXPECT_TRUE(IsAlphanumeric("Guard01"));
  EXPECT_TRUE(IsAlphanumeric("7"));
  for (const char* bad : {"", "a_b", "a b", "a-b", "caf\xe9", "tab\t"}) EXPECT_FALSE(IsAlphanumeric(bad)) << bad;
}

std::vector<std::uint8_t> Wav(const char* riff, const char* wave, const char* fmt, std::uint16_t format,
                              std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  Bytes b;
  const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
  b.str(riff).u32(36 + 8).str(wave).str(fmt).u32(16).u16(format).u16(channels).u32(rate).u32(rate * align).u16(align).u16(bits);
  b.str("data").u32(8).zeros(8);
  return b.data();
}

class WavCheckTest : public TempDirTest {};

TEST_F(WavCheckTest, AcceptsOnlyMono16BitPcmAt44100) {
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool ok;
  } cases[] = {
      {"good", Wav("RIFF", "WAVE", "fmt ", 1, 1, 44100, 16), true},
      {"tags in lower case", Wav("riff", "wave", "FMT ", 1, 1, 44100, 16), true},
      {"stereo", Wav("RIFF", "WAVE", "fmt ", 1, 2, 44100, 16), false},
      {"22050 Hz", Wav("RIFF", "WAVE", "fmt ", 1, 1, 22050, 16), false},
      {"8 bits", Wav("RIFF", "WAVE", "fmt ", 1, 1, 44100, 8), false},
      {"float", Wav("RIFF", "WAVE", "fmt ", 3, 1, 44100, 16), false},
      {"not RIFF", Wav("RIFX", "WAVE", "fmt ", 1, 1, 44100, 16), false},
      {"list chunk first", Bytes().str("RIFF").u32(100).str("WAVE").str("LIST").u32(4).str("INFO").data(), false},
      {"cut short", Bytes().str("RIFF").u32(100).str("WAVE").str("fmt ").u32(16).u16(1).data(), false},
  };
  for (const auto& c : cases) {
    dir.Write("v.wav", c.bytes);
    EXPECT_EQ(IsPcmMono44k("v.wav"), c.ok) << c.what;
  }
  EXPECT_FALSE(IsPcmMono44k("missing.wav"));
  EXPECT_FALSE(IsPcmMono44k(nullptr));
}

TEST_F(WavCheckTest, AgreesWithSox) {
  REQUIRE_EXTERNAL_TOOL(testsupport::kSox);
  const struct {
    const char* args;
    bool ok;
  } cases[] = {
      {"-r 44100 -c 1 -b 16", true},
      {"-r 44100 -c 2 -b 16", false},
      {"-r 22050 -c 1 -b 16", false},
      {"-r 44100 -c 1 -b 8", false},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::string name = "sox" + std::to_string(n++) + ".wav";
    const std::string cmd = "sox -n " + std::string(c.args) + " '" + dir.Native(name) + "' synth 0.01 sine 440 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    EXPECT_EQ(IsPcmMono44k(name.c_str()), c.ok) << c.args;
  }
  // And sox reads the file we made by hand as the format we meant.
  dir.Write("hand.wav", Wav("RIFF", "WAVE", "fmt ", 1, 1, 44100, 16));
  const std::string probe = "test \"$(soxi -c '" + dir.Native("hand.wav") + "') $(soxi -r '" + dir.Native("hand.wav") +
                            "') $(soxi -b '" + dir.Native("hand.wav") + "')\" = \"1 44100 16\"";
  EXPECT_EQ(std::system(probe.c_str()), 0);
}

}  // namespace
