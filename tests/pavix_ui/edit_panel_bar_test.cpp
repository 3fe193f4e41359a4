// The tool panel: texture ids, side flags, mapping, camera placements,
// Align, Merge, Delete, imports and the list of custom meshes.
#include "meshedit/ui/edit_panel_bar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>

#include "meshedit/core/render_pipeline.h"
#include "meshedit/ui/mesh_list_box.h"
#include "meshedit/ui/pavix_doc.h"
#include "meshedit/ui/pavix_globals.h"
#include "meshedit/ui/main_frame.h"
#include "meshedit/ui/pavix_view.h"
#include "editor_ui/user_input.h"
#include "pavix_fixture.h"
#include "support/bytes.h"

namespace {

using namespace pavix;
using pavixtest::PavixTest;

class EditPanelTest : public PavixTest {
 protected:
  void SetUp() override {
    PavixTest::SetUp();
    dir.MakeDir("rozizuzi/customMeshes");
    ASSERT_TRUE(Start());
  }
  QLineEdit& TextureEdit() { return *static_cast<QLineEdit*>(Panel().Control(kIdcTextureId)); }
  QCheckBox& Box(int id) { return *static_cast<QCheckBox*>(Panel().Control(id)); }
  // A left click in the 3D view on the point of the mesh (seen face-on in 900 x 400).
  void ClickOn(CVector point) {
    Globals().camera.Rebuild();
    CRenderPipeline::SetCamera(Globals().camera.matrix);
    CRenderPipeline::SetViewport(0, 0, 599, 399);
    float sx = 0, sy = 0;
    ASSERT_TRUE(CRenderPipeline::ProjectPoint(point, &sx, &sy));
    ClickView(static_cast<int>(sx), static_cast<int>(sy));
  }
  void Activate() {
    Main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Main()));
  }
};

TEST_F(EditPanelTest, PrevAndNextStayWithinTheBanks) {
  EXPECT_EQ(Globals().textureId, 800);
  EXPECT_EQ(TextureEdit().text(), "800");
  Panel().OnControl(kIdcNext);
  EXPECT_EQ(Globals().textureId, 801);
  EXPECT_EQ(TextureEdit().text(), "801");
  Globals().textureId = 1023;
  Panel().OnControl(kIdcNext);
  EXPECT_EQ(Globals().textureId, 1023);
  Globals().textureId = 0;
  Panel().OnControl(kIdcPrev);
  EXPECT_EQ(Globals().textureId, 0);
  // A typed id takes effect at once and never leaves the side's 11 bits.
  TextureEdit().setText("42");
  EXPECT_EQ(Globals().textureId, 42);
  TextureEdit().setText("99999");
  EXPECT_LE(Globals().textureId, kMaxTextureId);
}

TEST_F(EditPanelTest, SetGivesTheIdToTheGroupOrToEverySide) {
  Globals().shape = pavixtest::TwoSquares();
  Globals().shape.GroupSides();
  Globals().textureId = 812;
  Panel().OnControl(kIdcSet);  // no side current: every side
  for (const CSide& s : Globals().shape.sides) EXPECT_EQ(s.TextureId(), 812u);
  EXPECT_TRUE(Doc().IsModified());
  Globals().currentSide = 0;
  Globals().currentGroup = Globals().shape.sides[0].group;
  Globals().textureId = 813;
  Panel().OnControl(kIdcSet);
  for (const CSide& s : Globals().shape.sides)
    EXPECT_EQ(s.TextureId(), s.group == Globals().currentGroup ? 813u : 812u);
  // Get reads the current side's id back.
  Globals().textureId = 5;
  Panel().OnControl(kIdcGet);
  EXPECT_EQ(Globals().textureId, 813);
  ClearCurrentSide();
  Panel().OnControl(kIdcGet);  // without a current side nothing changes
  EXPECT_EQ(Globals().textureId, 813);
}

