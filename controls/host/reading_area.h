// The reading aids of a hosted article area, the same for the light viewer and the browser.
#pragma once

#include "controls/control_abi.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>

namespace vardel {

// What the program asks of the control showing articles when the person presses a reading key
// (see controls::Control). A control not created yet does nothing and finds nothing.
class ReadingArea {
 public:
  void FindText(const QString& text, bool backward, std::function<void(int current, int total)> done);
  void SetTextZoom(double factor);
  QPoint ScrollPosition();
  void SetScrollPosition(QPoint position);
  QString CurrentUrl();

  // A new document is about to replace the one on display (whose place can still be read).
  std::function<void(QObject* sender, const QString& url)> OnDocumentStarting;

 protected:
  ~ReadingArea() = default;
  // Null until the control exists.
  virtual controls::Control* readingControl() const = 0;
};

}  // namespace vardel
