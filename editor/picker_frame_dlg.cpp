#include "editor/picker_frame_dlg.h"

#include <QBoxLayout>
#include <QCheckBox>

#include "editor/picker_list_box.h"
#include "editor/preview_clock.h"
#include "editor/preview_control.h"
#include "editor/preview_render.h"
#include "quest/mesh_banks.h"
#include "render/matrix.h"
#include "render/mesh.h"
#include "render/vector3.h"

namespace kelvar {
namespace {

constexpr float kTurnPerMs = 0.001f * 1.5707964f;  // pi/2 a second
constexpr float kPitch = -0.3926991f;
constexpr float kHalfPi = 1.5707964f;

// Where the mesh goes in view space so that it turns about its own middle in
// the middle of the preview and fills it: the box of the vertices its faces
// use, raised as it is drawn, turned by the angles.
CVector3 FramedPosition(const CMesh& mesh, const CVector3& angles, QSize size) {
  const CBox3 box = mesh.UsedBounds();
  if (box.empty) return {};
  const CVector3 middle = (box.lowest + box.highest) * 0.5f + CVector3(0.0f, CMesh::kLocalRaise, 0.0f);
  CMatrix turn;
  turn.FromEuler(angles);
  return CVector3(0.0f, 0.0f, FittingDistance((box.highest - box.lowest).Length() * 0.5f, size)) -
         turn.RotateVector(middle);
}

}  // namespace

CFrameDlg::CFrameDlg(std::string initial, QWidget* parent)
    : CPickerDlg(kIdd, "Frame", true, parent),
      value(std::move(initial)),
      list_(new CPickerListBox(this)),
      rotateBox_(new QCheckBox("Rotate", this)),
      preview_(new CPreviewControl(kIdcPreview, QSize(240, 240), this)) {
  list_->setObjectName("list1000");
  SetList(list_);
  list_->setMinimumSize(200, 240);
  rotateBox_->setObjectName("check1066");
  auto* right = new QVBoxLayout;
  right->addWidget(preview_);
  right->addWidget(rotateBox_);
  right->addStretch(1);
  auto* row = new QHBoxLayout;
  row->addWidget(list_, 1);
  row->addLayout(right);
  Body()->addLayout(row, 1);
  list_->onSelChange = [this] {
    preview_->Invalidate();
    const int r = list_->GetCurSel();
    if (r >= 0) value = list_->GetText(r);
  };
  connect(rotateBox_, &QCheckBox::clicked, this, [this] { OnRotate(); });
  preview_->onPaint = [this](QSize size) { return PaintPreview(size); };
}

bool CFrameDlg::OnInitDialog() {
  rotateBox_->setChecked(true);
  rotate = true;
  list_->ResetContent();
  const CBankList& bank = CustomMeshBank();
  for (int i = 0; i < bank.GetCount(); ++i) list_->AddString(bank.GetName(i), i);
  list_->SelectString(value);
  Timers().Set(kTimer, kTimerPeriod);
  return true;
}

void CFrameDlg::OnRotate() { rotate = rotateBox_->isChecked(); }

QImage CFrameDlg::PaintPreview(QSize size) {
  PreviewFrame frame(size, kPreviewGrey);
  if (!frame.Usable()) return {};
  const std::uint32_t elapsed = PreviewClock::Step();
  if (rotate) PreviewClock::FrameAngle() += static_cast<float>(elapsed) * kTurnPerMs;
  const int row = list_->GetCurSel();
  CBankList& bank = CustomMeshBank();
  const int index = row >= 0 ? static_cast<int>(list_->GetItemData(row)) : -1;
  if (const CMesh* mesh = index >= 0 ? bank.GetMeshAt(index) : nullptr) {
    const CVector3 angles{kPitch, PreviewClock::FrameAngle() - kHalfPi, 0.0f};
    bank.RenderLocal(index, FramedPosition(*mesh, angles, frame.Size()), angles);
  }
  return frame.Finish();
}

void CFrameDlg::OnTimer(int id) {
  if (id == kTimer) preview_->Invalidate();
}

void CFrameDlg::OnDestroy() { Timers().Kill(kTimer); }

}  // namespace kelvar
