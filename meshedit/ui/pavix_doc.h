#pragma once
// Pavix's document: it holds no data of its own but stands for the current
// mesh. New empties the mesh; opening reads an ".o3d" file (the extension in
// any case) into it; saving writes it. A failed open or save says so and
// keeps the mesh and the modified flag as they were.
#include <string>

#include "platform/ui/document.h"

namespace pavix {

inline constexpr const char* kDocumentStrings =
    "pavix\nuntitled\nPavix\nFiles Pavix (*.o3d)\n.o3d\nPavix.Document\nPavix Document";

class CPavixDoc : public platform::ui::Document {
 public:
  CPavixDoc();
  ~CPavixDoc() override;

  bool OnNewDocument() override;
  bool OnOpenDocument(const std::string& path) override;
  bool OnSaveDocument(const std::string& path) override;
  // Meshes are written as ".O3D", over a file of that name in any case.
  std::string SavePathFor(const std::string& path) const override;
  bool KeepsContentsWhenOpenFails() const override { return true; }
};

}  // namespace pavix
