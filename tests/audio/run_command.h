#pragma once
// Runs an outside program for a test and collects what it printed.
#include <string>

namespace testsupport {

// Runs a shell command; its standard output and error together in `output`. Returns the exit status.
int RunCommand(const std::string& command, std::string& output);
std::string ShellQuote(const std::string& text);

}  // namespace testsupport
