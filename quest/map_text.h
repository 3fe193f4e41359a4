#pragma once
// Text on the world map: drawn relative to the visible rectangle, and only
// when its box overlaps it.
#include <string_view>

#include "platform/video/text_functions.h"
#include "platform/video/types.h"

// (x, y) is the text's top-left corner in world units; size is its measured box.
void DrawMapText(platform::video::DrawContext& dc, const platform::video::Rect& visible, int x, int y,
                 platform::video::TextSize size, std::string_view text);
