// Generation writes the same bytes, file for file and in the package, as the
// slower generation before it did: the digests below were taken from that
// generation, on the demo quest and on the large quest the benchmark uses.
// Generation writes no times and makes no random choices, so every byte of
// every file is compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datafiles/common/crc32.h"
#include "doc_fixture.h"
#include "platform/core/save_batch.h"
#include "quest/generation_log.h"
#include "quest/machine_library.h"
#include "quest/mesh_banks.h"
#include "support/big_quest.h"
#include "tools/demodata/sample_quest.h"

namespace {

namespace fs = std::filesystem;

class GeneratedFiles : public questtest::DocTest {
 protected:
  // One line per file under the folders generation writes to, sorted by
  // path: the path, the size and the CRC-32 of the bytes.
  std::string Digests() const {
    platform::SaveBatch::WaitForReleasedFiles();  // the files replaced, under temporaries' names until freed
    std::vector<std::string> lines;
    for (const char* folder : {"data/customQuest", "quest"}) {
      const fs::path root = fs::path(dir.path()) / folder;
      if (!fs::exists(root)) continue;
      for (const fs::directory_entry& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        std::vector<char> bytes(static_cast<std::size_t>(e.file_size()));
        std::ifstream(e.path(), std::ios::binary).read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        char line[32];
        std::snprintf(line, sizeof line, " %zu %08x", bytes.size(),
                      static_cast<unsigned>(Crc32Update(bytes.data(), bytes.size(), 0)));
        lines.push_back(fs::relative(e.path(), dir.path()).generic_string() + line);
      }
    }
    std::sort(lines.begin(), lines.end());
    std::string all;
    for (const std::string& l : lines) all += l + "\n";
    return all;
  }

