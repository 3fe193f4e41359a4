#include "meshedit/ui/edit_panel_bar.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include <QCheckBox>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "meshedit/core/model_import.h"
#include "meshedit/core/render_pipeline.h"
#include "meshedit/core/uv_mapping.h"
#include "meshedit/ui/mesh_list_box.h"
#include "meshedit/ui/pavix_doc.h"
#include "meshedit/ui/pavix_globals.h"
#include "meshedit/ui/pavix_view.h"
#include "meshedit/ui/texture_outline.h"
#include "meshedit/ui/texture_preview.h"
#include "platform/core/paths.h"
#include "platform/core/services.h"
#include "platform/ui/application.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/text_codec.h"

namespace pavix {
namespace {

constexpr float kPi = static_cast<float>(std::numbers::pi);
constexpr float kUvTurnStep = 0.0061359233f;
constexpr int kPreviewSize = 160;
constexpr int kMappingViewport = 256;

struct Button {
  int id;
  const char* text;
};

void MarkModified() {
  if (CPavixDoc* doc = Globals().doc) doc->SetModifiedFlag(true);
}

void RedrawView() {
  if (CPavixView* view = Globals().view) view->Render(1);
}

// The camera as the view has it, handed to the pipeline; every vertex of the
// current mesh in the pipeline's camera space.
std::vector<CVector> TransformForMapping() {
  PavixGlobals& g = Globals();
  g.camera.Rebuild();
  CRenderPipeline::SetCamera(g.camera.matrix);
  CRenderPipeline::SetViewport(0, 0, kMappingViewport - 1, kMappingViewport - 1);
  std::vector<CVector> out;
  out.reserve(g.shape.vertices.size());
  for (const CShapeVertex& v : g.shape.vertices) out.push_back(TransformPoint(CRenderPipeline::ViewMatrix(), v.position));
  return out;
}

}  // namespace

CEditPanelBar::CEditPanelBar(QWidget* parent) : CInitDialogBar(parent) {
  setObjectName("EditPanelBar");
  Globals().panel = this;
}

CEditPanelBar::~CEditPanelBar() {
  if (Globals().panel == this) Globals().panel = nullptr;
}

QWidget* CEditPanelBar::Control(int id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

bool CEditPanelBar::CreateControls() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(3);
  auto addButtons = [&](std::initializer_list<Button> buttons, int columns) {
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    int i = 0;
    for (const Button& b : buttons) {
      auto* button = new QPushButton(QString::fromUtf8(b.text), this);
      button->setObjectName(QString::number(b.id));
      const int id = b.id;
      connect(button, &QPushButton::clicked, this, [this, id] { OnControl(id); });
      controls_[id] = button;
      grid->addWidget(button, i / columns, i % columns);
      ++i;
    }
    layout->addLayout(grid);
  };
  auto addBox = [&](int id, const char* text) {
    auto* box = new QCheckBox(QString::fromUtf8(text), this);
    box->setObjectName(QString::number(id));
    connect(box, &QCheckBox::clicked, this, [this, id] { OnControl(id); });
    controls_[id] = box;
    return box;
  };

  addButtons({{kIdcImportAsc, "ASC 3ds file"}, {kIdcImport3ds, "3DS file"}, {kIdcImportDxf, "DXF File"}}, 3);

  auto* idRow = new QHBoxLayout;
  auto* prev = new QPushButton("Prev", this);
  auto* next = new QPushButton("Next", this);
  textureEdit_ = new QLineEdit(this);
  textureEdit_->setValidator(new QIntValidator(0, kMaxTextureId, textureEdit_));
  textureEdit_->setObjectName(QString::number(kIdcTextureId));
  for (auto [id, button] : {std::pair{kIdcPrev, prev}, std::pair{kIdcNext, next}}) {
    button->setObjectName(QString::number(id));
    connect(button, &QPushButton::clicked, this, [this, id = id] { OnControl(id); });
    controls_[id] = button;
  }
  connect(textureEdit_, &QLineEdit::textChanged, this, [this] { OnControl(kIdcTextureId); });
  controls_[kIdcTextureId] = textureEdit_;
  idRow->addWidget(prev);
  idRow->addWidget(textureEdit_);
  idRow->addWidget(next);
  layout->addLayout(idRow);
  addButtons({{kIdcSet, "Set"}, {kIdcGet, "Get"}, {kIdcReload, "Reload"}}, 3);

  preview_ = new CTexturePreview(this, this);
  preview_->setObjectName(QString::number(kIdcPreview));
  preview_->setFixedSize(kPreviewSize, kPreviewSize);
  controls_[kIdcPreview] = preview_;
  layout->addWidget(preview_, 0, Qt::AlignHCenter);

  transparentBox_ = addBox(kIdcTransparent, "&1 Transparent");
  translucentBox_ = addBox(kIdcTranslucent, "&2 Translucide");
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(transparentBox_);
  boxes->addWidget(translucentBox_);
  layout->addLayout(boxes);

  addButtons({{kIdcCylindric, "UV Cylindric"}, {kIdcProjection, "UV Projection"}}, 2);
  // Access keys leave F, D and ? to the menu bar.
  addButtons({{kIdcTop, "&Top"}, {kIdcBottom, "B&ottom"}, {kIdcLeft, "&Left"}, {kIdcRight, "&Right"},
              {kIdcFace, "Fa&ce"}, {kIdcBack, "&Back"}},
             3);
  addButtons({{kIdcCenter, "Center"}, {kIdcAlign, "&Align to current side"}}, 1);

  viewBox_ = addBox(kIdcView, "View");
  viewOrthoBox_ = addBox(kIdcViewOrtho, "&View Ortho");
  auto* views = new QHBoxLayout;
  views->addWidget(viewBox_);
  views->addWidget(viewOrthoBox_);
  layout->addLayout(views);

  addButtons({{kIdcMerge, "&Merge"}, {kIdcDelete, "D&elete Selected sides"}}, 1);

  list_ = new CMeshListBox(this);
  list_->setObjectName(QString::number(kIdcMeshList));
  controls_[kIdcMeshList] = list_;
  list_->onSelChange = [this] { OnControl(kIdcMeshList); };
  layout->addWidget(list_, 1);
  textLabel_ = new QLabel(this);
  textLabel_->setObjectName(QString::number(kIdcEntryText));
  controls_[kIdcEntryText] = textLabel_;
  layout->addWidget(textLabel_);
  addButtons({{kIdcLoad, "Load"}}, 1);
  setMinimumWidth(kPreviewSize + 40);
  return true;
}

bool CEditPanelBar::OnInitDialogBar() {
  if (!CInitDialogBar::OnInitDialogBar()) return false;
  FillMeshList();
  return true;
}

void CEditPanelBar::UpdateData(bool fromControls) {
  PavixGlobals& g = Globals();
  if (!textureEdit_) return;
  transferring_ = true;
  if (fromControls) {
    bool ok = false;
    const int id = textureEdit_->text().toInt(&ok);
    if (ok) g.textureId = std::clamp(id, 0, kMaxTextureId);
    transparent_ = transparentBox_->isChecked();
    translucent_ = translucentBox_->isChecked();
    view_ = viewBox_->isChecked();
    viewOrtho_ = viewOrthoBox_->isChecked();
  } else {
    const QString id = QString::number(g.textureId);
    if (textureEdit_->text() != id) textureEdit_->setText(id);
    transparentBox_->setChecked(transparent_);
    translucentBox_->setChecked(translucent_);
    // The boxes are the current side's flags: without a side there is nothing to tick.
    const bool side = CurrentSide() != nullptr;
    transparentBox_->setEnabled(side);
    translucentBox_->setEnabled(side);
    viewBox_->setChecked(view_);
    viewOrthoBox_->setChecked(viewOrtho_);
    textLabel_->setText(platform::ui::FromNative(text_));
  }
  transferring_ = false;
}

void CEditPanelBar::ApplyFields() {
  UpdateData(true);
  if (CSide* side = CurrentSide()) {
    side->flags = transparent_ ? side->flags | kSideTransparent : side->flags & ~kSideTransparent;
    side->flags = translucent_ ? side->flags | kSideTranslucent : side->flags & ~kSideTranslucent;
  }
}

void CEditPanelBar::ReloadFields() {
  // The boxes show the current side's flags; without a side (none picked, or
  // it went with a merge or a delete) they show none.
  const CSide* side = CurrentSide();
  translucent_ = side && (side->flags & kSideTranslucent);
  transparent_ = side && (side->flags & kSideTransparent);
  const int row = list_ ? list_->GetCurSel() : -1;
  text_ = row >= 0 ? list_->EntryText(row) : std::string();
  UpdateData(false);
}

void CEditPanelBar::RedrawPreview() {
  if (preview_) preview_->update();
}

void CEditPanelBar::RedrawPictures() {
  RedrawPreview();
  if (list_) list_->viewport()->update();
}

void CEditPanelBar::Changed() {
  RedrawPreview();
  RedrawView();
}

void CEditPanelBar::SetCameraAngles(float x, float y, float z) {
  Globals().camera.angles = {x, y, z};
  Globals().camera.Rebuild();
  RedrawView();
}

void CEditPanelBar::OnControl(int id) {
  PavixGlobals& g = Globals();
  CShape& shape = g.shape;
  switch (id) {
    case kIdcImportAsc:
    case kIdcImport3ds:
    case kIdcImportDxf:
      Import(id);
      break;
    case kIdcPrev:
      g.textureId = std::max(g.textureId - 1, 0);
      ReloadFields();
      Changed();
      break;
    case kIdcNext:
      g.textureId = std::min(g.textureId + 1, 1023);
      ReloadFields();
      Changed();
      break;
    case kIdcSet:
      for (CSide& s : shape.sides)
        if (g.currentGroup == 0 || s.group == g.currentGroup) s.SetTextureId(static_cast<std::uint32_t>(g.textureId));
      MarkModified();
      Changed();
      break;
    case kIdcGet:
      if (const CSide* side = CurrentSide()) {
        g.textureId = static_cast<int>(side->TextureId());
        ReloadFields();
        Changed();
      }
      break;
    case kIdcTextureId:
      if (transferring_) return;
      ApplyFields();
      Changed();
      break;
    case kIdcTransparent:
    case kIdcTranslucent:
      MarkModified();
      ApplyFields();
      Changed();
      break;
    case kIdcCylindric:
      MapCylindrical();
      break;
    case kIdcProjection:
      MapPlanar();
      break;
    case kIdcTop: SetCameraAngles(kPi / 2, 0, 0); break;
    case kIdcBottom: SetCameraAngles(-kPi / 2, 0, 0); break;
    case kIdcLeft: SetCameraAngles(0, kPi / 2, 0); break;
    case kIdcRight: SetCameraAngles(0, -kPi / 2, 0); break;
    case kIdcFace: SetCameraAngles(0, kPi, 0); break;
    case kIdcBack: SetCameraAngles(0, 0, 0); break;
    case kIdcCenter:
      g.camera.target = shape.sides.empty() || shape.vertices.empty() ? CVector{} : shape.GetCentre();
      g.camera.Rebuild();
      RedrawView();
      break;
    case kIdcAlign:
      AlignToCurrentSide();
      break;
    case kIdcMerge:
      Merge();
      break;
    case kIdcDelete:
      DeleteGroup();
      break;
    case kIdcReload:
      if (g.pipeline) CRenderPipeline::ReleaseTextures();
      Changed();
      break;
    case kIdcView:
      ApplyFields();
      if (g.view) g.view->LayoutViewports(g.view->width(), g.view->height());
      break;
    case kIdcViewOrtho:
      ApplyFields();
      CRenderPipeline::SetOrthographic(viewOrtho_);
      RedrawView();
      break;
    case kIdcLoad:
      Load();
      break;
    case kIdcMeshList:
      ReloadFields();
      break;
    default:
      break;
  }
}

void CEditPanelBar::Import(int id) {
  platform::ui::FileDialogRequest request;
  request.open = true;
  if (id == kIdcImportAsc) {
    request.defaultExt = ".ASC";
    request.filter = "ASC Files (*.ASC)|*.ASC||";
  } else if (id == kIdcImport3ds) {
    request.defaultExt = ".3DS";
    request.filter = "3DS Files (*.3DS)|*.3DS||";
  } else {
    request.defaultExt = ".DXF";
    request.filter = "DXF Files (*.DXF)|*.DXF||";
  }
  const auto chosen = platform::ui::ShowFileDialog(request);
  if (!chosen) return;
  CShape& shape = CurrentShape();
  ImportResult result;
  if (id == kIdcImportAsc) shape.ImportAsc(*chosen, &result);
  else if (id == kIdcImport3ds) shape.Import3ds(*chosen, &result);
  else shape.ImportDxf(*chosen, &result);
  // A refused model changed nothing, so the current side still stands.
  if (!result.Imported()) {
    platform::ui::AppMessageBox("Can't import the model " + *chosen + ": " + result.problem + ".",
                                platform::kMbOk | platform::kMbIconWarning);
    return;
  }
  ClearCurrentSide();
  MarkModified();
  ReloadFields();
  Changed();
  if (result.status == ImportResult::kImportedPart)
    platform::ui::AppMessageBox("The model " + *chosen + " is damaged: " + result.problem +
                                    ". What could be read was imported.",
                                platform::kMbOk | platform::kMbIconWarning);
}

void CEditPanelBar::MapCylindrical() {
  PavixGlobals& g = Globals();
  if (!g.pipeline) return;
  const std::vector<CVector> transformed = TransformForMapping();
  ::pavix::MapCylindrical(g.shape, g.currentGroup, transformed, CRenderPipeline::ProjectionFactorX(),
                          CRenderPipeline::ProjectionFactorY(), static_cast<std::uint32_t>(g.textureId));
  MarkModified();
  Changed();
}

void CEditPanelBar::MapPlanar() {
  PavixGlobals& g = Globals();
  if (!g.pipeline) return;
  const std::vector<CVector> transformed = TransformForMapping();
  ::pavix::MapPlanar(g.shape, g.currentGroup, transformed, static_cast<std::uint32_t>(g.textureId));
  MarkModified();
  Changed();
}

void CEditPanelBar::AlignToCurrentSide() {
  PavixGlobals& g = Globals();
  const CSide* side = CurrentSide();
  if (!side) return;
  const int n = side->CornerCount();
  CVector p[4];
  for (int k = 0; k < n; ++k) {
    if (side->index[k] >= g.shape.vertices.size()) return;
    p[k] = g.shape.vertices[side->index[k]].position;
  }
  CVector centre{};
  for (int k = 0; k < n; ++k) centre = centre + p[k];
  centre = centre * (1.0f / static_cast<float>(n));
  CVector normal = Cross(p[0] - p[1], p[1] - p[2]);
  Normalize(normal);
  const float dx = normal.x, dy = normal.y, dz = normal.z;
  const float gxz = std::sqrt(dx * dx + dz * dz);
  const float ay = gxz > 0 ? std::atan2(dx / gxz, dz / gxz) : 0.0f;
  const float ax = std::atan2(-dy, gxz);
  g.camera.angles = {ax, ay, 0};
  g.camera.target = centre;
  g.camera.Rebuild();
  RedrawView();
}

void CEditPanelBar::Merge() {
  const int row = list_->GetCurSel();
  CShape* mesh = list_->EntryMesh(row);
  if (!mesh) return;
  CShape& shape = CurrentShape();
  shape.Merge(*mesh);
  shape.GroupSides();
  ClearCurrentSide();
  MarkModified();
  ReloadFields();
  Changed();
}

void CEditPanelBar::DeleteGroup() {
  PavixGlobals& g = Globals();
  if (g.currentGroup == 0) return;
  // Drops the group's sides, then the vertices no side uses, and rebuilds.
  g.shape.DeleteGroup(g.currentGroup);
  ClearCurrentSide();
  MarkModified();
  ReloadFields();
  Changed();
}

void CEditPanelBar::Load() {
  const int row = list_->GetCurSel();
  if (row < 0) return;
  const std::string path = Globals().startDirectory + "/" + kCustomMeshFolder + "/" + list_->EntryText(row);
  if (platform::ui::Application* app = platform::ui::Application::Instance()) app->OpenDocumentFile(path);
}

void CEditPanelBar::FillMeshList() {
  if (!list_) return;
  list_->Free();
  const std::string& start = Globals().startDirectory;
  const std::string folder = (start.empty() ? platform::CurrentDirectory() : start) + "/" + kCustomMeshFolder;
  for (const platform::FindEntry& entry : platform::FindFiles(folder + "/*.o3d")) {
    if (entry.isDirectory) continue;
    auto mesh = std::make_unique<CShape>();
    if (!mesh->LoadO3d(folder + "/" + entry.name)) continue;
    list_->AddEntry(entry.name, std::move(mesh));
  }
  UpdateData(false);
}

void CEditPanelBar::EditPreview(int x, int y, int dx, int dy, bool shift, bool control) {
  PavixGlobals& g = Globals();
  const int w = preview_->width(), h = preview_->height();
  if (w <= 0 || h <= 0) return;
  if (control && shift) {
    CSide* side = CurrentSide();
    const CViewportRect r{0, 0, w, h, true};
    const int corner = NearestCorner(r, x, y);
    if (!side || corner < 0) return;
    const CUv to{static_cast<float>(x) / static_cast<float>(w), static_cast<float>(y) / static_cast<float>(h)};
    side->uv[corner] = to;
    if (corner == 2 && side->CornerCount() == 3) side->uv[3] = to;
  } else if (control) {
    g.shape.RotateUv(g.currentGroup, -static_cast<float>(dx) * kUvTurnStep);
  } else if (shift) {
    const float s = 1.0f + static_cast<float>(dy) * 0.01f;
    g.shape.ScaleUv(g.currentGroup, s, s);
  } else {
    g.shape.TranslateUv(g.currentGroup, static_cast<float>(dx) / static_cast<float>(w),
                        static_cast<float>(dy) / static_cast<float>(h));
  }
  g.lastX = x;
  g.lastY = y;
  MarkModified();
  Changed();
}

}  // namespace pavix