TEST_F(EditPanelTest, FlagBoxesFollowAndSetTheCurrentSide) {
  Globals().shape = pavixtest::SquareMesh();
  Globals().currentSide = 1;
  Panel().ReloadFields();
  auto* transparent = static_cast<QCheckBox*>(Panel().Control(kIdcTransparent));
  auto* translucent = static_cast<QCheckBox*>(Panel().Control(kIdcTranslucent));
  transparent->click();
  EXPECT_TRUE(Globals().shape.sides[1].flags & kSideTransparent);
  EXPECT_FALSE(Globals().shape.sides[1].flags & kSideTranslucent);
  EXPECT_TRUE(Doc().IsModified());
  translucent->click();
  EXPECT_TRUE(Globals().shape.sides[1].flags & kSideTranslucent);
  // Another side's flags show when it becomes current.
  Globals().currentSide = 2;
  Panel().ReloadFields();
  EXPECT_FALSE(transparent->isChecked());
  EXPECT_FALSE(translucent->isChecked());
}

// The boxes are the current side's flags: with no side current they cannot be
// ticked, and clicking them changes nothing.
TEST_F(EditPanelTest, FlagBoxesCannotBeTickedWithoutACurrentSide) {
  Globals().shape = pavixtest::SquareMesh();
  FaceOn(900, 400);
  const auto untouched = [&] {
    for (const CSide& side : Globals().shape.sides) EXPECT_FALSE(side.flags & (kSideTransparent | kSideTranslucent));
  };
  for (int id : {kIdcTransparent, kIdcTranslucent}) {
    SCOPED_TRACE(id);
    ClickControl(id);
    EXPECT_FALSE(Box(id).isEnabled());
    EXPECT_FALSE(Box(id).isChecked());
  }
  untouched();
  EXPECT_FALSE(Doc().IsModified());
  // A side picked with the mouse: the boxes are its flags.
  ClickOn({0, 20, 0});
  ASSERT_NE(CurrentSide(), nullptr);
  EXPECT_TRUE(Box(kIdcTransparent).isEnabled());
  EXPECT_TRUE(Box(kIdcTranslucent).isEnabled());
  ClickControl(kIdcTransparent);
  EXPECT_TRUE(Box(kIdcTransparent).isChecked());
  EXPECT_TRUE(CurrentSide()->flags & kSideTransparent);
  // A click beside the mesh takes the side away, and the boxes with it.
  ClickView(5, 5);
  ASSERT_EQ(CurrentSide(), nullptr);
  EXPECT_FALSE(Box(kIdcTransparent).isEnabled());
  EXPECT_FALSE(Box(kIdcTransparent).isChecked());
  EXPECT_FALSE(Box(kIdcTranslucent).isEnabled());
}

// The panel's access keys are its own: with the focus in the panel, Alt and a
// menu's letter opens that menu, and only the panel's own letters reach its
// buttons.
TEST_F(EditPanelTest, PanelAccessKeysLeaveTheMenuBarItsOwn) {
  Globals().shape = pavixtest::TwoSquares();
  FaceOn(900, 400);
  ClickOn({100, 20, 0});
  ASSERT_NE(Globals().currentGroup, 0);
  Activate();
  ClickControl(kIdcCenter);  // the focus in the panel
  ASSERT_TRUE(Panel().isAncestorOf(QApplication::focusWidget()));
  const CVector angles = Globals().camera.angles;
  struct Case {
    Qt::Key key;
    const char* menu;
  };
  for (const Case& c : {Case{Qt::Key_F, "&File"}, Case{Qt::Key_D, "&Display"}}) {
    SCOPED_TRACE(c.menu);
    QTest::keyClick(QApplication::focusWidget(), c.key, Qt::AltModifier);
    pavixtest::Settle();
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr) << "no menu opened";
    EXPECT_EQ(popup->title(), QString(c.menu));
    // Escape closes the menu, and again leaves the bar for the panel.
    QTest::keyClick(popup, Qt::Key_Escape);
    pavixtest::Settle();
    ASSERT_EQ(QApplication::activePopupWidget(), nullptr);
    if (QApplication::focusWidget() == Main().menuBar()) QTest::keyClick(Main().menuBar(), Qt::Key_Escape);
    pavixtest::Settle();
    ASSERT_TRUE(Panel().isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QTest::qWait(200);
    EXPECT_EQ(Globals().camera.angles, angles) << "the Face button was not pressed";
    EXPECT_EQ(Globals().shape.SideCount(), 8) << "no side was deleted";
  }
  // Every access key of the panel is one no menu of the bar has.
  QStringList menuKeys;
  for (QAction* top : Main().menuBar()->actions()) menuKeys << QKeySequence::mnemonic(top->text()).toString();
  for (QAbstractButton* button : Panel().findChildren<QAbstractButton*>()) {
    const QString key = QKeySequence::mnemonic(button->text()).toString();
    EXPECT_TRUE(key.isEmpty() || !menuKeys.contains(key)) << button->text().toStdString() << " takes " << key.toStdString();
  }
  // The two buttons that had a menu's letter answer to their own.
  ClickControl(kIdcCenter);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
  QTest::qWait(300);
  EXPECT_NEAR(Globals().camera.angles.y, std::numbers::pi, 1e-5);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
  QTest::qWait(300);
  pavixtest::Settle();
  EXPECT_EQ(Globals().shape.SideCount(), 4);
}

