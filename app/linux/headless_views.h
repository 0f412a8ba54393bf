#pragma once
#include "app/program_services.h"
#include "ui/headless/null_views.h"

namespace pelorin::linux_os {

// Every view of the properties window, its tabs and the remap dialogs, for
// a program that runs without windows: Views() fills ProgramViews around the
// given main window. Lives as long as the program that uses it.
class HeadlessViews {
 public:
  ProgramViews Views(ProgramWindow& window) {
    return {window,      frame_,         com_ports_,       winamp_,      options_,
            help_about_, primary_remap_, secondary_remap_, file_dialogs_};
  }

 private:
  NullControlsView<FrameControl> frame_;
  NullControlsView<ComPortsControl> com_ports_;
  NullControlsView<WinampControl> winamp_;
  NullControlsView<OptionsControl> options_;
  NullControlsView<HelpAboutControl> help_about_;
  NullControlsView<RemapControl> primary_remap_;
  NullControlsView<RemapControl> secondary_remap_;
  NullFileDialogs file_dialogs_;
};

}  // namespace pelorin::linux_os
