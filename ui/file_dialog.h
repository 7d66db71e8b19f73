// The standard file-open dialog as the program's windows use it: Qt's own dialog (the same on
// every desktop, in the program's language), set up with a filter in the Windows form.
#pragma once

#include <QObject>
#include <QString>

namespace vardel::ui {

// A filter in the Windows form — pairs of a name and its patterns, all separated by '|',
// patterns within a pair by ';' ("Texto|*.txt;*.text|Todo|*.*") — in Qt's form
// ("Texto (*.txt *.text);;Todo (*.*)"). A name without patterns is dropped.
QString qtNameFilters(const QString& filter);

enum OpenOption : unsigned {
  // Leave the process's current folder as it was; without it the chosen file's folder
  // becomes the current one, as the Windows dialog does.
  ofNoChangeDir = 1u << 0,
  // Only a file that exists can be chosen (a name that names none keeps the dialog open
  // with a message).
  ofFileMustExist = 1u << 1,
};
using OpenOptions = unsigned;

class OpenDialog : public QObject {
  Q_OBJECT
 public:
  explicit OpenDialog(QObject* owner = nullptr);

  // In the Windows form (see qtNameFilters); the first entry is selected.
  QString Filter;
  // Added to a typed name without any extension: "mp3" (a leading "*." or "." is ignored).
  QString DefaultExt;
  // The file chosen last; the dialog opens in its folder (or, before any, in InitialDir,
  // else in the current folder).
  QString FileName;
  QString InitialDir;
  OpenOptions Options = 0;

  // Runs the dialog modally over the active window. True when a file was chosen, which is
  // then in FileName; false (FileName unchanged) when the dialog was cancelled.
  bool Execute();
};

}  // namespace vardel::ui
