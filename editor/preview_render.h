#pragma once
// Dialog previews: drawn through the global 3D engine into the top-left
// corner of the display device's back surface, then copied out as an image
// that the dialog's control (or list item) shows. Nothing is drawn while no
// engine or device exists.
#include <string_view>

#include <QImage>
#include <QSize>

#include "render/color.h"

class CBankList;

namespace kelvar {

inline constexpr CColor kPreviewGrey = CColor(0x80, 0x80, 0x80);
inline constexpr CColor kPreviewWhite = CColor(0xFF, 0xFF, 0xFF);

// One preview frame: fills its size with the background, sets the viewport
// (clipped) to it and begins a frame; the room view's viewport comes back
// when it goes.
class PreviewFrame {
 public:
  PreviewFrame(QSize size, CColor background);
  ~PreviewFrame();
  PreviewFrame(const PreviewFrame&) = delete;
  PreviewFrame& operator=(const PreviewFrame&) = delete;

  // False without an engine and a device; the frame then draws nothing.
  bool Usable() const { return usable_; }
  // The part of the asked size that fits the back surface.
  QSize Size() const { return size_; }
  // Flushes the depth buckets and ends the frame.
  void Flush();
  // Writes a text centred horizontally, 4 pixels above the bottom, in black
  // or white, transparent; then copies the frame's rectangle out. A null
  // image when the frame is not usable.
  QImage Finish(std::string_view text = {}, bool whiteText = false);

 private:
  QSize size_;
  bool usable_ = false;
  bool flushed_ = false;
};

// How far a preview camera stands from the middle of a model's bounding
// sphere of this radius so that the sphere, and so the model however it
// turns, fills most of a preview of this size through the engine's focal
// factors; never so near that the near plane cuts into the sphere.
float FittingDistance(float radius, QSize size);

// The preview camera every mesh item is seen from, and the turn it is shown at.
inline constexpr float kMeshItemTurn = 3.9269909f;  // 5 pi / 4 about the vertical axis

// A list item showing a bank's mesh fitted to the item: grey behind a
// selected item, white otherwise, the text in black. An index below 0 (or a
// missing bank) draws background and text only.
QImage RenderMeshItem(CBankList* bank, int index, QSize size, bool selected, std::string_view text);

}  // namespace kelvar
