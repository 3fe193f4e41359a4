#include "meshedit/ui/mesh_list_box.h"

#include <algorithm>
#include <numbers>

#include <QPainter>
#include <QStyledItemDelegate>

#include "meshedit/core/render_pipeline.h"
#include "meshedit/core/shape.h"
#include "meshedit/core/view_camera.h"
#include "meshedit/ui/back_surface_image.h"
#include "meshedit/ui/edit_panel_bar.h"
#include "meshedit/ui/pavix_globals.h"
#include "platform/ui/text_codec.h"

namespace pavix {
namespace {

constexpr std::uint32_t kSelectedBack = 0xFF808080u;
constexpr std::uint32_t kBack = 0xFFFFFFFFu;

class ThumbnailDelegate : public QStyledItemDelegate {
 public:
  explicit ThumbnailDelegate(CMeshListBox* list) : QStyledItemDelegate(list), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    CShape* mesh = list_->EntryMesh(index.row());
    const bool selected = option.state & QStyle::State_Selected;
    // The picture is 64 x 64 at the left; the name beside it.
    const QRect box(option.rect.topLeft(), QSize(kMeshItemSize, kMeshItemSize));
    QImage picture = mesh ? CMeshListBox::DrawThumbnail(*mesh, kMeshItemSize, kMeshItemSize, selected) : QImage();
    painter->fillRect(option.rect, selected ? QColor(128, 128, 128) : QColor(255, 255, 255));
    if (!picture.isNull()) painter->drawImage(box.topLeft(), picture);
    painter->setPen(Qt::black);
    painter->drawText(option.rect.adjusted(kMeshItemSize + 4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                      index.data(Qt::DisplayRole).toString());
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {kMeshItemSize, kMeshItemSize};
  }

 private:
  CMeshListBox* list_;
};

}  // namespace

CMeshListBox::CMeshListBox(QWidget* parent) : ListBox(parent) {
  setItemDelegate(new ThumbnailDelegate(this));
  setUniformItemSizes(true);
}

CMeshListBox::~CMeshListBox() = default;

void CMeshListBox::AddEntry(const std::string& name, std::unique_ptr<CShape> mesh) {
  // A file name of the disk, shown as the disk's names are.
  const int row = AddString(name);
  item(row)->setText(platform::ui::FromNative(name));
  meshes_.push_back(std::move(mesh));
}

void CMeshListBox::Free() {
  ResetContent();
  meshes_.clear();
}

std::string CMeshListBox::EntryText(int index) const { return GetText(index); }

CShape* CMeshListBox::EntryMesh(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return meshes_[static_cast<std::size_t>(index)].get();
}

QImage CMeshListBox::DrawThumbnail(CShape& mesh, int width, int height, bool selected) {
  if (!Globals().pipeline || width <= 0 || height <= 0 || !BackSurfaceFits(width, height)) return QImage();
  const float a = static_cast<float>(std::numbers::pi / 8);
  const CVector target = mesh.vertices.empty() ? CVector{} : mesh.GetCentre();
  float extent = 0;
  if (!mesh.vertices.empty()) {
    const CVector lo = mesh.GetMin(), hi = mesh.GetMax();
    extent = std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z});
  }
  CViewCamera camera;
  const float zoom = CRenderPipeline::FocalX() * extent * 1.3f / static_cast<float>(width);
  camera.BuildViewMatrix(target, {a, a, 0}, zoom > 0 ? zoom : 1.0f);
  CRenderPipeline::SetCamera(camera.matrix);
  CRenderPipeline::SetViewport(0, 0, width - 1, height - 1);
  CRenderPipeline::SetOrthographic(false);
  CRenderPipeline::NewFrame();
  QImage picture;
  if (CRenderPipeline::BeginFrame(0, 0, 1.0f, 0)) {
    Cdd::ClearViewport(selected ? kSelectedBack : kBack);
    CRenderPipeline::DrawShape(mesh, IdentityMatrix());
    CRenderPipeline::FlushOrderingTable();
    CRenderPipeline::EndFrame();
    picture = BackSurfaceImage(width, height);
  }
  if (CEditPanelBar* panel = Globals().panel) CRenderPipeline::SetOrthographic(panel->ViewOrthoBox());
  return picture;
}

}  // namespace pavix
