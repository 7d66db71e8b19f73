// The standard file-open dialog over QFileDialog.
#include "ui/file_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace vardel::ui {

QString qtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) pattern = pattern.trimmed();
    patterns.removeAll(QString());
    if (patterns.isEmpty()) continue;
    filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters.join(QStringLiteral(";;"));
}

OpenDialog::OpenDialog(QObject* owner) : QObject(owner) {}

bool OpenDialog::Execute() {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setObjectName(QStringLiteral("OpenDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(Options & ofFileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  const QString filters = qtNameFilters(Filter);
  if (!filters.isEmpty()) dialog.setNameFilter(filters);
  QString suffix = DefaultExt;
  while (suffix.startsWith(QLatin1Char('*')) || suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
  dialog.setDefaultSuffix(suffix);
  const QFileInfo previous(FileName);
  if (!FileName.isEmpty() && previous.absoluteDir().exists()) {
    dialog.setDirectory(previous.absolutePath());
  } else {
    dialog.setDirectory(InitialDir.isEmpty() ? QDir::currentPath() : InitialDir);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  FileName = QDir::toNativeSeparators(dialog.selectedFiles().first());
  if (!(Options & ofNoChangeDir)) QDir::setCurrent(QFileInfo(FileName).absolutePath());
  return true;
}

}  // namespace vardel::ui