TEST_F(EditPanelTest, PlanarMappingOfASquareSeenFaceOn) {
  Globals().shape = pavixtest::SquareMesh();
  FaceOn(900, 400);
  Globals().textureId = 801;
  Panel().OnControl(kIdcProjection);
  const CShape& s = Globals().shape;
  for (const CSide& side : s.sides) {
    EXPECT_EQ(side.TextureId(), 801u);
    for (int k = 0; k < 3; ++k) {
      const CVector p = s.vertices[side.index[k]].position;
      // x grows to the right: u from 0 to 1; y grows upwards: v from 1 to 0; the centre at 0.5.
      EXPECT_FLOAT_EQ(side.uv[k].u, p.x < 0 ? 0.0f : p.x > 0 ? 1.0f : 0.5f);
      EXPECT_FLOAT_EQ(side.uv[k].v, p.y > 0 ? 0.0f : p.y < 0 ? 1.0f : 0.5f);
    }
  }
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(EditPanelTest, MappingAMeshWithoutExtentDividesByNothing) {
  CShape flat;
  for (int i = 0; i < 3; ++i) flat.vertices.push_back({{5, 5, 5}, {0, 0, -1}, 0});
  CSide side;
  side.index[0] = 0;
  side.index[1] = 1;
  side.index[2] = side.index[3] = 2;
  flat.sides.push_back(side);
  flat.SetSingleNode({0, 0, 0}, {0, 0, 1});
  Globals().shape = flat;
  FaceOn(900, 400);
  Panel().OnControl(kIdcProjection);
  for (const CUv& uv : Globals().shape.sides[0].uv) EXPECT_EQ(uv, (CUv{0.5f, 0.5f}));
  Panel().OnControl(kIdcCylindric);
  for (const CUv& uv : Globals().shape.sides[0].uv) {
    EXPECT_TRUE(std::isfinite(uv.u));
    EXPECT_EQ(uv.v, 0.0f);
  }
}

TEST_F(EditPanelTest, CylindricalMappingGoesRoundTheViewAxis) {
  Globals().shape = pavixtest::SquareMesh();
  FaceOn(900, 400);
  Panel().OnControl(kIdcCylindric);
  const CShape& s = Globals().shape;
  // The corner (64, -64) lies at -45 degrees round the view's axis: u = 0.375.
  for (const CSide& side : s.sides)
    for (int k = 0; k < 3; ++k) {
      const CVector p = s.vertices[side.index[k]].position;
      if (p.x > 0 && p.y < 0) {
        EXPECT_NEAR(side.uv[k].u, 0.375f, 1e-3);
      }
      EXPECT_TRUE(side.uv[k].u >= 0 && side.uv[k].u <= 1.5f);
    }
}

TEST_F(EditPanelTest, CameraButtonsSetTheAnglesAndCenterTheTarget) {
  const float pi = static_cast<float>(std::numbers::pi);
  struct Case {
    int id;
    CVector angles;
  };
  const Case cases[] = {{kIdcTop, {pi / 2, 0, 0}},  {kIdcBottom, {-pi / 2, 0, 0}}, {kIdcLeft, {0, pi / 2, 0}},
                        {kIdcRight, {0, -pi / 2, 0}}, {kIdcFace, {0, pi, 0}},       {kIdcBack, {0, 0, 0}}};
  for (const Case& c : cases) {
    Panel().OnControl(c.id);
    EXPECT_EQ(Globals().camera.angles, c.angles) << c.id;
  }
  Panel().OnControl(kIdcCenter);  // no side: the origin
  EXPECT_EQ(Globals().camera.target, (CVector{0, 0, 0}));
  Globals().shape = pavixtest::SquareMesh(10, 20, 4);
  Panel().OnControl(kIdcCenter);
  EXPECT_NEAR(Globals().camera.target.x, 10, 1e-5);
  EXPECT_NEAR(Globals().camera.target.y, 20, 1e-5);
}

TEST_F(EditPanelTest, AlignLooksAtTheCurrentSideAlongItsNormal) {
  Globals().shape = pavixtest::SquareMesh(0, 0, 64);
  Panel().OnControl(kIdcAlign);  // no current side: nothing
  EXPECT_EQ(Globals().camera.angles, (CVector{}));
  Globals().currentSide = 0;
  Panel().OnControl(kIdcAlign);
  const CSide& s = Globals().shape.sides[0];
  CVector centre{};
  for (int k = 0; k < 3; ++k) centre = centre + Globals().shape.vertices[s.index[k]].position;
  centre = centre * (1.0f / 3);
  EXPECT_NEAR(Globals().camera.target.x, centre.x, 1e-4);
  EXPECT_NEAR(Globals().camera.target.y, centre.y, 1e-4);
  // The normal of (c0 - c1) x (c1 - c2) points along -z: no turn about x, half a turn about y.
  EXPECT_NEAR(Globals().camera.angles.x, 0, 1e-5);
  EXPECT_NEAR(std::fabs(Globals().camera.angles.y), std::numbers::pi, 1e-5);
  EXPECT_EQ(Globals().camera.angles.z, 0);
  // A side in a horizontal plane: the camera looks straight down or up.
  CShape floor;
  for (CVector p : {CVector{0, 0, 0}, CVector{0, 0, 10}, CVector{10, 0, 0}}) floor.vertices.push_back({p, {}, 0});
  CSide f;
  f.index[0] = 0;
  f.index[1] = 1;
  f.index[2] = f.index[3] = 2;
  floor.sides.push_back(f);
  Globals().shape = floor;
  Globals().currentSide = 0;
  Panel().OnControl(kIdcAlign);
  EXPECT_NEAR(std::fabs(Globals().camera.angles.x), std::numbers::pi / 2, 1e-5);
  EXPECT_EQ(Globals().camera.angles.y, 0);
}

TEST_F(EditPanelTest, DeleteRemovesOnlyTheCurrentGroup) {
  Globals().shape = pavixtest::TwoSquares();
  Globals().shape.GroupSides();
  Panel().OnControl(kIdcDelete);  // group 0: nothing
  EXPECT_EQ(Globals().shape.SideCount(), 8);
  EXPECT_FALSE(Doc().IsModified());
  Globals().currentSide = 0;
  Globals().currentGroup = Globals().shape.sides[0].group;
  const bool leftGone = Globals().shape.vertices[Globals().shape.sides[0].index[0]].position.x < 0;
  Panel().OnControl(kIdcDelete);
  EXPECT_EQ(Globals().shape.SideCount(), 4);
  EXPECT_EQ(Globals().shape.VertexCount(), 5);
  for (const CShapeVertex& v : Globals().shape.vertices) EXPECT_EQ(v.position.x > 0, leftGone);
  EXPECT_EQ(Globals().currentSide, -1);
  EXPECT_EQ(Globals().currentGroup, 0);
  EXPECT_TRUE(Doc().IsModified());
}

TEST_F(EditPanelTest, MeshListSkipsDamagedFilesAndMergesTheSelection) {
  WriteMesh("rozizuzi/customMeshes/a_square.o3d", pavixtest::SquareMesh());
  dir.Write("rozizuzi/customMeshes/b_broken.o3d", std::string_view("\x01\x00\x00\x00garbage", 11));
  WriteMesh("rozizuzi/customMeshes/c_two.O3D", pavixtest::TwoSquares());
  dir.Write("rozizuzi/customMeshes/notes.txt", std::string_view("not a mesh"));
  Panel().FillMeshList();
  CMeshListBox& list = Panel().MeshList();
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.EntryText(0), "a_square.o3d");
  EXPECT_EQ(list.EntryText(1), "c_two.O3D");
  EXPECT_EQ(list.EntryMesh(1)->SideCount(), 8);
  // Merge and Load need a selection.
  Panel().OnControl(kIdcMerge);
  EXPECT_EQ(Globals().shape.SideCount(), 0);
  EXPECT_FALSE(Doc().IsModified());
  list.setCurrentRow(0);
  EXPECT_EQ(Panel().EntryText(), "a_square.o3d");
  Panel().OnControl(kIdcMerge);
  Panel().OnControl(kIdcMerge);
  EXPECT_EQ(Globals().shape.SideCount(), 8);
  EXPECT_TRUE(Doc().IsModified());
  // Load opens the entry as the document, asking about the merged changes first.
  boxes.Answer(platform::kIdNo);
  list.setCurrentRow(1);
  Panel().OnControl(kIdcLoad);
  EXPECT_EQ(Globals().shape.SideCount(), 8);
  EXPECT_EQ(Doc().Title(), "c_two.O3D");
  EXPECT_FALSE(Doc().IsModified());
  // Thumbnails are drawn through the device: a selected entry on grey, others on white.
  View().LayoutViewports(400, 300);
  const QImage selected = CMeshListBox::DrawThumbnail(*list.EntryMesh(1), 64, 64, true);
  const QImage plain = CMeshListBox::DrawThumbnail(*list.EntryMesh(1), 64, 64, false);
  ASSERT_EQ(selected.size(), QSize(64, 64));
  // Within the 5-6-5 desktop's steps.
  const QColor grey = selected.pixelColor(0, 0), white = plain.pixelColor(0, 0);
  for (int c : {grey.red(), grey.green(), grey.blue()}) EXPECT_NEAR(c, 128, 8);
  for (int c : {white.red(), white.green(), white.blue()}) EXPECT_GE(c, 248);
  // The two squares show left and right of the middle.
  int drawn = 0;
  for (int x = 0; x < 64; ++x) drawn += plain.pixelColor(x, 32) != white ? 1 : 0;
  EXPECT_GT(drawn, 8);
}

