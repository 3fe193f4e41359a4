#include "meshedit/ui/pavix_globals.h"

#include "meshedit/core/render_pipeline.h"

namespace pavix {

PavixGlobals& Globals() {
  static PavixGlobals globals;
  return globals;
}

void ConstructGlobals() {
  PavixGlobals& g = Globals();
  if (!g.pipeline) g.pipeline = std::make_unique<CRenderPipeline>();
}

void DestroyGlobals() {
  PavixGlobals& g = Globals();
  g.pipeline.reset();
  g = PavixGlobals{};
}

CSide* CurrentSide() {
  PavixGlobals& g = Globals();
  if (g.currentSide < 0 || g.currentSide >= g.shape.SideCount()) return nullptr;
  return &g.shape.sides[static_cast<std::size_t>(g.currentSide)];
}

void ClearCurrentSide() {
  PavixGlobals& g = Globals();
  g.currentSide = g.previousSide = -1;
  g.currentGroup = 0;
}

}  // namespace pavix
