#include "editor/child_frame.h"

#include <QVBoxLayout>

#include "editor/edit_modes.h"
#include "editor/left_view.h"
#include "editor/room_view.h"
#include "platform/core/profile.h"
#include "platform/ui/static_splitter.h"
#include "platform/ui/window_placement.h"
#include "quest/kelvar_doc.h"

namespace kelvar {
namespace {

constexpr const char* kPlacementSection = "Windows";
constexpr const char* kPlacementValue = "sub";

}  // namespace

void CChildFrame::PreCreateWindow(CreateParams& params) {
  auto bytes = platform::Profile().GetBinary(kPlacementSection, kPlacementValue);
  if (!bytes) return;
  auto placement = platform::ui::WindowPlacement::FromBytes(*bytes);
  if (!placement) return;  // another size: ignored
  if (placement->showCmd == platform::ui::kShowMaximized) {
    params.maximized = true;
  } else {
    params.geometry = QRect(placement->left, placement->top, placement->right - placement->left,
                            placement->bottom - placement->top);
  }
}

bool CChildFrame::OnCreateClient(const platform::ui::CreateContext& context) {
  auto* splitter = new platform::ui::StaticSplitter(2, Qt::Horizontal, this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);
  platform::ui::View* left = splitter->CreateView(
      0, [](QWidget* parent) { return new CLeftView(parent); }, QSize(300, 100), context);
  platform::ui::View* room = left ? splitter->CreateView(
                                        1, [](QWidget* parent) { return new CRoomView(parent); }, QSize(100, 100),
                                        context)
                                  : nullptr;
  if (!left || !room) {
    delete splitter;
    return false;
  }
  splitter_ = splitter;
  left_ = static_cast<CLeftView*>(left);
  room_ = static_cast<CRoomView*>(room);
  SetActiveView(left);
  SetEditMode(MapEditMode());
  return true;
}

void CChildFrame::SavePlacement() {
  if (!Window()) return;
  platform::ui::WindowPlacement placement = platform::ui::GetWindowPlacement(*Window());
  placement.flags = 0;
  if (placement.showCmd == platform::ui::kShowMinimized) placement.showCmd = platform::ui::kShowNormal;
  platform::Profile().WriteBinary(kPlacementSection, kPlacementValue, placement.ToBytes());
}

bool CChildFrame::OnClose() {
  SavePlacement();
  if (!ChildFrame::OnClose()) return false;  // the user kept the quest
  // The next start opens no quest.
  platform::Profile().WriteString(kRecentQuestSection, kRecentQuestValue, "");
  return true;
}

void CChildFrame::OnDestroy() { SavePlacement(); }

}  // namespace kelvar
