#include "editor/sprite_drawing.h"

#include "editor/display_objects.h"
#include "editor/preview_render.h"
#include "quest/fixed_field.h"
#include "quest/kelvar_doc.h"
#include "render/cdd.h"
#include "render/engine_3d.h"

namespace kelvar {

void DrawSpriteTop(const TrispriteRecord& sprite, int x, int top) {
  if (!g_3DEngine) return;
  const std::string text(FieldText(sprite.name));
  g_3DEngine->DrawSprite2D(text.c_str(), x, top + sprite.GetFootprintHeight() / 2);
}

void DrawSheetCell(const TrispriteRecord& record, int x, int top) {
  Cdd* cdd = Display().cdd;
  if (!cdd) return;
  const platform::video::Rect source = SheetCellRect(record);
  const int w = source.Width(), h = source.Height();
  if (w <= 0 || h <= 0) return;
  cdd->DrawBitmap(kQuestSpriteSource, {x - w / 2, top, x - w / 2 + w, top + h}, source, CColor(0, 0, 0));
}

void DrawObjectPicture(PreviewFrame& frame, const ObjectPicture& picture, int x, int top) {
  if (picture.cell) {
    // The sheet is copied onto the surface: the engine's frame goes first.
    frame.Flush();
    DrawSheetCell(*picture.cell, x, top);
  } else if (picture.sprite) {
    DrawSpriteTop(*picture.sprite, x, top);
  }
}

}  // namespace kelvar
