// The demo's skeletons and monster classes: every monster class of the demo
// quest has a skeleton that loads through the bank, builds a whole model,
// stands on the floor and walks.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>

#include "datafiles/monster_class_table.h"
#include "datafiles/mtf_archive.h"
#include "platform/core/services.h"
#include "render/skeleton_bank.h"
#include "render/skinned_model.h"
#include "support/temp_dir.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/demo_skeletons.h"

namespace {

class DemoSkeletonsTest : public testsupport::TempDirTest {
 protected:
  void SetUp() override {
    MtfCloseAllArchives();
    DemoOutput out;
    AddDemoSkeletons(out);
    out.Finish();
    ASSERT_EQ(MtfOpenArchive("data.mtf", 0), 1);
    ASSERT_EQ(g_monsterClassTable.Load(), 1);
    g_skeletonBank.Rebuild();
  }
  void TearDown() override {
    g_skeletonBank.ResetSlots();
    g_skeletonBank.FreeNames();
    g_monsterClassTable.Free();
    MtfCloseAllArchives();
  }

  // The lowest point of the posed model, in model terms.
  static float Lowest(const CSkinnedModel& model) {
    float lowest = 1e9f;
    for (const CBone& bone : model.bones) {
      for (const CMeshVertex& v : bone.vertices) {
        lowest = std::min(lowest, (bone.matrix.Inverse().TransformPoint({v.x, v.y, v.z}) + model.position).y);
      }
    }
    return lowest;
  }

  platform::ScriptedServices ui;
};

TEST_F(DemoSkeletonsTest, QuestMonsterClassesNameSkeletonsTheBankKnows) {
  ASSERT_TRUE(g_monsterClassTable.IsSorted());
  for (const char* monsterClass : {"wolf", "orc"}) {
    SCOPED_TRACE(monsterClass);
    const int row = g_monsterClassTable.Find(monsterClass);
    ASSERT_GE(row, 0);
    const char* skeleton = g_monsterClassTable.Row(static_cast<std::size_t>(row)).skeleton;
    EXPECT_GE(g_skeletonBank.FindName(skeleton), 0);
  }
  EXPECT_STREQ(g_skeletonBank.GetName(0), "multipnj");
  EXPECT_EQ(g_skeletonBank.GetCount(), 3);
}

TEST_F(DemoSkeletonsTest, EverySkeletonBuildsAWholeModelThatStandsAndWalks) {
  for (const DemoSkeleton& d : DemoSkeletons()) {
    SCOPED_TRACE(d.name);
    bool loaded = false;
    CSkeleton* s = g_skeletonBank.GetSkeleton(g_skeletonBank.FindName(d.name), &loaded);
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(loaded);
    CSkinnedModel model;
    model.Build(d.name, &s->parts, &s->skins, &s->models);
    const int bones = d.fourLegged ? 7 : 11;
    ASSERT_EQ(model.BoneCount(), bones);
    EXPECT_EQ(model.bones[0].parent, -1);
    for (int i = 1; i < bones; ++i) {
      const CBone& b = model.bones[static_cast<std::size_t>(i)];
      EXPECT_GE(b.parent, 0) << b.name;
      EXPECT_GE(b.attachPoint, 0) << b.name << " hangs on its parent's part";
      EXPECT_EQ(b.vertexCount, 8);
      EXPECT_EQ(b.faceCount, 6);
      EXPECT_EQ(b.shadowFaces.size(), 6u);
      EXPECT_EQ(b.litFaces.size(), 6u);
      EXPECT_EQ(b.envFaceCount, 0);
      EXPECT_EQ(b.vertexNormals.size(), 24u);
    }
    EXPECT_EQ(model.totalVertexCount, 8 * bones);
    EXPECT_EQ(model.MergedFaceCount(), 0) << "closed boxes need no seams";

    for (const char* name : {"static", "walk"}) {
      const int a = s->animations.Find(name, d.name.c_str());
      ASSERT_GE(a, 0) << name;
      ASSERT_TRUE(s->animations.Animation(a).IsUsable());
    }
    const CAnimation& stand = s->animations.Animation(s->animations.Find("static", d.name.c_str()));
    stand.Sample(model, 0.0f, true);
    model.Update();
    EXPECT_NEAR(Lowest(model), 0.0f, 16.0f) << "feet on the floor";

    const CAnimation& walk = s->animations.Animation(s->animations.Find("walk", d.name.c_str()));
    walk.Sample(model, 0.0f, true);
    const CVector3 legAt0 = model.bones[2].angles;
    walk.Sample(model, 400.0f, true);
    EXPECT_GT((model.bones[2].angles - legAt0).Length(), 0.2f) << "a leg swings";
    model.Update();
    EXPECT_NEAR(Lowest(model), 0.0f, 24.0f);
  }
  EXPECT_TRUE(ui.boxes.empty());
}

}  // namespace
