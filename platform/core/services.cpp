#include "platform/core/services.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

int DefaultAnswer(unsigned flags) {
  switch (flags & 0xF) {
    case kMbAbortRetryIgnore: return kIdAbort;
    case kMbYesNoCancel:
    case kMbYesNo: return kIdYes;
    case kMbRetryCancel: return kIdRetry;
    default: return kIdOk;
  }
}

namespace {

class HeadlessServices : public IUiServices {
 public:
  int MessageBox(std::string_view text, std::string_view caption, unsigned flags) override {
    std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
    return DefaultAnswer(flags);
  }
  void PostQuit(int code) override { quitCode_ = code; }
  [[noreturn]] void Exit(int code) override { std::exit(code); }

 private:
  int quitCode_ = 0;
};

HeadlessServices& Headless() {
  static HeadlessServices h;
  return h;
}

IUiServices*& Current() {
  static IUiServices* current = nullptr;
  return current;
}

}  // namespace

IUiServices& Ui() { return Current() ? *Current() : Headless(); }
void SetUi(IUiServices* services) { Current() = services; }

int MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
  return Ui().MessageBox(text, caption, flags);
}
void PostQuit(int code) { Ui().PostQuit(code); }
void Exit(int code) {
  Ui().Exit(code);
  std::exit(code);  // an override that returned anyway
}

ScriptedServices::ScriptedServices() : previous_(Current()) { Current() = this; }
ScriptedServices::~ScriptedServices() { Current() = previous_; }

int ScriptedServices::MessageBox(std::string_view text, std::string_view caption, unsigned flags) {
  boxes.push_back({std::string(text), std::string(caption), flags});
  if (answers_.empty()) return DefaultAnswer(flags);
  int a = answers_.front();
  answers_.pop_front();
  return a;
}

void ScriptedServices::PostQuit(int code) { quits.push_back(code); }

void ScriptedServices::Exit(int code) { throw ProgramExit(code); }

}  // namespace platform