  // Generates twice: the second run finds the first one's files in place.
  void GenerateTwiceAndExpect(const std::string& expected) {
    for (int run = 0; run < 2; ++run) {
      ui.boxes.clear();
      doc.OnGenerateQuest();
      EXPECT_EQ(GenerationLog(), "") << "run " << run;
      EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Congratulation ! Quest Generation competed successfully."});
      EXPECT_EQ(Digests(), expected) << "run " << run;
    }
  }
};

TEST_F(GeneratedFiles, DemoQuest) {
  ASSERT_TRUE(OpenDemoQuestAsTheEditorStarts());
  doc.SetPathName(kSampleQuestPath);

  GenerateTwiceAndExpect(
      "data/customQuest/demoquest/_CUST_crypt.cdf 75148 67a43760\n"
      "data/customQuest/demoquest/_CUST_meadow.cdf 199308 cfed9fe4\n"
      "data/customQuest/demoquest/demo_chest.o3d 362 8b7a851b\n"
      "data/customQuest/demoquest/demo_cup.o3d 362 2d9ac8a2\n"
      "data/customQuest/demoquest/demo_door.o3d 362 904077ff\n"
      "data/customQuest/demoquest/k0800_OBJ.tga 196626 47aded35\n"
      "data/customQuest/demoquest/k0801_OBJ.tga 196626 dcfbeddd\n"
      "data/customQuest/demoquest/k0802_OBJ.tga 196626 fb374f12\n"
      "data/customQuest/demoquest/k0803_OBJ.tga 196626 83c3ad51\n"
      "data/customQuest/demoquest/k0804_OBJ.tga 196626 47aded35\n"
      "data/customQuest/demoquest/k0805_OBJ.tga 196626 dcfbeddd\n"
      "data/customQuest/demoquest/k0806_OBJ.tga 196626 fb374f12\n"
      "data/customQuest/demoquest/k0807_OBJ.tga 196626 83c3ad51\n"
      "data/customQuest/demoquest/k0808_OBJ.tga 196626 47aded35\n"
      "data/customQuest/demoquest/k0809_OBJ.tga 196626 dcfbeddd\n"
      "data/customQuest/demoquest/k0810_OBJ.tga 196626 fb374f12\n"
      "data/customQuest/demoquest/k0811_OBJ.tga 196626 83c3ad51\n"
      "data/customQuest/demoquest/k0812_OBJ.tga 196626 47aded35\n"
      "data/customQuest/demoquest/k0813_OBJ.tga 196626 dcfbeddd\n"
      "data/customQuest/demoquest/k0814_OBJ.tga 196626 fb374f12\n"
      "data/customQuest/demoquest/k0815_OBJ.tga 196626 83c3ad51\n"
      "data/customQuest/demoquest/k0830_sprite.tga 196626 b351dc20\n"
      "data/customQuest/demoquest/quest0.spt 3065 11243070\n"
      "data/customQuest/demoquest/quest1.spt 86 3c2a3b3c\n"
      "data/customQuest/demoquest/quest2.spt 86 b90214e9\n"
      "data/customQuest/demoquest/quest3.spt 86 73350c65\n"
      "data/customQuest/demoquest/quest4.spt 86 68234d02\n"
      "data/customQuest/demoquest/quest5.spt 86 a214558e\n"
      "data/customQuest/demoquest/quest6.spt 86 273c7a5b\n"
      "quest/demoquest.mtf 3623190 8a839c44\n");
}

TEST_F(GeneratedFiles, LargeQuest) {
  bigquest::WriteFiles();
  bigquest::Build(12);
  doc.SetTitle("big.qst");
  doc.SetPathName("big.qst");
  doc.OnNewDocument();

  GenerateTwiceAndExpect(
      "data/customQuest/big/_CUST_room0.cdf 2330036 5fb77ed9\n"
      "data/customQuest/big/_CUST_room1.cdf 2330036 29f0d935\n"
      "data/customQuest/big/_CUST_room10.cdf 2329948 f57e15a2\n"
      "data/customQuest/big/_CUST_room11.cdf 2329948 a3315af2\n"
      "data/customQuest/big/_CUST_room2.cdf 2330036 18d306ef\n"
      "data/customQuest/big/_CUST_room3.cdf 2330036 6e94a103\n"
      "data/customQuest/big/_CUST_room4.cdf 2330036 4b960f94\n"
      "data/customQuest/big/_CUST_room5.cdf 2330036 4a8df45b\n"
      "data/customQuest/big/_CUST_room6.cdf 2329948 6c9211c2\n"
      "data/customQuest/big/_CUST_room7.cdf 2329948 6a152fa0\n"
      "data/customQuest/big/_CUST_room8.cdf 2329948 9b318763\n"
      "data/customQuest/big/_CUST_room9.cdf 2329948 9db6b901\n"
      "data/customQuest/big/k0800_OBJ.tga 4096 623fe833\n"
      "data/customQuest/big/k0801_OBJ.tga 4096 9ffa0c04\n"
      "data/customQuest/big/k0802_OBJ.tga 4096 42c5261c\n"
      "data/customQuest/big/k0803_OBJ.tga 4096 bf00c22b\n"
      "data/customQuest/big/k0804_OBJ.tga 4096 23ca746d\n"
      "data/customQuest/big/k0805_OBJ.tga 4096 de0f905a\n"
      "data/customQuest/big/k0806_OBJ.tga 4096 0330ba42\n"
      "data/customQuest/big/k0807_OBJ.tga 4096 fef55e75\n"
      "data/customQuest/big/k0808_OBJ.tga 4096 e1d4d08f\n"
      "data/customQuest/big/k0809_OBJ.tga 4096 1c1134b8\n"
      "data/customQuest/big/k0810_OBJ.tga 4096 c12e1ea0\n"
      "data/customQuest/big/k0811_OBJ.tga 4096 3cebfa97\n"
      "data/customQuest/big/k0812_OBJ.tga 4096 a0214cd1\n"
      "data/customQuest/big/k0813_OBJ.tga 4096 5de4a8e6\n"
      "data/customQuest/big/k0814_OBJ.tga 4096 80db82fe\n"
      "data/customQuest/big/k0815_OBJ.tga 4096 7d1e66c9\n"
      "data/customQuest/big/k0830_sprite.tga 1024 6b86b199\n"
      "data/customQuest/big/quest0.spt 49914 28019381\n"
      "data/customQuest/big/quest1.spt 490 bf8cd1fa\n"
      "data/customQuest/big/quest2.spt 490 dd53db5a\n"
      "data/customQuest/big/quest3.spt 498 6650da96\n"
      "data/customQuest/big/quest4.spt 498 685e5faa\n"
      "data/customQuest/big/quest5.spt 288 25eee2ee\n"
      "data/customQuest/big/quest6.spt 288 650b41ad\n"
      "quest/big.mtf 28080677 6edc64f1\n");
}

}  // namespace
