#include "editor/marker_dlg.h"

#include <algorithm>
#include <string>

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/param_dlgs.h"
#include "editor/room_view.h"
#include "platform/core/paths.h"
#include "quest/fixed_field.h"
#include "quest/marker.h"
#include "quest/quest_list.h"
#include "quest/quest_lists.h"

namespace kelvar {

CMarkerDlg::CMarkerDlg(QWidget* parent) : Dialog(parent), list_(new platform::ui::ListBox(this)) {
  setWindowTitle("Marker...");
  list_->setObjectName("list1001");
  list_->setMinimumSize(220, 220);
  list_->onDoubleClick = [this] { OnGoto(); };
  auto* buttons = new QVBoxLayout;
  const struct {
    const char* text;
    int id;
    void (CMarkerDlg::*handler)();
  } kButtons[] = {{"&Add", 1090, &CMarkerDlg::OnAdd},
                  {"&Rename", 1091, &CMarkerDlg::OnRename},
                  {"&Delete", 1092, &CMarkerDlg::OnDelete},
                  {"&Goto...", 1093, &CMarkerDlg::OnGoto}};
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(b.text, this);
    button->setObjectName(QString("button%1").arg(b.id));
    connect(button, &QPushButton::clicked, this, [this, handler = b.handler] { (this->*handler)(); });
    buttons->addWidget(button);
  }
  buttons->addStretch();
  QPushButton* ok = MakeOkButton();
  buttons->addWidget(ok);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_);
  layout->addLayout(buttons);
}

bool CMarkerDlg::OnInitDialog() {
  list_->ResetContent();
  rows_.clear();
  for (Marker* m = Quest().markers; m; m = m->next) InsertSorted(m);
  return true;
}

int CMarkerDlg::InsertSorted(Marker* marker) {
  const auto at = std::find_if(rows_.begin(), rows_.end(), [marker](const Marker* other) {
    return platform::CompareNoCase(other->name, marker->name) > 0;
  });
  const int row = static_cast<int>(at - rows_.begin());
  rows_.insert(at, marker);
  return list_->InsertString(row, marker->name);
}

Marker* CMarkerDlg::Selected() const {
  const int row = list_->GetCurSel();
  return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)] : nullptr;
}

void CMarkerDlg::OnAdd() {
  QuestState& quest = Quest();
  const std::string name = "#" + std::to_string(quest.markerCounter++);
  Marker* marker = NewMarker(quest.markers);
  marker->Init(name);
  list_->SetCurSel(InsertSorted(marker));
  changed_ = true;
}

void CMarkerDlg::OnRename() {
  Marker* marker = Selected();
  if (!marker) return;
  CParamTextDlg dialog(this);
  dialog.label = "Enter new marker label:";
  dialog.value = marker->name;
  if (dialog.DoModal() != platform::ui::kDialogOk) return;
  const std::string name = dialog.value.substr(0, kNameLimit);
  if (name == marker->name) return;
  SetField(marker->name, name);
  const int row = list_->GetCurSel();
  list_->DeleteString(row);
  list_->SetCurSel(list_->InsertString(row, marker->name));
  changed_ = true;
}

void CMarkerDlg::OnDelete() {
  Marker* marker = Selected();
  if (!marker) return;
  const int row = list_->GetCurSel();
  rows_.erase(rows_.begin() + row);
  list_->DeleteString(row);
  RemoveRecord(Quest().markers, marker);
  changed_ = true;
}

void CMarkerDlg::OnGoto() {
  const Marker* marker = Selected();
  if (!marker) return;
  MapRect& view = Quest().mapView;
  const int width = view.right - view.left;
  const int height = view.bottom - view.top;
  view.left = marker->x;
  view.top = marker->y;
  view.right = view.left + width;
  view.bottom = view.top + height;
  EndDialog(platform::ui::kDialogOk);
  if (CRoomView* roomView = CRoomView::Instance()) roomView->Redraw();
}

}  // namespace kelvar
