// The form base and its classic self-drawn frame.
#include "ui/form.h"

#include "platform/x11_windows.h"
#include "ui/application.h"
#include "ui/fonts.h"
#include "ui/metrics.h"
#include "ui/stage.h"
#include "ui/system_settings.h"

#include <QCloseEvent>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>

namespace vardel::ui {
namespace {

bool selfDrawn(BorderStyle style) {
  return style == BorderStyle::bsSingle || style == BorderStyle::bsDialog || style == BorderStyle::bsToolWindow;
}

bool toolWindow(BorderStyle style) { return style == BorderStyle::bsToolWindow || style == BorderStyle::bsSizeToolWin; }

// On the stage a form is a window of the stage's screen; else a window of the display.
QWidget* placeFor(QWidget* owner) { return Stage::instance() ? Stage::instance()->desktop() : owner; }
Qt::WindowFlags kindOfForm() { return Stage::instance() ? Qt::Widget : Qt::Window; }

}  // namespace

// The frame Windows draws for a dialog-frame window: three pixels of raised edge, the caption
// bar in the caption colour with the window text in the caption font, and the caption buttons
// the border icons ask for.
class Form::ClassicFrame : public NonClientHook {
 public:
  explicit ClassicFrame(Form& form) : form_(form) {}

  void paintNonClient(QPainter& painter, const QRegion& region) override {
    painter.save();
    painter.setClipRegion(region);
    const QRect r = form_.rect();
    const auto line = [&](Color c, int x1, int y1, int x2, int y2) {
      painter.setPen(toQColor(c));
      painter.drawLine(x1, y1, x2, y2);
    };
    // Raised dialog frame, outermost ring first.
    line(kSystemColorFlag | COLOR_3DLIGHT, r.left(), r.top(), r.right() - 1, r.top());
    line(kSystemColorFlag | COLOR_3DLIGHT, r.left(), r.top(), r.left(), r.bottom() - 1);
    line(kSystemColorFlag | COLOR_3DDKSHADOW, r.left(), r.bottom(), r.right(), r.bottom());
    line(kSystemColorFlag | COLOR_3DDKSHADOW, r.right(), r.top(), r.right(), r.bottom());
    line(clBtnHighlight, r.left() + 1, r.top() + 1, r.right() - 2, r.top() + 1);
    line(clBtnHighlight, r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 2);
    line(clBtnShadow, r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    line(clBtnShadow, r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    const QMargins m = form_.frameMargins();
    const QRect inner = r.adjusted(2, 2, -2, -2);
    QRegion face(inner);
    face -= QRegion(r.marginsRemoved(m));
    for (const QRect& rect : face) painter.fillRect(rect, toQColor(clBtnFace));

    const QRect caption = form_.captionRect();
    if (!caption.isEmpty()) {
      const bool active = form_.isActiveForm();
      painter.fillRect(caption, toQColor(active ? clActiveCaption : clInactiveCaption));
      QRect textRect = caption.adjusted(3, 0, 0, 0);
      const int buttons = drawButtons(painter, caption);
      textRect.setRight(caption.right() - buttons);
      painter.setPen(toQColor(active ? clCaptionText : clInactiveCaptionText));
      painter.setFont(pixelFont(QStringLiteral("MS Sans Serif"), toolWindow(form_.borderStyle()) ? 10 : 11, fsBold));
      const QString text = painter.fontMetrics().elidedText(form_.caption(), Qt::ElideRight, textRect.width());
      painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
    }
    painter.restore();
  }

  void activate(bool, const QRegion& allowed) override { form_.update(allowed); }
  void systemSettingsChanged() override { form_.update(); }

 private:
  // Draws the caption buttons from the right; returns the width they take.
  int drawButtons(QPainter& painter, const QRect& caption) {
    const BorderIcons icons = form_.borderIcons();
    if (!(icons & biSystemMenu)) return 0;
    const int w = toolWindow(form_.borderStyle()) ? systemMetric(SM_CXSMSIZE) : systemMetric(SM_CXSIZE);
    const int h = caption.height() - 4;
    int right = caption.right() - 2;
    int used = 2;
    const auto button = [&](const QString& glyph) {
      const QRect b(right - (w - 2) + 1, caption.top() + 2, w - 2, h);
      painter.fillRect(b, toQColor(clBtnFace));
      painter.setPen(toQColor(clBtnHighlight));
      painter.drawLine(b.topLeft(), b.topRight());
      painter.drawLine(b.topLeft(), b.bottomLeft());
      painter.setPen(toQColor(kSystemColorFlag | COLOR_3DDKSHADOW));
      painter.drawLine(b.bottomLeft(), b.bottomRight());
      painter.drawLine(b.topRight(), b.bottomRight());
      painter.setPen(toQColor(clBtnText));
      painter.setFont(pixelFont(QStringLiteral("MS Sans Serif"), 10, fsBold));
      painter.drawText(b, Qt::AlignCenter, glyph);
      right -= w;
      used += w;
    };
    button(QStringLiteral("\u00D7"));
    if (form_.borderStyle() != BorderStyle::bsDialog && (icons & (biMinimize | biMaximize))) {
      right -= 2;
      used += 2;
      button(QStringLiteral("\u25A1"));
      button(QStringLiteral("_"));
    }
    return used;
  }

  Form& form_;
};

Form::Form(Form* owner) : QWidget(placeFor(owner), kindOfForm()), owner_(owner) {
  if (!isWindow()) QWidget::setVisible(false);  // a child widget would show with the stage
  setAttribute(Qt::WA_DeleteOnClose, false);
  classic_ = new ClassicFrame(*this);
  hook_ = classic_;
  client_ = new QWidget(this);
  client_->setObjectName(QStringLiteral("client"));
  client_->setAutoFillBackground(true);
  setColor(color_);
  setBorderStyle(BorderStyle::bsSizeable);
  connect(&SystemSettings::instance(), &SystemSettings::changed, this, &Form::settingsChanged);
  if (Application::exists()) Application::instance().formCreated(this);
}

Form::~Form() {
  destroying_ = true;
  // Components go first, while hooks can still be handed back; widgets follow with QWidget.
  QList<QPointer<QObject>> components;
  for (QObject* child : children()) {
    if (!child->isWidgetType()) components << child;
  }
  for (const QPointer<QObject>& component : components) delete component.data();
  if (!isWindow()) {
    // On the stage the owned forms are not this one's children: they go here, as children
    // would.
    for (Form* owned : ownedForms()) delete owned;
  }
  hook_ = classic_;
  delete classic_;
  classic_ = nullptr;
}

NonClientHook* Form::defaultNonClientHook() const { return classic_; }

NonClientHook* Form::setNonClientHook(NonClientHook* hook) {
  NonClientHook* previous = hook_;
  hook_ = hook ? hook : classic_;
  return previous;
}

QList<Form*> Form::ownedForms() const {
  QList<Form*> owned;
  if (isWindow() || !parentWidget()) return findChildren<Form*>(QString(), Qt::FindDirectChildrenOnly);
  for (QObject* sibling : parentWidget()->children()) {
    if (auto* form = qobject_cast<Form*>(sibling); form && form->owner_ == this) owned << form;
  }
  return owned;
}

void Form::setBorderStyle(BorderStyle style) {
  borderStyle_ = style;
  if (!isWindow()) {
    refreshFrame();
    return;
  }
  Qt::WindowFlags flags = windowFlags() & Qt::WindowStaysOnTopHint;
  flags |= Qt::Window;
  if (style == BorderStyle::bsNone || selfDrawn(style)) {
    // bsNone has no frame; single-border styles draw their own, so the window manager adds none.
    flags |= Qt::FramelessWindowHint;
  } else if (toolWindow(style)) {
    flags |= Qt::Tool;
  }
  const bool visible = isVisible();
  setWindowFlags(flags);
  if (visible) show();
  layoutClient();
  update();
}

void Form::setBorderIcons(BorderIcons icons) {
  borderIcons_ = icons;
  update(captionRect());
}

void Form::setStayOnTop(bool onTop) {
  stayOnTop_ = onTop;
  if (!isWindow()) {
    if (Stage* stage = Stage::instance()) stage->formRaised(this);
    return;
  }
  const bool visible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  if (visible) show();
}

void Form::setCaption(const QString& text) {
  setWindowTitle(text);
  if (!captionRect().isEmpty()) update(captionRect());
}

void Form::setColor(Color color) {
  color_ = color;
  QPalette palette = client_->palette();
  palette.setColor(QPalette::Window, toQColor(color));
  client_->setPalette(palette);
}

QMargins Form::frameMargins() const {
  if (!selfDrawn(borderStyle_)) return {};
  const int fx = systemMetric(SM_CXDLGFRAME);
  const int fy = systemMetric(SM_CYDLGFRAME);
  const int caption =
      borderStyle_ == BorderStyle::bsToolWindow ? systemMetric(SM_CYSMCAPTION) : systemMetric(SM_CYCAPTION);
  return QMargins(fx, fy + caption, fx, fy);
}

QRect Form::captionRect() const {
  if (!selfDrawn(borderStyle_)) return {};
  const int fx = systemMetric(SM_CXDLGFRAME);
  const int fy = systemMetric(SM_CYDLGFRAME);
  const int height =
      (borderStyle_ == BorderStyle::bsToolWindow ? systemMetric(SM_CYSMCAPTION) : systemMetric(SM_CYCAPTION)) - 1;
  return QRect(fx, fy, width() - 2 * fx, height);
}

void Form::setBounds(int left, int top, int width, int height) {
  move(left, top);
  resize(width, height);
  layoutClient();  // a hidden window gets its resize event only when shown
}

void Form::setClientSize(int width, int height) {
  const QMargins m = frameMargins();
  resize(width + m.left() + m.right(), height + m.top() + m.bottom());
  layoutClient();
}

QSize Form::clientSize() const { return client_->size(); }

void Form::layoutClient() { client_->setGeometry(rect().marginsRemoved(frameMargins())); }

void Form::refreshFrame() {
  layoutClient();
  update();
}

void Form::paintEvent(QPaintEvent* event) {
  const QMargins m = frameMargins();
  if (m.isNull()) return;
  QRegion frame(rect());
  frame -= QRegion(rect().marginsRemoved(m));
  const QRegion region = event->region() & frame;
  if (region.isEmpty()) return;
  QPainter painter(this);
  hook_->paintNonClient(painter, region);
}

void Form::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  layoutClient();
}

void Form::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  switch (event->type()) {
    case QEvent::ActivationChange:
      refreshActivation();
      break;
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
      settingsChanged();
      break;
    default:
      break;
  }
}

bool Form::hasActivation() const {
  if (isWindow()) return isActiveWindow();
  const Stage* stage = Stage::instance();
  return stage && stage->isActiveWindow() && stage->activeForm() == this;
}

void Form::refreshActivation() {
  const bool now = hasActivation();
  if (now == active_) return;
  active_ = now;
  QRegion frame(rect());
  frame -= QRegion(rect().marginsRemoved(frameMargins()));
  if (!frame.isEmpty()) guarded([&] { hook_->activate(now, frame); });
}

void Form::activateWindow() {
  Stage* stage = Stage::instance();
  if (isWindow() || !stage) {
    QWidget::activateWindow();
    return;
  }
  stage->activate(this);
  stage->activateWindow();
}

void Form::showMinimized() {
  Stage* stage = Stage::instance();
  if (isWindow() || !stage) {
    QWidget::showMinimized();
    return;
  }
  stage->minimize();
}

void Form::setVisible(bool visible) {
  QWidget::setVisible(visible);
  // The stage comes up with its first form.
  if (visible && !isWindow() && Stage::instance()) Stage::instance()->showStage();
}

QWidget* Form::nextControl(QWidget* from, bool forward) const {
  QWidget* w = from;
  // The focus chain is a ring through every widget of the window; once round at most.
  for (;;) {
    w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
    if (!w || w == from) return nullptr;
    if (isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(this)) return w;
  }
}

// On the stage the tab order goes round this form's controls only, as in a window.
bool Form::focusNextPrevChild(bool next) {
  if (isWindow()) return QWidget::focusNextPrevChild(next);
  if (isHidden()) return false;
  QWidget* focused = focusWidget();
  QWidget* target = nextControl(focused && isAncestorOf(focused) ? focused : this, next);
  if (!target) return false;
  target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

// What the system-colour, settings and display-change messages do: the hook hears first.
void Form::settingsChanged() {
  if (destroying_) return;
  guarded([&] { hook_->systemSettingsChanged(); });
  emit systemSettingsChanged();
}

void Form::runSetUp(const std::function<void()>& setUp) {
  guarded([&setUp] {
    try {
      setUp();
    } catch (...) {
      Application::instance().setCursor(Cursor::crDefault);
      throw;
    }
  });
}

void Form::showEvent(QShowEvent* event) {
  // A stay-on-top window rides with the window that owns it: the window manager then keeps it
  // above that owner also while the owner fills the screen and has the focus (a focused
  // full-screen window is otherwise stacked above every stay-on-top one), and minimises and
  // restores it with the owner. Qt marks only dialogs and tool windows so, and clears the mark
  // of other windows as it shows them: set once the window is shown.
  if (isWindow() && (windowFlags() & Qt::WindowStaysOnTopHint) && parentWidget() &&
      QGuiApplication::platformName() == QLatin1String("xcb")) {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (isVisible() && parentWidget())
            platform::setOwnerWindow(platform::WindowId(winId()),
                                     platform::WindowId(parentWidget()->window()->winId()));
        },
        Qt::QueuedConnection);
  }
  // The window paints its first frame while the display's first exposure of it is handled;
  // that is watched from here on. On the stage that is the stage's exposure, or, when the
  // stage is on the screen already, the form's own painting.
  QWindow* const handle = window()->windowHandle();
  if (!firstFrameShown_ && !watchingExposure_ && handle) {
    watchingExposure_ = true;
    if (!isWindow() && handle->isExposed()) {
      QMetaObject::invokeMethod(
          this, [this] { frameReady(); }, Qt::QueuedConnection);
    } else {
      handle->installEventFilter(this);
    }
  }
  QWidget::showEvent(event);
  if (!isWindow() && !event->spontaneous() && Stage::instance()) Stage::instance()->formShown(this);
  fire(onShow, this);
}