// The list chooses nothing when it gets the focus or is scrolled: the text
// under it stays empty and Merge and Load do nothing until a row is clicked.
TEST_F(EditPanelTest, MeshListChoosesNothingOnFocusOrScrolling) {
  for (char c = 'a'; c <= 'x'; ++c) WriteMesh(std::string("rozizuzi/customMeshes/") + c + ".o3d", pavixtest::SquareMesh());
  Panel().FillMeshList();
  CMeshListBox& list = Panel().MeshList();
  ASSERT_EQ(list.Count(), 24);
  Activate();
  QTest::qWait(50);  // the list lays its rows out
  QScrollBar& bar = *list.verticalScrollBar();
  ASSERT_TRUE(bar.isVisible()) << "the rows all fit: nothing to scroll";
  auto* label = static_cast<QLabel*>(Panel().Control(kIdcEntryText));
  struct Case {
    const char* how;
    std::function<void()> act;
  };
  const Case cases[] = {
      {"Tab", [&] {
         QWidget* before = Panel().Control(kIdcDelete);
         before->setFocus(Qt::OtherFocusReason);
         QTest::keyClick(before, Qt::Key_Tab);
         ASSERT_TRUE(list.hasFocus());
       }},
      {"the scroll bar's arrows", [&] {
         QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, bar.height() - 4));
         EXPECT_GT(bar.value(), 0);
         QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, 4));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    // Each way from a list nobody has touched, the focus elsewhere.
    Panel().FillMeshList();
    Globals().shape.Clear();
    Doc().SetModifiedFlag(false);
    boxes.boxes.clear();
    TextureEdit().setFocus(Qt::OtherFocusReason);
    QTest::qWait(50);
    c.act();
    pavixtest::Settle();
    EXPECT_TRUE(list.selectedItems().isEmpty());
    EXPECT_FALSE(list.currentIndex().isValid()) << "a row was made current";
    EXPECT_TRUE(Panel().EntryText().empty()) << Panel().EntryText();
    EXPECT_TRUE(label->text().isEmpty());
    ClickControl(kIdcMerge);
    EXPECT_EQ(Globals().shape.SideCount(), 0) << "merged a mesh nobody chose";
    EXPECT_FALSE(Doc().IsModified());
    ClickControl(kIdcLoad);
    EXPECT_EQ(Doc().Title(), "untitled") << "loaded a mesh nobody chose";
    EXPECT_TRUE(BoxTexts().empty());
  }
  // A click on a row chooses it.
  ASSERT_TRUE(kelvartest::ClickRow(list, "c.o3d"));
  EXPECT_EQ(Panel().EntryText(), "c.o3d");
  EXPECT_EQ(label->text(), QString("c.o3d"));
  ClickControl(kIdcMerge);
  EXPECT_EQ(Globals().shape.SideCount(), 4);
}

