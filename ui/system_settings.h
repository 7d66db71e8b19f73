// Desktop-wide settings changes (system colours, caption font, display) as one notification.
#pragma once

#include <QObject>

namespace vardel::ui {

// Every form hears of a desktop settings change through this object, the way every top-level
// window receives the system-colour, settings and display-change messages. Changes made by the
// program itself (setSysColor, setCaptionLogFont) and screen geometry changes reported by the
// display are announced here; palette and font changes of the application reach the forms
// directly as change events.
class SystemSettings : public QObject {
  Q_OBJECT
 public:
  static SystemSettings& instance();

  // Announces a change to every listener, synchronously (a broadcast that is sent, not posted).
  void notifyChanged();

 signals:
  void changed();

 private:
  SystemSettings();
  void watchScreens();
};

}  // namespace vardel::ui
