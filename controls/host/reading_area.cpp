// The reading aids, passed on to the hosted control.
#include "controls/host/reading_area.h"

namespace vardel {

void ReadingArea::FindText(const QString& text, bool backward, std::function<void(int, int)> done) {
  if (controls::Control* control = readingControl()) {
    control->findText(text, backward, std::move(done));
  } else if (done) {
    done(0, 0);
  }
}

void ReadingArea::SetTextZoom(double factor) {
  if (controls::Control* control = readingControl()) control->setTextZoom(factor);
}

QPoint ReadingArea::ScrollPosition() {
  controls::Control* control = readingControl();
  return control ? control->scrollPosition() : QPoint();
}

void ReadingArea::SetScrollPosition(QPoint position) {
  if (controls::Control* control = readingControl()) control->setScrollPosition(position);
}

QString ReadingArea::CurrentUrl() {
  controls::Control* control = readingControl();
  return control ? control->currentUrl() : QString();
}

}  // namespace vardel
