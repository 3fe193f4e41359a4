// From a model to Kelvar: a ".3DS" that assimp made from an OBJ of our own
// is imported through the panel, mapped with a texture, saved into the
// custom-mesh folder through the document, and Kelvar's custom-mesh bank
// lists it and reads it with its faces and texture number.
#include <gtest/gtest.h>

#include <cstdlib>

#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/mesh_list_box.h"
#include "meshedit/ui/pavix_doc.h"
#include "meshedit/ui/pavix_globals.h"
#include "pavix_fixture.h"
#include "platform/ui/command_ids.h"
#include "render/bank_list.h"
#include "render/mesh.h"
#include "support/external_tool.h"

namespace {

using namespace pavix;
using pavixtest::PavixTest;

int RunCommand(const std::string& command) {
  const int status = std::system(command.c_str());
  return status == -1 ? -1 : WEXITSTATUS(status);
}

class CustomMeshRoundTrip : public PavixTest {
 protected:
  void SetUp() override {
    REQUIRE_EXTERNAL_TOOL(testsupport::kAssimp);
    PavixTest::SetUp();
  }
};

TEST_F(CustomMeshRoundTrip, ImportedMappedAndSavedMeshIsFoundByKelvar) {
  // A wedge: two triangles and three quads, eight faces once assimp has triangulated it.
  dir.Write("wedge.obj", std::string_view("v 0 0 0\nv 40 0 0\nv 0 30 0\nv 0 0 20\nv 40 0 20\nv 0 30 20\n"
                                          "f 1 3 2\nf 4 5 6\nf 1 2 5 4\nf 2 3 6 5\nf 3 1 4 6\n"));
  ASSERT_EQ(RunCommand("assimp export '" + dir.Native("wedge.obj") + "' '" + dir.Native("wedge.3ds") + "' >/dev/null 2>&1"),
            0);
  dir.MakeDir("rozizuzi/customMeshes");
  ASSERT_TRUE(Start());

  script.AnswerFile(dir.Native("wedge.3ds"));
  Panel().OnControl(kIdcImport3ds);
  const int sides = Globals().shape.SideCount();
  ASSERT_EQ(sides, 8);
  EXPECT_TRUE(Doc().IsModified());
  Globals().textureId = 812;
  FaceOn(900, 400);
  Panel().OnControl(kIdcProjection);
  for (const CSide& s : Globals().shape.sides) EXPECT_EQ(s.TextureId(), 812u);

  script.AnswerFile(dir.Native("rozizuzi/customMeshes/wedge.o3d"));
  Send(platform::ui::kCmdFileSaveAs);
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_TRUE(BoxTexts().empty());
  ASSERT_EQ(Panel().MeshList().Count(), 1);  // the panel lists what was saved there

  CBankList bank;
  bank.Scan("rozizuzi\\customMeshes", "o3d");
  ASSERT_EQ(bank.GetCount(), 1);
  EXPECT_EQ(bank.FindName("wedge"), 0);
  CMesh* mesh = bank.GetMeshAt(0);
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->FaceCount(), sides);
  EXPECT_EQ(static_cast<int>(mesh->vertices.size()), Globals().shape.VertexCount());
  for (const CFace& f : mesh->faces) {
    EXPECT_EQ(f.depth, 812);
    EXPECT_EQ(f.vertexCount, 3);
    // Mapped coordinates, in texels of a 256-texel texture.
    for (int k = 0; k < 3; ++k) {
      EXPECT_GE(f.uv[k].u, 0.0f);
      EXPECT_LE(f.uv[k].u, 256.0f);
    }
  }
}

}  // namespace
