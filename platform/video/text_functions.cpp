#include "platform/video/text_functions.h"

#include <string>

#include "platform/video/recorder.h"

namespace platform::video {
namespace {

constexpr int kHeadlessCellWidth = 8;
constexpr int kHeadlessCellHeight = 16;

ITextFunctions*& Installed() {
  static ITextFunctions* functions = nullptr;
  return functions;
}

}  // namespace

void SetTextFunctions(ITextFunctions* functions) { Installed() = functions; }
ITextFunctions* GetTextFunctions() { return Installed(); }

TextSize GetTextExtent(DrawContext& dc, std::string_view text) {
  if (ITextFunctions* f = Installed()) return f->GetTextExtent(dc, text);
  return TextSize{static_cast<int>(text.size()) * kHeadlessCellWidth, kHeadlessCellHeight};
}

void TextOut(DrawContext& dc, int x, int y, std::string_view text) {
  if (Recorder::Active())
    Recorder::Log("TextOut " + std::to_string(x) + " " + std::to_string(y) + " " + std::string(text));
  if (ITextFunctions* f = Installed()) f->TextOut(dc, x, y, text);
}

void SetTextColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  if (ITextFunctions* f = Installed()) f->SetTextColor(r, g, b);
}

}  // namespace platform::video
