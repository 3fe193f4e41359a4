#pragma once
// "Object Meshes": picks a mesh of the object-mesh bank by base name, each
// shown rendered.
#include <string>

#include "editor/picker_dlg.h"

namespace kelvar {

class CMeshPreviewListBox;

class CObjectMeshesDlg : public CPickerDlg {
 public:
  static constexpr int kIdd = 182;

  explicit CObjectMeshesDlg(std::string value = {}, QWidget* parent = nullptr);

  std::string value;  // the mesh's base name

  CMeshPreviewListBox& List() const { return *list_; }

 protected:
  bool OnInitDialog() override;

 private:
  CMeshPreviewListBox* list_;
};

}  // namespace kelvar