// Whatever the list shows, Load opens: the list finds meshes whatever the
// case of their extension, and so does opening.
TEST_F(EditPanelTest, EveryListedMeshLoads) {
  WriteMesh("rozizuzi/customMeshes/Mixed.O3d", pavixtest::TwoSquares());
  WriteMesh("rozizuzi/customMeshes/plain.o3d", pavixtest::SquareMesh());
  WriteMesh("rozizuzi/customMeshes/UPPER.O3D", pavixtest::SquareMesh(0, 0, 8));
  Panel().FillMeshList();
  CMeshListBox& list = Panel().MeshList();
  ASSERT_EQ(list.Count(), 3);
  struct Case {
    const char* name;
    int sides;
  };
  for (const Case& c : {Case{"Mixed.O3d", 8}, Case{"plain.o3d", 4}, Case{"UPPER.O3D", 4}}) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(kelvartest::ClickRow(list, c.name));
    ClickControl(kIdcLoad);
    EXPECT_TRUE(BoxTexts().empty()) << BoxTexts().front();
    EXPECT_EQ(Doc().Title(), c.name);
    EXPECT_EQ(Globals().shape.SideCount(), c.sides);
  }
}

TEST_F(EditPanelTest, AnEmptyFolderGivesAnEmptyList) {
  Panel().FillMeshList();
  EXPECT_EQ(Panel().MeshList().Count(), 0);
  Panel().OnControl(kIdcLoad);  // no selection: nothing
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(EditPanelTest, ImportReplacesTheMeshAndMarksTheDocument) {
  dir.Write("model.asc",
            std::string_view("Named object: \"x\"\nTri-mesh, Vertices: 3 Faces: 1\nVertex list:\n"
                             "Vertex 0: X:0 Y:0 Z:0\nVertex 1: X:10 Y:0 Z:0\nVertex 2: X:0 Y:10 Z:0\n"
                             "Face list:\nFace 0: A:0 B:1 C:2\n"));
  Globals().currentSide = 0;
  script.AnswerFile(dir.Native("model.asc"));
  Panel().OnControl(kIdcImportAsc);
  ASSERT_EQ(script.fileDialogs.size(), 1u);
  EXPECT_EQ(script.fileDialogs[0].filter, "ASC Files (*.ASC)|*.ASC||");
  EXPECT_EQ(Globals().shape.SideCount(), 1);
  EXPECT_EQ(Globals().currentSide, -1);
  EXPECT_TRUE(Doc().IsModified());
  // A model that cannot be read is reported and changes nothing.
  Doc().SetModifiedFlag(false);
  script.AnswerFile(dir.Native("missing.3ds"));
  Panel().OnControl(kIdcImport3ds);
  EXPECT_EQ(Globals().shape.SideCount(), 1);
  EXPECT_FALSE(Doc().IsModified());
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_NE(BoxTexts()[0].find("missing.3ds"), std::string::npos);
  // Cancelling the dialog does nothing.
  Panel().OnControl(kIdcImportDxf);
  EXPECT_EQ(Globals().shape.SideCount(), 1);
}

// A model that cannot be used leaves the mesh, its current side and the
// document's flag as they were, and says which file and why.
TEST_F(EditPanelTest, AModelThatCannotBeReadLeavesTheMeshAndSaysWhy) {
  // A 3DS file cut at 300 bytes: its main chunk claims more than is there.
  testsupport::Bytes cut;
  cut.u16(0x4D4D).u32(1800).u16(0x3D3D).u32(1794).zeros(288);
  ASSERT_EQ(cut.size(), 300u);
  dir.Write("cut.3ds", cut.data());
  std::string noise(2000, '\0');
  for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919 + 13) % 251);
  dir.Write("noise.dxf", noise);
  dir.Write("notes.asc", std::string_view("Remember to buy milk.\n"));
  // A triangle with a corner that is not a number, one with a corner at 3e38.
  const auto chunk = [](std::uint16_t id, const testsupport::Bytes& body) {
    testsupport::Bytes b;
    b.u16(id).u32(static_cast<std::uint32_t>(6 + body.size())).raw(body.data());
    return b;
  };
  testsupport::Bytes vertices, faces, object;
  vertices.u16(3).f32(std::numeric_limits<float>::quiet_NaN()).f32(0).f32(0).f32(1).f32(0).f32(0).f32(0).f32(1).f32(0);
  faces.u16(1).u16(0).u16(1).u16(2).u16(0);
  object.u8('x').u8(0).raw(chunk(0x4100, chunk(0x4110, vertices).raw(chunk(0x4120, faces).data())).data());
  const testsupport::Bytes far = chunk(0x4D4D, chunk(0x3D3D, chunk(0x4000, object)));
  dir.Write("far.3ds", far.data());
  dir.Write("far.dxf", std::string_view("0\n3DFACE\n10\n0\n20\n3e38\n30\n0\n11\n1\n21\n0\n31\n0\n12\n0\n22\n1\n32\n0\n"
                                        "13\n0\n23\n1\n33\n0\n0\nEOF\n"));
  const char* const kFarFace =
      "1 of its 1 faces have a corner whose coordinates are not all numbers between -10000000 and 10000000; "
      "those faces were left out";
  struct Case {
    int button;
    const char* file;
    const char* why;
  };
  const Case cases[] = {
      {kIdcImport3ds, "cut.3ds", "the file is cut short: it holds 300 of the 1800 bytes it claims"},
      {kIdcImport3ds, "far.3ds", kFarFace},
      {kIdcImportDxf, "far.dxf", kFarFace},
      {kIdcImportDxf, "noise.dxf", "it holds no 3DFACE entity"},
      {kIdcImportAsc, "notes.asc", "it holds no vertex count (\"Vertices\")"},
      {kIdcImport3ds, "missing.3ds", "the file cannot be read, error = 2"},
  };
  WriteMesh("mesh.o3d", pavixtest::SquareMesh());
  ASSERT_NE(app->OpenDocumentFile(dir.Native("mesh.o3d")), nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Globals().currentSide = 1;
    boxes.boxes.clear();
    script.AnswerFile(dir.Native(c.file));
    ClickControl(c.button);
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_EQ(BoxTexts()[0], "Can't import the model " + dir.Native(c.file) + ": " + c.why + ".");
    EXPECT_EQ(Globals().shape.SideCount(), 4);
    EXPECT_EQ(Globals().shape.VertexCount(), 5);
    EXPECT_EQ(Globals().currentSide, 1);
    EXPECT_FALSE(Doc().IsModified());
  }
}

