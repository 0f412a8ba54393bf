#pragma once
#include <optional>
#include <string>

#include <QString>
#include <QStringList>

#include "ui/file_dialogs.h"

class QWidget;

namespace pelorin::qt {

// The request's "Description|*.x;*.y|..." filter as the toolkit's name
// filters ("Description (*.x *.X *.y *.Y)"). Patterns match as on Windows:
// "*.*" is every file (a Linux name need not have a dot), and an extension
// matches in either case, since names copied from Windows are often in
// capitals. A description's own "(...)" is replaced by the patterns; a
// description without a pattern is dropped. Empty: no filter.
QStringList NameFilters(const std::string& filter);

// Where a dialog starts: the folder and the name preset in its field. The
// presenters split paths at the Windows separator, so a Linux file's path
// arrives whole as the folder; such a folder that is no folder is split here
// at its last '/' into folder and name (the request's own name wins).
struct DialogStart {
  QString folder;
  QString name;
  bool operator==(const DialogStart&) const = default;
};
DialogStart StartOf(const FileDialogRequest& request);

enum class FileDialogKind { Open, Save };

// Shows the toolkit's own (not the desktop's) open or save dialog, modal over
// `owner`, honouring every field of the request; a chosen name without an
// extension gets the default one. A name in a folder that does not exist,
// when the request wants the path to exist, is refused with a message and
// the dialog stays. Returns the chosen full path, nothing when cancelled.
std::optional<std::string> ShowFileDialog(QWidget* owner, const FileDialogRequest& request,
                                          FileDialogKind kind);

}  // namespace pelorin::qt
