#pragma once
// The tool panel docked at the left of the main frame: imports, the texture
// id with its preview, side attributes, texture mapping, camera placements,
// merge, delete and the list of custom meshes that can be merged or loaded.
// Its controls keep the numbers of the panel's layout, so tests and the
// frame reach them by id.
#include <map>
#include <string>

#include "meshedit/ui/init_dialog_bar.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace pavix {

class CMeshListBox;
class CTexturePreview;

// Control ids.
enum : int {
  kIdcImportAsc = 1000,
  kIdcImportDxf = 1001,
  kIdcPrev = 1002,
  kIdcNext = 1003,
  kIdcCylindric = 1004,
  kIdcProjection = 1005,
  kIdcSet = 1006,
  kIdcTransparent = 1007,
  kIdcTranslucent = 1008,
  kIdcTop = 1009,
  kIdcBottom = 1010,
  kIdcLeft = 1011,
  kIdcRight = 1012,
  kIdcFace = 1013,
  kIdcBack = 1014,
  kIdcTextureId = 1015,
  kIdcImport3ds = 1016,
  kIdcCenter = 1017,
  kIdcMerge = 1018,
  kIdcDelete = 1019,
  kIdcGet = 1020,
  kIdcReload = 1021,
  kIdcView = 1022,
  kIdcViewOrtho = 1023,
  kIdcLoad = 1024,
  kIdcAlign = 1025,
  kIdcMeshList = 1027,
  kIdcPreview = 1036,
  kIdcEntryText = 1037,
};
inline constexpr int kPanelControlId = 115;
inline constexpr const char* kCustomMeshFolder = "rozizuzi/customMeshes";

class CEditPanelBar : public CInitDialogBar {
 public:
  explicit CEditPanelBar(QWidget* parent = nullptr);
  ~CEditPanelBar() override;

  // Runs the control's action, as a click (or a change of the texture id's text) would.
  void OnControl(int id);
  QWidget* Control(int id) const;

  void ApplyFields();
  void ReloadFields();
  // The list again from the custom-mesh folder; files that do not load are left out.
  void FillMeshList();
  CMeshListBox& MeshList() const { return *list_; }

  bool ViewBox() const { return view_; }
  bool ViewOrthoBox() const { return viewOrtho_; }
  bool TransparentBox() const { return transparent_; }
  bool TranslucentBox() const { return translucent_; }
  const std::string& EntryText() const { return text_; }

  // The preview and the thumbnails again (they are drawn through the device).
  void RedrawPreview();
  void RedrawPictures();
  // Preview editing with the left button held (control coordinates).
  void EditPreview(int x, int y, int dx, int dy, bool shift, bool control);

 protected:
  bool CreateControls() override;
  bool OnInitDialogBar() override;
  void UpdateData(bool fromControls) override;

 private:
  void Import(int id);
  void MapCylindrical();
  void MapPlanar();
  void AlignToCurrentSide();
  void Merge();
  void DeleteGroup();
  void Load();
  void SetCameraAngles(float x, float y, float z);
  void Changed();

  std::map<int, QWidget*> controls_;
  CMeshListBox* list_ = nullptr;
  CTexturePreview* preview_ = nullptr;
  QLineEdit* textureEdit_ = nullptr;
  QCheckBox* transparentBox_ = nullptr;
  QCheckBox* translucentBox_ = nullptr;
  QCheckBox* viewBox_ = nullptr;
  QCheckBox* viewOrthoBox_ = nullptr;
  QLabel* textLabel_ = nullptr;

  bool translucent_ = false;
  bool transparent_ = false;
  bool view_ = true;
  bool viewOrtho_ = false;
  std::string text_;
  bool transferring_ = false;
};

}  // namespace pavix
