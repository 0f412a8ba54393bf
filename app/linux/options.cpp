#include "app/linux/options.h"

namespace pelorin::linux_os {
namespace {

constexpr std::string_view kConfigOption = "--config";

ParsedCommandLine Refused(std::string error) {
  ParsedCommandLine parsed;
  parsed.action = CommandLineAction::Refuse;
  parsed.error = std::move(error) + "\nTry 'pelorin --help' for more information.";
  return parsed;
}

// The request a word names, if any.
bool RequestOf(std::string_view word, StartRequest& request) {
  if (word == "show") {
    request = StartRequest::Show;
    return true;
  }
  if (word == "quit") {
    request = StartRequest::Quit;
    return true;
  }
  return false;
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::span<const std::string_view> arguments) {
  // --help and --version answer even on a line that is otherwise wrong.
  for (std::string_view argument : arguments) {
    if (argument == "--") break;
    if (argument == "--help" || argument == "-h") return {CommandLineAction::PrintHelp, {}, {}};
    if (argument == "--version") return {CommandLineAction::PrintVersion, {}, {}};
  }
  ParsedCommandLine parsed;
  bool request_given = false;
  bool options_ended = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (!options_ended && argument == "--") {
      options_ended = true;
    } else if (!options_ended && argument == "--headless") {
      parsed.options.headless = true;
    } else if (!options_ended && argument == kConfigOption) {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        return Refused("pelorin: --config needs a file name");
      }
      parsed.options.config_path = arguments[++i];
    } else if (!options_ended && argument.starts_with("--config=")) {
      parsed.options.config_path = argument.substr(kConfigOption.size() + 1);
      if (parsed.options.config_path.empty()) {
        return Refused("pelorin: --config needs a file name");
      }
    } else if (!options_ended && argument.starts_with("-") && argument != "-") {
      return Refused("pelorin: unknown option '" + std::string(argument) + "'");
    } else if (StartRequest request; RequestOf(argument, request) && !request_given) {
      parsed.options.request = request;
      request_given = true;
    } else {
      return Refused("pelorin: unexpected argument '" + std::string(argument) + "'");
    }
  }
  return parsed;
}

std::string HelpText() {
  return "Usage: pelorin [--headless] [--config FILE] [show|quit]\n"
         "       pelorin --version | --help\n"
         "\n"
         "Turns push-buttons wired to the modem-status lines of serial ports into\n"
         "commands for a media player (any MPRIS player) and for the system.\n"
         "\n"
         "  --headless     run without windows (also when no display is reachable)\n"
         "  --config FILE  use FILE as the configuration file instead of\n"
         "                 $XDG_CONFIG_HOME/pelorin/pelorin.ini\n"
         "  show           ask the running copy to show its properties window\n"
         "  quit           ask the running copy to end\n"
         "  --version      print the version and end\n"
         "  --help         print this text and end\n"
         "\n"
         "Only one copy runs per user; a second start ends silently. SIGTERM and\n"
         "SIGINT end the program in order, SIGHUP reads the configuration file again.\n";
}

std::string VersionText(std::string_view version) {
  return "pelorin " + std::string(version) + "\n";
}

bool DisplayAvailable(const char* x_display, const char* wayland_display) {
  const auto set = [](const char* value) { return value != nullptr && *value != '\0'; };
  return set(x_display) || set(wayland_display);
}

}  // namespace pelorin::linux_os
