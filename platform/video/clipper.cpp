#include "platform/video/clipper.h"

#include "platform/video/faults.h"
#include "platform/video/recorder.h"

namespace platform::video {

HResult Clipper::SetWindow(Window* window) {
  if (HResult r = Faults::Check(Call::ClipperSetWindow)) return r;
  window_ = window;
  Recorder::Log("ClipperSetWindow");
  return kOk;
}

}  // namespace platform::video