void Form::frameReady() {
  if (firstFrameShown_) return;
  watchingExposure_ = false;
  if (!isWindow()) repaint();  // painted and handed to the display now
  firstFrameShown_ = true;
  emit firstFrameShown();
}

bool Form::eventFilter(QObject* watched, QEvent* event) {
  auto* const handle = qobject_cast<QWindow*>(watched);
  if (watchingExposure_ && handle && handle == window()->windowHandle() && event->type() == QEvent::Expose &&
      handle->isExposed()) {
    handle->removeEventFilter(this);
    // Queued: the exposure is painted and flushed before this runs.
    QMetaObject::invokeMethod(
        this, [this] { frameReady(); }, Qt::QueuedConnection);
  }
  return QWidget::eventFilter(watched, event);
}

bool Form::waitForFirstFrame(int limitMs) {
  if (firstFrameShown_) return true;
  QEventLoop loop;
  QTimer limit;
  limit.setSingleShot(true);
  connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  connect(this, &Form::firstFrameShown, &loop, &QEventLoop::quit);
  limit.start(limitMs);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  return firstFrameShown_;
}

void Form::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!isWindow() && !event->spontaneous() && Stage::instance()) Stage::instance()->formHidden(this);
  fire(onHide, this);
}

void Form::closeEvent(QCloseEvent* event) {
  // Hiding or freeing is decided here, never by Qt's default close handling.
  event->ignore();
  bool closed = false;
  guarded([&] { performClose(closed); });
}

