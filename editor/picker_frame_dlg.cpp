#include "editor/picker_frame_dlg.h"

#include <QBoxLayout>
#include <QCheckBox>

#include "editor/picker_list_box.h"
#include "editor/preview_clock.h"
#include "editor/preview_control.h"
#include "editor/preview_render.h"
#include "quest/mesh_banks.h"
#include "render/vector3.h"

namespace kelvar {
namespace {

constexpr float kTurnPerMs = 0.001f * 1.5707964f;  // pi/2 a second
constexpr float kPitch = -0.3926991f;
constexpr float kHalfPi = 1.5707964f;

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
  if (row >= 0) {
    const float heading = PreviewClock::FrameAngle() - kHalfPi;
    CustomMeshBank().RenderLocal(static_cast<int>(list_->GetItemData(row)), CVector3{0.0f, -300.0f, 2000.0f},
                                 CVector3{kPitch, heading, 0.0f});
  }
  return frame.Finish();
}

void CFrameDlg::OnTimer(int id) {
  if (id == kTimer) preview_->Invalidate();
}

void CFrameDlg::OnDestroy() { Timers().Kill(kTimer); }

}  // namespace kelvar
