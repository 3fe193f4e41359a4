#pragma once
// The panel's list of meshes: each entry a file name with its mesh, shown as
// a 64 x 64 picture of the mesh drawn through the pipeline. It is the list
// box every dialog's list is: only the user's click or key chooses a row;
// the focus and the scroll bar choose none.
#include <memory>
#include <string>
#include <vector>

#include <QImage>

#include "platform/ui/list_box.h"

namespace pavix {

class CShape;

inline constexpr int kMeshItemSize = 64;

class CMeshListBox : public platform::ui::ListBox {
 public:
  explicit CMeshListBox(QWidget* parent = nullptr);
  ~CMeshListBox() override;

  void AddEntry(const std::string& name, std::unique_ptr<CShape> mesh);
  // Every entry and its mesh go.
  void Free();
  int Count() const { return static_cast<int>(meshes_.size()); }
  std::string EntryText(int index) const;
  // The mesh of an entry, null outside the list.
  CShape* EntryMesh(int index) const;

  // The picture of an entry as the list draws it (selected ones on grey).
  static QImage DrawThumbnail(CShape& mesh, int width, int height, bool selected);

 private:
  std::vector<std::unique_ptr<CShape>> meshes_;
};

}  // namespace pavix
