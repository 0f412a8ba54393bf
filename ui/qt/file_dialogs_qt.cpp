#include "ui/qt/file_dialogs_qt.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace pelorin::qt {
namespace {

// One Windows pattern as the patterns that match the same names here.
QStringList LinuxPatterns(const QString& pattern) {
  if (pattern == "*.*" || pattern == "*") return {"*"};
  const QString lower = pattern.toLower();
  const QString upper = pattern.toUpper();
  if (lower == upper) return {pattern};
  return {lower, upper};
}

QString WithoutOwnPatterns(QString description) {
  description = description.trimmed();
  if (description.endsWith(')')) {
    const qsizetype open = description.lastIndexOf('(');
    if (open > 0) description = description.left(open).trimmed();
  }
  return description;
}

bool FolderExists(const QString& path) {
  return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

}  // namespace

QStringList NameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
      for (const QString& linux_pattern : LinuxPatterns(pattern.trimmed())) {
        if (!patterns.contains(linux_pattern)) patterns.append(linux_pattern);
      }
    }
    if (patterns.isEmpty()) continue;
    filters.append(WithoutOwnPatterns(parts[i]) + " (" + patterns.join(' ') + ")");
  }
  return filters;
}

DialogStart StartOf(const FileDialogRequest& request) {
  DialogStart start{QString::fromStdString(request.initial_directory),
                    QString::fromStdString(request.file_name)};
  if (start.folder.isEmpty() || QFileInfo(start.folder).isDir()) return start;
  const qsizetype slash = start.folder.lastIndexOf('/');
  if (slash < 0) return start;
  if (start.name.isEmpty()) start.name = start.folder.mid(slash + 1);
  start.folder = slash == 0 ? QStringLiteral("/") : start.folder.left(slash);
  return start;
}

std::optional<std::string> ShowFileDialog(QWidget* owner, const FileDialogRequest& request,
                                          FileDialogKind kind) {
  const QString title = QString::fromStdString(request.title);
  QFileDialog dialog(owner, title);
  // The toolkit's dialog behaves the same on every desktop; a desktop's
  // portal dialog would not honour every field of the request.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(kind == FileDialogKind::Open ? QFileDialog::AcceptOpen
                                                    : QFileDialog::AcceptSave);
  dialog.setFileMode(kind == FileDialogKind::Open && request.file_must_exist
                         ? QFileDialog::ExistingFile
                         : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.prompt_overwrite);
  // The toolkit's dialog has no "open as read-only" box to hide.
  const QStringList filters = NameFilters(request.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  if (!request.default_extension.empty()) {
    dialog.setDefaultSuffix(QString::fromStdString(request.default_extension));
  }
  const DialogStart start = StartOf(request);
  if (!start.folder.isEmpty()) dialog.setDirectory(start.folder);
  if (!start.name.isEmpty()) dialog.selectFile(start.name);

  while (dialog.exec() == QDialog::Accepted) {
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    const QString path = QDir::cleanPath(chosen.first());
    if (request.path_must_exist && !FolderExists(path)) {
      QMessageBox::warning(
          &dialog, dialog.windowTitle(),
          QFileInfo(path).absolutePath() + "\nPath does not exist.\nCheck the path and try again.");
      continue;
    }
    return path.toStdString();
  }
  return std::nullopt;
}

}  // namespace pelorin::qt
