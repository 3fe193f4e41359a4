#include "audio/run_command.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace testsupport {

std::string ShellQuote(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

int RunCommand(const std::string& command, std::string& output) {
  output.clear();
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  std::array<char, 4096> chunk;
  std::size_t n = 0;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) output.append(chunk.data(), n);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace testsupport
