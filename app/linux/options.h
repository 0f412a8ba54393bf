#pragma once
#include <span>
#include <string>
#include <string_view>

namespace pelorin::linux_os {

// What a start asks of the program besides running.
enum class StartRequest {
  Run,   // run, or end silently when a copy already runs
  Show,  // ask the running copy to show its properties window
  Quit,  // ask the running copy to end
};

// The command line of the Linux program:
//   pelorin [--headless] [--config FILE] [show|quit]
//   pelorin --version | --help
struct Options {
  bool headless = false;
  std::string config_path;  // empty: the user's default configuration file
  StartRequest request = StartRequest::Run;
};

enum class CommandLineAction { Run, PrintHelp, PrintVersion, Refuse };

struct ParsedCommandLine {
  CommandLineAction action = CommandLineAction::Run;
  Options options;
  std::string error;  // why the line is refused, for standard error
};

// Reads the arguments after the program's name. `--config=FILE` and
// `--config FILE` are the same; `--` ends the options. --help and --version
// win over everything else on the line; an unknown option, a second request
// or a missing FILE refuses the line.
ParsedCommandLine ParseCommandLine(std::span<const std::string_view> arguments);

// The texts for --help and --version, each ending in a newline.
std::string HelpText();
std::string VersionText(std::string_view version);

// A desktop session shows windows only where X or Wayland is reachable;
// without either the program runs headless whatever the command line says.
bool DisplayAvailable(const char* x_display, const char* wayland_display);

// The exit status of a refused command line, as other command-line tools use.
inline constexpr int kUsageExitStatus = 2;

}  // namespace pelorin::linux_os
