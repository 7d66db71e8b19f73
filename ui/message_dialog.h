// Message dialogs with a choice of buttons: the program's confirmation questions.
#pragma once

#include "ui/application.h"

#include <QString>

class QWidget;

#include <initializer_list>

namespace vardel::ui {

// The buttons a message dialog may carry, with the captions the program shows ("&No" shows
// "No" with N as its access key).
enum class DialogButton { mbYes, mbNo, mbOK, mbCancel };

// Shows a modal dialog with its own `caption`, an icon, `text`, and `buttons` from left to
// right; `defaultButton` has the focus and answers Return, `escapeButton` answers Escape and
// the window's close command. Returns the button chosen. Centred on the screen, above `parent`
// (the active window when none is given).
DialogButton messageDialog(const QString& caption, const QString& text, MessageIcon icon,
                           std::initializer_list<DialogButton> buttons, DialogButton defaultButton,
                           DialogButton escapeButton, QWidget* parent = nullptr);

// The caption of a button as the dialog shows it.
QString dialogButtonCaption(DialogButton button);

}  // namespace vardel::ui
