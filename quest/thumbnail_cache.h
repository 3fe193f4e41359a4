#pragma once
// Small renderings of skinned models for the world map, kept in the spare
// column to the right of the visible area of the back surface: five cells
// of 96 x 96, reused least recently used first. The map empties the cache
// at the start of every frame, so a cell is valid for that frame only.
#include <cstdint>
#include <string_view>

#include "platform/video/types.h"

class Cdd;
class CSkinnedModel;

inline constexpr int kThumbnailEntries = 5;
inline constexpr int kThumbnailSize = 96;

class CThumbnailCache {
 public:
  struct Entry {
    char name[80] = {};  // empty: free
    std::uint32_t lastUse = 0;
  };

  // Empties every entry and records the visible view's size (pixels) and
  // the device whose back surface holds the cells (null: nothing is copied).
  void BeginFrame(Cdd* device, int viewWidth, int viewHeight);
  void Clear();
  // The entry holding the model's picture, rendered unless it was already
  // there; -1 when no entry could be taken.
  int Find(std::string_view name, CSkinnedModel& model);
  // Copies the picture into the node's box (screen coordinates), clipped to
  // the visible view.
  void Blit(std::string_view name, CSkinnedModel& model, platform::video::Rect destination);

  // The device of the map frame being drawn (null outside one or without a display).
  Cdd* FrameDevice() const { return device_; }

  // The cell of an entry on a surface of that width.
  static platform::video::Rect Cell(int index, int surfaceWidth);

  Entry entries[kThumbnailEntries];

 private:
  void Render(int index, CSkinnedModel& model);

  Cdd* device_ = nullptr;
  int viewWidth_ = 0;
  int viewHeight_ = 0;
};

extern CThumbnailCache g_thumbnailCache;
