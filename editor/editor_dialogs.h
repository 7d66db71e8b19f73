// The editor's standard dialogs: open and save (with the window definitions' filter strings),
// print, a font dialog with effects and a colour, and the Yes/No/Cancel question. All are
// Qt's own dialogs, not the desktop's, so they speak the program's language everywhere.
#pragma once

#include <QColor>
#include <QFont>
#include <QObject>
#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace vardel {

// A filter string of the form "Description|*.A;*.B|Description|*.C" as Qt's file dialogs take
// it: one entry per pair, each "Description (patterns)" (the patterns added only when the
// description does not already end with them).
QStringList qtNameFilters(const QString& filter);

// The open and save dialogs: a folder to start in, a filter, and what the user chose.
class TFileDialog : public QObject {
  Q_OBJECT
 public:
  enum class Kind { Open, Save };
  TFileDialog(QObject* owner, Kind kind);

  QString InitialDir;
  QString Filter;
  // The chosen file after a confirmed execute.
  QString FileName;
  // Open only: the state of the "open read-only" option when the dialog was confirmed.
  bool ReadOnlyChecked = false;

  // Runs the dialog modally over `parent`; true when the user confirmed a file.
  bool execute(QWidget* parent);

 private:
  Kind kind_;
};

// The print dialog: the system's printers and printing to a PDF file.
class TPrintDialog : public QObject {
  Q_OBJECT
 public:
  explicit TPrintDialog(QObject* owner);
  // Runs the dialog for `printer`; true when the user confirmed (the printer is then set up).
  bool execute(QPrinter& printer, QWidget* parent);
};

// The font dialog with effects: face, style and size as Qt's font dialog offers them (with
// underline and strike-out), and a text colour chosen from the sixteen basic colours.
class TFontDialog : public QObject {
  Q_OBJECT
 public:
  explicit TFontDialog(QObject* owner);

  QFont Font;
  QColor Color;

  bool execute(QWidget* parent);
};

}  // namespace vardel
