// What the room drawing hands the 3D engine must live until the buckets
// holding it are flushed: here, a frame that draws more block meshes than
// the block set's cache holds, so meshes drawn early in the frame are
// replaced before its end.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "doc_fixture.h"
#include "quest/room.h"
#include "render/bank_list.h"
#include "render/engine_3d.h"
#include "render/recording_renderer.h"
#include "tools/demodata/o3d_builder.h"

namespace {

using rendertest::DrawCall;

class RoomFrameStorage : public questtest::DocTest {
 protected:
  RoomFrameStorage() {
    engine->SetViewportRect(0, 0, 736, 480);
    engine->SetFocal(575.0f, 575.0f);
  }
  rendertest::RecordingRenderer renderer;
  rendertest::InstalledEngine engine{renderer};
};

TEST_F(RoomFrameStorage, AFrameOfMoreBlockMeshesThanTheCacheHoldsDrawsEveryOne) {
  // 150 blocks, each its own mesh file: one square facing up, 512 across.
  constexpr int kColumns = 15, kRows = 10;
  static_assert(kColumns * kRows > kBankMeshSlots);
  CRoom* room = questtest::AddRoom("vault", 0, 1, 0, 0, 1000, 1000);
  for (int i = 0; i < kColumns * kRows; ++i) {
    O3dBuilder mesh;
    const float y = -256.0f + static_cast<float>(i % 7);
    mesh.AddQuad({-256, y, -256}, {256, y, -256}, {256, y, 256}, {-256, y, 256}, {0, 1, 0}, 800);
    char name[64];
    std::snprintf(name, sizeof name, "rozizuzi/o4d/vault/block%03d.o3d", i);
    const std::vector<std::uint8_t> bytes = mesh.Form04D();
    dir.Write(name, std::span<const std::uint8_t>(bytes));
    std::string path(name);
    for (char& c : path)
      if (c == '/') c = '\\';
    room->Block(25 + i % kColumns, 27 + i / kColumns).fileName = path;
  }
  room->tool = CRoom::kToolRotateCamera;
  room->distance = 9000.0f;
  room->pitch = -1.4f;
  room->Render3D();
  int quads = 0;
  for (const DrawCall& c : renderer.calls) quads += c.kind == DrawCall::Quad ? 1 : 0;
  EXPECT_EQ(quads, kColumns * kRows);
  // A second frame finds the same: the cache's replacements never cost a block.
  renderer.calls.clear();
  room->Render3D();
  quads = 0;
  for (const DrawCall& c : renderer.calls) quads += c.kind == DrawCall::Quad ? 1 : 0;
  EXPECT_EQ(quads, kColumns * kRows);
}

}  // namespace
