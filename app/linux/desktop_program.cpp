#include "app/linux/desktop_program.h"

#include <QApplication>
#include <QIcon>

#include "app/linux/qt_descriptor_watch.h"
#include "ui/qt/desktop_window.h"
#include "ui/qt/message_boxes_qt.h"
#include "ui/qt/properties_dialog.h"
#include "ui/qt/remap_dialog_view.h"

namespace pelorin::linux_os {

int RunDesktop(char* program_name, LinuxBackends& backends, SignalFd& signal_fd,
               const std::string& config_path) {
  // The toolkit reads its own options from the arguments; the program's
  // were read already, so it gets the name alone. It keeps a reference to
  // the count for its lifetime.
  int argument_count = 1;
  char* arguments[] = {program_name, nullptr};
  QApplication application(argument_count, arguments);
  // The program lives in the tray: closing or hiding its last window does
  // not end it; only the program's own ends do.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/pelorin/pelorin.ico")));

  QtDescriptorWatch watch;
  qt::QtMessageBoxes message_boxes;
  qt::PropertiesDialog properties;
  qt::RemapDialogView primary_remap(&properties);
  qt::RemapDialogView secondary_remap(&properties);
  qt::DesktopWindow window(properties);
  const ProgramViews views{window,
                           properties.Frame(),
                           properties.ComPorts(),
                           properties.Player(),
                           properties.Options(),
                           properties.HelpAbout(),
                           primary_remap,
                           secondary_remap,
                           properties};

  Program program(backends.Services(message_boxes), views, LinuxFacts(config_path, true));
  properties.Bind(program.Properties(), program.HelpAbout());
  primary_remap.Bind(program.PrimaryRemap());
  secondary_remap.Bind(program.SecondaryRemap());
  window.SetEvents(program);
  backends.FollowSettings(program.LiveSettings());

  OtherCopies other_copies(watch, backends.InstanceLocks(), program);
  AdapterArrivals adapters(watch, program);
  PlayerBusInput player_bus(watch, backends);
  WatchSignals(watch, signal_fd, program, backends.Shell());

  program.Initialise();
  return QApplication::exec();
}

}  // namespace pelorin::linux_os
