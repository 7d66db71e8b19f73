// The map's reading aids: the keys, the find bar and the text size.
#include "shell/lectura.h"

#include "controls/host/html_control.h"
#include "controls/host/web_browser.h"
#include "shell/lectura_barra.h"
#include "shell/mapa_form.h"
#include "ui/events.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>

namespace vardel {

namespace {

constexpr int kBarWidth = 420;
constexpr int kBarHeight = 30;
constexpr int kBarMargin = 20;  // from the right of the article area, clear of its scroll bar

bool within(const QWidget* outer, const QObject* target) {
  const auto* widget = qobject_cast<const QWidget*>(target);
  return outer && widget && (widget == outer || outer->isAncestorOf(widget));
}

}  // namespace

void TfrmMapa::findInArticle(const QString& text) { lectura_->findInArticle(text); }

Lectura::Lectura(TfrmMapa& map) : map_(map), bar_(new BarraBuscar(map.client())) {
  bar_->onEdited = [this](const QString& text) { find(text, false); };
  bar_->onNext = [this](bool backward) { find(bar_->text(), backward); };
  bar_->onClose = [this] { closeBar(); };
  const auto starting = [this](QObject*, const QString& url) { documentStarting(url); };
  if (map_.hasWebBrowser()) {
    map_.wIE4->OnDocumentStarting = starting;
  } else {
    map_.w->OnDocumentStarting = starting;
  }
  qApp->installEventFilter(this);
}

Lectura::~Lectura() { qApp->removeEventFilter(this); }

ReadingArea* Lectura::area() const {
  if (map_.hasWebBrowser()) return map_.wIE4;
  return map_.w;
}

QWidget* Lectura::areaWidget() const {
  if (map_.hasWebBrowser()) return map_.wIE4;
  return map_.w;
}

bool Lectura::atArticle() const { return map_.Nivel == 2 && areaWidget() && areaWidget()->isVisible(); }

bool Lectura::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::Wheel && type != QEvent::MouseButtonPress &&
      type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
    return false;
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != &map_) return false;
  bool handled = false;
  if (type == QEvent::KeyPress) {
    ui::guarded([&] { handled = handleKey(static_cast<QKeyEvent*>(event), const_cast<QWidget*>(widget)); });
  } else if (type == QEvent::Wheel) {
    const auto* wheel = static_cast<QWheelEvent*>(event);
    if ((wheel->modifiers() & Qt::ControlModifier) && atArticle() && within(areaWidget(), watched)) {
      if (const int step = ui::textZoomForWheel(*wheel, zoom_); step >= 0) ui::guarded([&] { zoomTo(step); });
      handled = true;
    }
  } else {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::BackButton || mouse->button() == Qt::ForwardButton) {
      if (type != QEvent::MouseButtonRelease)  // a quick second press comes as a double click
        ui::guarded([&] { mouse->button() == Qt::BackButton ? back() : forward(); });
      handled = true;  // nor does the page or a hotspot take it
    }
  }
  return handled;
}

bool Lectura::handleKey(QKeyEvent* key, QWidget* target) {
  const Qt::KeyboardModifiers modifiers =
      key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const int code = key->key();
  const bool shift = modifiers == Qt::ShiftModifier;
  if (modifiers == Qt::AltModifier && (code == Qt::Key_Left || code == Qt::Key_Right)) {
    code == Qt::Key_Left ? back() : forward();
    return true;
  }
  if (!atArticle()) return false;
  if (modifiers == Qt::ControlModifier && code == Qt::Key_F) {
    openBar();
  } else if (code == Qt::Key_F3 && (modifiers == Qt::NoModifier || shift)) {
    openBar();
    find(bar_->text(), shift);
  } else if ((code == Qt::Key_Return || code == Qt::Key_Enter) && (modifiers == Qt::NoModifier || shift) &&
             within(bar_, target)) {
    find(bar_->text(), shift);
  } else if (code == Qt::Key_Escape && bar_->isVisible()) {
    closeBar();
  } else if (const int step = ui::textZoomForKey(*key, zoom_); step >= 0) {
    zoomTo(step);
  } else {
    return false;
  }
  return true;
}

bool Lectura::findBarOpen() const { return bar_->isVisible(); }

void Lectura::openBar() {
  const QRect article = areaWidget()->geometry();
  const int width = std::min(kBarWidth, article.width());
  bar_->setGeometry(article.x() + article.width() - width - kBarMargin, map_.client()->height() - kBarHeight - 4, width,
                    kBarHeight);
  bar_->show();
  bar_->raise();
  bar_->edit()->setFocus();
  bar_->edit()->selectAll();
}

void Lectura::closeBar() {
  bar_->hide();
  ++findSerial_;
  area()->FindText(QString(), false, nullptr);
  QWidget* inner = areaWidget()->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  (inner ? inner : areaWidget())->setFocus();
}

void Lectura::find(const QString& text, bool backward) {
  const quint64 serial = ++findSerial_;
  if (text.isEmpty()) bar_->clearCount();
  QPointer<Lectura> self(this);
  area()->FindText(text, backward, [self, serial, empty = text.isEmpty()](int current, int total) {
    if (!self || serial != self->findSerial_ || !self->bar_->isVisible() || empty) return;
    self->bar_->showCount(current, total);
  });
}

void Lectura::findInArticle(const QString& text) {
  openBar();
  bar_->edit()->setText(text);
  find(text, false);
}

void Lectura::zoomTo(int step) {
  zoom_ = step;
  area()->SetTextZoom(ui::kTextZooms[zoom_]);
}

}  // namespace vardel