// A file damaged after some faces is imported as far as it reads, and says so.
TEST_F(EditPanelTest, AModelDamagedPartWayImportsWhatWasReadAndSaysSo) {
  dir.Write("short.asc",
            std::string_view("Tri-mesh, Vertices: 3 Faces: 2\nVertex list:\nVertex 0: X:0 Y:0 Z:0\n"
                             "Vertex 1: X:10 Y:0 Z:0\nVertex 2: X:0 Y:10 Z:0\nFace list:\nFace 0: A:0 B:1 C:2\n"));
  Globals().shape = pavixtest::TwoSquares();
  script.AnswerFile(dir.Native("short.asc"));
  ClickControl(kIdcImportAsc);
  EXPECT_EQ(Globals().shape.SideCount(), 1);
  EXPECT_TRUE(Doc().IsModified());
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(BoxTexts()[0], "The model " + dir.Native("short.asc") +
                               " is damaged: the face list ends after 1 of its 2 faces. What could be read was imported.");
}

// The Transparent and Translucide boxes show the current side; when Merge or
// Delete takes it away they show none.
TEST_F(EditPanelTest, FlagBoxesShowNoneOnceMergeOrDeleteClearsTheSide) {
  WriteMesh("rozizuzi/customMeshes/square.o3d", pavixtest::SquareMesh(0, 200, 16));
  Panel().FillMeshList();
  Globals().shape = pavixtest::TwoSquares();
  FaceOn(900, 400);
  auto* transparent = static_cast<QCheckBox*>(Panel().Control(kIdcTransparent));
  auto* translucent = static_cast<QCheckBox*>(Panel().Control(kIdcTranslucent));
  // Picks a side of the right square with the mouse and sets both of its flags.
  auto pickAndFlag = [&] {
    Globals().camera.Rebuild();
    CRenderPipeline::SetCamera(Globals().camera.matrix);
    CRenderPipeline::SetViewport(0, 0, 599, 399);
    float sx = 0, sy = 0;
    ASSERT_TRUE(CRenderPipeline::ProjectPoint({100, 20, 0}, &sx, &sy));
    ClickView(static_cast<int>(sx), static_cast<int>(sy));
    ASSERT_GE(Globals().currentSide, 0);
    ClickControl(kIdcTransparent);
    ClickControl(kIdcTranslucent);
    ASSERT_TRUE(transparent->isChecked());
    ASSERT_TRUE(translucent->isChecked());
    ASSERT_TRUE(CurrentSide()->flags & kSideTransparent);
  };
  pickAndFlag();
  ClickControl(kIdcDelete);
  EXPECT_EQ(Globals().currentSide, -1);
  EXPECT_EQ(Globals().shape.SideCount(), 4);
  EXPECT_FALSE(transparent->isChecked());
  EXPECT_FALSE(translucent->isChecked());
  EXPECT_FALSE(Panel().TransparentBox());
  EXPECT_FALSE(Panel().TranslucentBox());

  Globals().shape = pavixtest::TwoSquares();
  pickAndFlag();
  CMeshListBox& list = Panel().MeshList();
  ASSERT_EQ(list.Count(), 1);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, list.visualItemRect(list.item(0)).center());
  ASSERT_EQ(list.currentRow(), 0);
  ClickControl(kIdcMerge);
  EXPECT_EQ(Globals().shape.SideCount(), 12);
  EXPECT_EQ(Globals().currentSide, -1);
  EXPECT_FALSE(transparent->isChecked());
  EXPECT_FALSE(translucent->isChecked());
  // The flags went with the side, not from it: the merged side keeps them.
  int flagged = 0;
  for (const CSide& side : Globals().shape.sides) flagged += (side.flags & kSideTransparent) ? 1 : 0;
  EXPECT_EQ(flagged, 1);
}

