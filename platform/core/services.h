#pragma once
// Message boxes, quitting and exiting as replaceable services.
//
// The programs install window-system versions; without one, boxes go to
// stderr and answer with their default button. Tests install
// ScriptedServices to see what was shown and to answer from a script.
#include <deque>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Buttons, icons and answers keep the values the program's callers compare against.
// Buttons (low nibble) and icons combine with |.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbOkCancel = 0x1;
inline constexpr unsigned kMbAbortRetryIgnore = 0x2;
inline constexpr unsigned kMbYesNoCancel = 0x3;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbRetryCancel = 0x5;
inline constexpr unsigned kMbIconNone = 0x00;
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconWarning = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
enum MsgAnswer : int {
  kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7,
};

class IUiServices {
 public:
  virtual ~IUiServices() = default;
  // flags: one kMb button value | one kMbIcon value.
  virtual int MessageBox(std::string_view text, std::string_view caption, unsigned flags) = 0;
  // Asks the main loop to end with this code once the current handler returns.
  virtual void PostQuit(int code) = 0;
  // Ends the program now.
  [[noreturn]] virtual void Exit(int code) = 0;
};

// The answer of a box that nobody answers: its first button.
int DefaultAnswer(unsigned flags);

IUiServices& Ui();
// Installs a service set (not owned); nullptr restores the headless default.
void SetUi(IUiServices* services);

// Convenience calls through Ui().
int MessageBox(std::string_view text, std::string_view caption = "", unsigned flags = kMbOk);
void PostQuit(int code);
[[noreturn]] void Exit(int code);

// Thrown by ScriptedServices::Exit so a test can see that the program would end.
struct ProgramExit : std::runtime_error {
  explicit ProgramExit(int c) : std::runtime_error("program exit " + std::to_string(c)), code(c) {}
  int code;
};

class ScriptedServices : public IUiServices {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    unsigned flags;
  };
  ScriptedServices();   // installs itself
  ~ScriptedServices() override;  // restores the previous service set

  int MessageBox(std::string_view text, std::string_view caption, unsigned flags) override;
  void PostQuit(int code) override;
  [[noreturn]] void Exit(int code) override;

  // Answers for the next boxes, in order; when empty a box takes its first button.
  void Answer(int id) { answers_.push_back(id); }

  std::vector<Shown> boxes;
  std::vector<int> quits;

 private:
  std::deque<int> answers_;
  IUiServices* previous_;
};

}  // namespace platform
