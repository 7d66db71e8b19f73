// The map's history of articles: what was shown in the article area, and where it was scrolled to.
#include "controls/host/html_control.h"
#include "controls/host/web_browser.h"
#include "shell/lectura.h"
#include "shell/lectura_barra.h"
#include "shell/mapa_form.h"
#include "ui/application.h"

#include <QUrl>

namespace vardel {

namespace {

bool sameUrl(const QString& a, const QString& b) {
  return QUrl(a).adjusted(QUrl::NormalizePathSegments) == QUrl(b).adjusted(QUrl::NormalizePathSegments);
}

}  // namespace

void Lectura::cityOpened(int number) { openingCity_ = number; }

void Lectura::keepScroll() {
  if (held_ >= 0 && held_ < int(entries_.size())) entries_[size_t(held_)].scroll = area()->ScrollPosition();
}

void Lectura::documentStarting(const QString& url) {
  if (bar_->isVisible()) bar_->clearCount();  // the marks go with the document they were in
  if (expected_ && sameUrl(*expected_, url)) {
    expected_.reset();
    return;
  }
  expected_.reset();
  keepScroll();
  Entry entry{url, {}, 0, openingCity_.has_value()};
  if (openingCity_) {
    entry.city = *openingCity_;
  } else if (current_ >= 0) {
    entry.city = entries_[size_t(current_)].city;
  } else {
    entry.cityStart = true;  // the first article of the run
  }
  openingCity_.reset();
  entries_.resize(size_t(current_ + 1));
  entries_.push_back(entry);
  current_ = held_ = int(entries_.size()) - 1;
}

void Lectura::back() {
  if (map_.Nivel == 1) {
    if (current_ >= 0) go(current_);
    return;
  }
  if (map_.Nivel != 2 || current_ < 0) return;
  keepScroll();
  if (entries_[size_t(current_)].cityStart) {
    // The map's own return to its level 1; forward opens this article again.
    map_.imgMapitaMouseDown(&map_, ui::MouseButton::mbLeft, {}, 0, 0);
    --current_;
    return;
  }
  go(current_ - 1);
}

void Lectura::forward() {
  if (map_.Nivel != 1 && map_.Nivel != 2) return;
  if (current_ + 1 >= int(entries_.size())) return;
  if (map_.Nivel == 2) keepScroll();
  go(current_ + 1);
}

void Lectura::go(int index) {
  if (index < 0 || index >= int(entries_.size())) return;
  const Entry& entry = entries_[size_t(index)];
  ui::Application& app = ui::Application::instance();
  app.setCursor(ui::Cursor::crHourGlass);
  const bool fromMap = map_.Nivel == 1;
  if (fromMap || entry.city != entries_[size_t(current_)].city) map_.MostrarSeccion(std::uint8_t(entry.city));
  current_ = index;
  if (held_ != index) {
    held_ = index;
    expected_ = entry.url;
    try {
      if (map_.hasWebBrowser()) {
        map_.wIE4->Navigate(entry.url);
      } else {
        map_.w->LoadDocument(entry.url);
      }
    } catch (const std::exception& error) {
      expected_.reset();
      app.messageBox(QString::fromUtf8(error.what()));
    }
  }
  area()->SetScrollPosition(entry.scroll);
  if (fromMap) map_.revealDocument(true);
  app.setCursor(ui::Cursor::crDefault);
}

}  // namespace vardel
