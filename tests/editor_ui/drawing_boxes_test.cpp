// Boxes that Kelvar's drawing asks for (a skeleton, texture or mesh file
// missing or damaged) with the views shown and painted, the boxes shown for
// real and clicked away as a user does.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "datafiles/mtf_archive.h"
#include "editor/kelvar_commands.h"
#include "editor/main_frame.h"
#include "editor/quest_tree_ctrl.h"
#include "editor/room_edit_mode.h"
#include "editor/room_view.h"
#include "kelvar_fixture.h"
#include "quest/graph_node.h"
#include "quest/quest_lists.h"
#include "quest/room.h"
#include "support/clicked_boxes.h"
#include "support/mtf_edit.h"
#include "tools/demodata/demo_content.h"
#include "tools/demodata/demo_output.h"
#include "tools/demodata/sample_quest.h"

namespace kelvartest {
namespace {

using namespace kelvar;

class DrawingBoxes : public KelvarTest {
 protected:
  void WriteDemo() {
    DemoOutput out;
    AddEditorDemo(out);
    out.Finish();
  }
  bool StartShown() {
    if (!Start({kSampleQuestPath})) return false;
    Main().resize(1000, 700);
    Settle();
    view = CRoomView::Instance();
    return view != nullptr;
  }
  void Paint() {
    view->repaint();
    Settle();
  }

  CRoomView* view = nullptr;
};

TEST_F(DrawingBoxes, Repro) {
  WriteDemo();
  ASSERT_TRUE(testsupport::RemoveArchiveEntry(dir.Native("data.mtf"), "data\\skeletons\\wolf\\wolf.anb"));
  testsupport::ClickedBoxes clicked;
  ASSERT_TRUE(StartShown());
  Paint();
  SelectInTree(kTreeRooms, "crypt");
  ASSERT_TRUE(Send(kCmdRoomEdit));
  Paint();
  for (auto& b : clicked.boxes) printf("box: %s painting=%d\n", b.text.c_str(), b.duringPaint);
}

}  // namespace
}  // namespace kelvartest