bool Form::closeForm() {
  bool closed = false;
  performClose(closed);
  return closed;
}

void Form::performClose(bool& closed) {
  bool canClose = true;
  if (onCloseQuery) onCloseQuery(this, canClose);
  if (!canClose) return;
  CloseAction action = CloseAction::caHide;
  if (onClose) onClose(this, action);
  if (action == CloseAction::caNone) return;
  closed = true;
  if (Application::exists() && Application::instance().mainForm() == this) {
    hide();
    Application::instance().terminate();
    return;
  }
  switch (action) {
    case CloseAction::caHide:
      hide();
      break;
    case CloseAction::caMinimize:
      showMinimized();
      break;
    case CloseAction::caFree:
      hide();
      deleteLater();
      break;
    case CloseAction::caNone:
      break;
  }
}

// The pointer where the form's position is counted: the display's, or the stage's screen.
QPoint Form::pointerInParent(const QMouseEvent& event) const {
  const QPoint global = event.globalPosition().toPoint();
  return isWindow() || !parentWidget() ? global : parentWidget()->mapFromGlobal(global);
}

// Dragging the caption moves the window; there is no window manager frame to do it.
void Form::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && captionRect().contains(event->position().toPoint())) {
    dragging_ = true;
    dragOffset_ = pointerInParent(*event) - frameGeometry().topLeft();
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void Form::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    move(pointerInParent(*event) - dragOffset_);
    event->accept();
    return;
  }
  QWidget::mouseMoveEvent(event);
}

void Form::mouseReleaseEvent(QMouseEvent* event) {
  if (dragging_ && event->button() == Qt::LeftButton) {
    dragging_ = false;
    event->accept();
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

}  // namespace vardel::ui
