// Boxes that Kelvar's drawing asks for (a skeleton, texture or mesh file
// missing or damaged), with the map and the crypt shown and painted, and
// each box shown for real with its own event loop and clicked away after a
// user has read it, the windows behind it repainting meanwhile.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include <QImage>

#include "datafiles/mtf_archive.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_edit_mode.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "quest/fixed_field.h"
#include "quest/graph_node.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"
#include "support/clicked_boxes.h"
#include "support/mtf_edit.h"
#include "tools/demodata/demo_content.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/sample_quest.h"

namespace kelvartest {
namespace {

using namespace kelvar;

// The unpacked bytes of an entry of the start directory's "data.mtf".
std::vector<std::uint8_t> ArchiveEntry(const char* name) {
  std::vector<std::uint8_t> bytes;
  MtfOpenArchive("data.mtf", 0);
  if (MtfFilePtr f{MtfOpen(name, "rb")}) MtfReadWhole(f.get(), bytes);
  MtfCloseAllArchives();
  return bytes;
}

// The map's node of the wolf placed in the crypt.
GraphNode* WolfNode() {
  for (GraphNode* n = Quest().graphNodes; n; n = n->next)
    if (n->kind == kNodeMonster && FieldText(n->name) == "cryptwolf") return n;
  return nullptr;
}

// Colours inside a node's box on the map (its frame left out): a box with
// a model in it holds many, an empty one the background only.
int ColoursInBox(const QImage& map, const GraphNode& node) {
  std::set<QRgb> colours;
  const int x0 = node.left - Quest().mapView.left, y0 = node.top - Quest().mapView.top;
  for (int y = y0 + 2; y < y0 + (node.bottom - node.top) - 2; ++y)
    for (int x = x0 + 2; x < x0 + (node.right - node.left) - 2; ++x)
      if (map.valid(x, y)) colours.insert(map.pixel(x, y));
  return static_cast<int>(colours.size());
}

// True when every bone of the model has the angles the model was built with.
bool InRestPose(const CSkinnedModel& model, std::string_view skeleton) {
  CSkeleton* s = g_skeletonBank.GetSkeleton(g_skeletonBank.FindName(std::string(skeleton)));
  if (!s) return false;
  CSkinnedModel rest;
  rest.Build(std::string(skeleton), &s->parts, &s->skins, &s->models);
  if (rest.BoneCount() != model.BoneCount() || rest.BoneCount() == 0) return false;
  for (int i = 0; i < rest.BoneCount(); ++i) {
    const CVector3& a = rest.bones[static_cast<std::size_t>(i)].angles;
    const CVector3& b = model.bones[static_cast<std::size_t>(i)].angles;
    if (a.x != b.x || a.y != b.y || a.z != b.z) return false;
  }
  return true;
}

class DrawingBoxes : public KelvarTest {
 protected:
  void WriteDemo() {
    DemoOutput out;
    AddEditorDemo(out);
    out.Finish();
  }
  // Opens the quest with the main window shown, paints the map where the
  // crypt's wolf stands, then edits the crypt and paints it, then the map
  // again.
  void OpenMapAndCrypt() {
    ASSERT_TRUE(Start({kSampleQuestPath}));
    Main().resize(1000, 700);
    Settle();
    view = CRoomView::Instance();
    ASSERT_NE(view, nullptr);
    Quest().mapView.left += kMapShift;
    Quest().mapView.right += kMapShift;
    Paint();
    SelectInTree(kTreeRooms, "crypt");
    ASSERT_TRUE(Send(kCmdRoomEdit));
    ASSERT_NE(TheRoomEditMode().EditedRoom(), nullptr);
    Paint();
    Paint();
    ASSERT_TRUE(Send(kCmdHierarchyView));
    Paint();
    mapImage = view->LastImage();
  }
  void Paint() {
    const int before = view->PresentCount();
    view->repaint();
    Settle();
    EXPECT_GT(view->PresentCount(), before) << "the view drew and presented";
  }
  void ExpectBoxesOnce(const testsupport::ClickedBoxes& clicked, const std::vector<std::string>& expected) {
    EXPECT_EQ(clicked.Texts(), expected);
    for (const auto& box : clicked.boxes) EXPECT_FALSE(box.duringDrawing) << box.text;
  }

  static constexpr int kMapShift = 800;  // the wolf's node stands at x = 1100
  CRoomView* view = nullptr;
  QImage mapImage;
};

struct SkeletonCase {
  const char* extension;
  bool damaged;  // else missing
  const char* box;  // "" for none
  enum Model { kWolfAtRest, kWolfPosed, kMultipnj, kNone } model;
};

class SkeletonFileBoxes : public DrawingBoxes, public ::testing::WithParamInterface<SkeletonCase> {};

TEST_P(SkeletonFileBoxes, ShowTheirBoxOnceAfterThePaintAndDrawTheModelAsTheFilesAllow) {
  const SkeletonCase& c = GetParam();
  WriteDemo();
  const std::string entry = std::string("data\\skeletons\\wolf\\wolf.") + c.extension;
  if (!*c.extension) {
    // Every file there: the wolf stands in its "static" pose.
  } else if (c.damaged) {
    std::vector<std::uint8_t> bytes = ArchiveEntry(entry.c_str());
    ASSERT_GT(bytes.size(), 16u);
    bytes.resize(bytes.size() / 2);  // ends inside a record
    ASSERT_TRUE(testsupport::ReplaceArchiveEntry(dir.Native("data.mtf"), entry, bytes));
  } else {
    ASSERT_TRUE(testsupport::RemoveArchiveEntry(dir.Native("data.mtf"), entry));
  }
  testsupport::ClickedBoxes clicked;
  OpenMapAndCrypt();
  ExpectBoxesOnce(clicked, *c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});

