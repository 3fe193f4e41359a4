#pragma once
// The window of the open quest: a splitter with the trees on the left and
// the room view on the right. Its placement is kept in the profile, and
// closing it forgets the quest that the next start would reopen.
#include "platform/ui/child_frame.h"

namespace platform::ui {
class StaticSplitter;
}

namespace kelvar {

class CLeftView;
class CRoomView;

class CChildFrame : public platform::ui::ChildFrame {
 public:
  CChildFrame() = default;

  void PreCreateWindow(CreateParams& params) override;
  bool OnCreateClient(const platform::ui::CreateContext& context) override;
  bool OnClose() override;
  void OnDestroy() override;

  // The placement as "Windows" / "sub": flags 0, minimised saved as normal.
  void SavePlacement();

  CLeftView* LeftView() const { return left_; }
  CRoomView* RoomView() const { return room_; }
  platform::ui::StaticSplitter* Splitter() const { return splitter_; }

 private:
  platform::ui::StaticSplitter* splitter_ = nullptr;
  CLeftView* left_ = nullptr;
  CRoomView* room_ = nullptr;
};

}  // namespace kelvar