TEST_F(EditPanelTest, PreviewEditingMovesScalesAndTurnsTheCoordinates) {
  Globals().shape = pavixtest::SquareMesh();
  for (CSide& s : Globals().shape.sides) s.uv[0] = {0.5f, 0.5f};
  const int w = Panel().Control(kIdcPreview)->width();
  Panel().EditPreview(0, 0, w / 10, 0, false, false);  // translate by a tenth
  EXPECT_NEAR(Globals().shape.sides[0].uv[0].u, 0.6f, 1e-5);
  EXPECT_TRUE(Doc().IsModified());
  Globals().currentSide = 0;
  Panel().EditPreview(w / 4, w / 4, 0, 0, true, true);  // the nearest corner to the mouse
  const CSide& s0 = Globals().shape.sides[0];
  bool moved = false;
  for (const CUv& uv : s0.uv) moved = moved || (std::fabs(uv.u - 0.25f) < 1e-5 && std::fabs(uv.v - 0.25f) < 1e-5);
  EXPECT_TRUE(moved);
  const CUv centre = Globals().shape.GetUvCentre(0);
  Panel().EditPreview(0, 0, 0, 100, true, false);  // Shift: scale by 2 about the centre
  EXPECT_NEAR(Globals().shape.GetUvCentre(0).u, centre.u, 1e-4);
}

}  // namespace