  GraphNode* wolf = WolfNode();
  ASSERT_NE(wolf, nullptr);
  const int colours = ColoursInBox(mapImage, *wolf);
  mapImage.save(QString("/tmp/paint_scratch/map_%1%2.png").arg(c.extension).arg(c.damaged ? "d" : "m"));
  switch (c.model) {
    case SkeletonCase::kWolfAtRest:
    case SkeletonCase::kWolfPosed:
      ASSERT_TRUE(wolf->model && wolf->model->BoneCount() > 0);
      EXPECT_STREQ(wolf->skeletonName, "wolf");
      EXPECT_EQ(InRestPose(*wolf->model, "wolf"), c.model == SkeletonCase::kWolfAtRest);
      EXPECT_GT(colours, 3) << "the model shows in its box on the map";
      break;
    case SkeletonCase::kMultipnj:
      ASSERT_TRUE(wolf->model && wolf->model->BoneCount() > 0);
      EXPECT_STREQ(wolf->skeletonName, "MULTIPNJ");
      EXPECT_GT(colours, 3);
      break;
    case SkeletonCase::kNone:
      EXPECT_TRUE(!wolf->model || wolf->model->BoneCount() == 0);
      EXPECT_LE(colours, 1) << "an empty box";
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    WolfFiles, SkeletonFileBoxes,
    ::testing::Values(
        SkeletonCase{"", false, "", SkeletonCase::kWolfPosed},
        SkeletonCase{"ska", false, "", SkeletonCase::kMultipnj},
        SkeletonCase{"ska", true, "Error while reading data\\skeletons\\wolf\\wolf.ska", SkeletonCase::kNone},
        SkeletonCase{"mbr", false, "Error while reading data\\skeletons\\wolf\\wolf.mbr", SkeletonCase::kNone},
        SkeletonCase{"mbr", true, "Error while reading data\\skeletons\\wolf\\wolf.mbr", SkeletonCase::kNone},
        SkeletonCase{"mdl", false, "", SkeletonCase::kNone},
        SkeletonCase{"mdl", true, "Error while reading data\\skeletons\\wolf\\wolf.mdl", SkeletonCase::kNone},
        SkeletonCase{"anb", false, "Error while reading data\\skeletons\\wolf\\wolf.anb", SkeletonCase::kWolfAtRest},
        SkeletonCase{"anb", true, "Error while reading data\\skeletons\\wolf\\wolf.anb", SkeletonCase::kWolfAtRest}),
    [](const ::testing::TestParamInfo<SkeletonCase>& p) {
      if (!*p.param.extension) return std::string("AllThere");
      return std::string(p.param.damaged ? "Damaged" : "Missing") + p.param.extension;
    });

// A texture bank and a custom mesh taken away or damaged: the crypt and the
// map still draw, and a box, when the file asks for one, comes once.
struct DataFileCase {
  const char* name;
  const char* path;   // an archive entry, or a loose file ('/' separated)
  bool loose;
  bool damaged;       // else missing
  const char* box;    // "" for none
};

class DataFileBoxes : public DrawingBoxes, public ::testing::WithParamInterface<DataFileCase> {};

TEST_P(DataFileBoxes, ShowTheirBoxOnceAfterThePaint) {
  const DataFileCase& c = GetParam();
  WriteDemo();
  if (c.loose) {
    ASSERT_TRUE(dir.Exists(c.path));
    if (c.damaged) {
      const std::string bytes = dir.Read(c.path);
      dir.Write(c.path, std::string_view(bytes).substr(0, bytes.size() / 2));
    } else {
      ASSERT_EQ(std::remove(dir.Native(c.path).c_str()), 0);
    }
  } else {
    ASSERT_FALSE(c.damaged);
    ASSERT_TRUE(testsupport::RemoveArchiveEntry(dir.Native("data.mtf"), c.path));
  }
  testsupport::ClickedBoxes clicked;
  OpenMapAndCrypt();
  ExpectBoxesOnce(clicked, *c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
  // Drawing goes on: the crypt's wolf stands on the map.
  GraphNode* wolf = WolfNode();
  ASSERT_NE(wolf, nullptr);
  EXPECT_GT(ColoursInBox(mapImage, *wolf), 3);
}

INSTANTIATE_TEST_SUITE_P(
    DemoFiles, DataFileBoxes,
    ::testing::Values(
        DataFileCase{"MissingTexture", "DATA\\bankdatabase\\brimvault\\k0005_flagstone.tga", false, false, ""},
        DataFileCase{"MissingMesh", "rozizuzi/customMeshes/demo_door.o3d", true, false, ""},
        DataFileCase{"DamagedMesh", "rozizuzi/customMeshes/demo_door.o3d", true, true,
                     "Error while reading ROZIZUZI\\CUSTOMMESHES\\DEMO_DOOR.O3D, error = 14\n"}),
    [](const ::testing::TestParamInfo<DataFileCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace kelvartest
