// The stage window and its window management of the forms.
#include "ui/stage.h"

#include "platform/wayland_output.h"
#include "platform/x11_windows.h"
#include "ui/application.h"
#include "ui/form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>

namespace vardel::ui {
namespace {

Stage* gStage = nullptr;

// Scales outside this range are typing mistakes, not wishes.
constexpr double kSmallestScale = 0.5;
constexpr double kLargestScale = 8.0;

// Qt's scaling settings, read while the QApplication is made. The first carries the stage's
// scale; the others, the desktop's, would add to it or round it.
constexpr std::array<const char*, 7> kScalingVariables{
    "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR_ROUNDING_POLICY",
    "QT_FONT_DPI",     "QT_USE_PHYSICAL_DPI",     "QT_DPI_ADJUSTMENT_POLICY"};

// The person's scaling settings (nothing for one unset) while the stage's stand in the
// environment for Qt to take.
std::optional<std::array<std::optional<QByteArray>, kScalingVariables.size()>> gPersonsScaling;

// Qt reads the settings while the QApplication is made and never again, not for a screen
// added or changed either. Every program started afterwards (the game, the one that opens a
// link outside the magazine) inherits the environment, and would be drawn at the magazine's
// scale instead of the desktop's: it gets the person's own settings back.
void givePersonsScaleBack() {
  if (!gPersonsScaling) return;
  for (std::size_t i = 0; i < kScalingVariables.size(); ++i) {
    if (const std::optional<QByteArray>& value = (*gPersonsScaling)[i]) {
      qputenv(kScalingVariables[i], *value);
    } else {
      qunsetenv(kScalingVariables[i]);
    }
  }
  gPersonsScaling.reset();
}

bool fullScreenKey(const QKeyEvent& key) {
  if (key.key() == Qt::Key_F11 && key.modifiers() == Qt::NoModifier) return true;
  return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
         (key.modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier;
}

}  // namespace

std::optional<double> stageScale(const QByteArray& setting, const std::optional<StageDesktop>& desktop) {
  const QByteArray choice = setting.trimmed().toLower();
  if (choice == "off") return std::nullopt;
  bool number = false;
  const double fixed = choice.toDouble(&number);
  if (number && fixed >= kSmallestScale && fixed <= kLargestScale) return fixed;
  if (!desktop) return 1.0;
  if (desktop->screen == kStageScreen && desktop->placesWindows) return std::nullopt;
  const double across = double(desktop->usable.width()) / kStageScreen.width();
  const double down = double(desktop->usable.height() - kTitleBarAllowance) / kStageScreen.height();
  // Hundredths: the factor is also what the person reads in the environment of the program.
  return std::max(1.0, std::floor(std::min(across, down) * 100.0) / 100.0);
}

bool qtChoosesWayland(const QByteArray& qpaPlatform, const QByteArray& waylandDisplay, const QByteArray& sessionType) {
  if (!qpaPlatform.isEmpty()) return qpaPlatform.split(';').constFirst().trimmed().startsWith("wayland");
  return !waylandDisplay.isEmpty() || sessionType == "wayland";
}

bool prepareStage() {
  std::optional<StageDesktop> desktop;
  if (qtChoosesWayland(qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"), qgetenv("XDG_SESSION_TYPE"))) {
    // The compositor places the windows and keeps its panels' area to itself.
    if (const std::optional<QSize> output = platform::waylandOutputSize())
      desktop = StageDesktop{*output, *output - QSize(0, kWaylandPanelAllowance), false};
  }
  if (!desktop) {
    // A compositor that does not answer is one Qt cannot reach either: it falls back to X11.
    if (const std::optional<platform::DesktopArea> area = platform::desktopArea())
      desktop = StageDesktop{area->screen, area->usable.size(), true};
  }
  const std::optional<double> scale = stageScale(qgetenv("VARDEL_SCALE"), desktop);
  if (!scale) return false;
  // Qt renders text, drawn controls and the browser engine at this scale; pictures drawn
  // without smoothing are scaled by whole pixels.
  if (!gPersonsScaling) {
    auto& persons = gPersonsScaling.emplace();
    for (std::size_t i = 0; i < kScalingVariables.size(); ++i) {
      if (qEnvironmentVariableIsSet(kScalingVariables[i])) persons[i] = qgetenv(kScalingVariables[i]);
    }
  }
  for (const char* variable : kScalingVariables) qunsetenv(variable);
  qputenv(kScalingVariables[0], QByteArray::number(*scale, 'g', 6));
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
  return true;
}

Stage::Stage() {
  Q_ASSERT(!gStage);
  gStage = this;
  givePersonsScaleBack();  // the QApplication, made before the stage, has taken the scale
  setObjectName(QStringLiteral("stage"));
  setWindowTitle(QStringLiteral("VARDEL"));
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);
  setMinimumSize(kStageScreen);
  resize(kStageScreen);
  desktop_ = new QWidget(this);
  desktop_->setObjectName(QStringLiteral("desktop"));
  desktop_->setFixedSize(kStageScreen);
  qApp->installEventFilter(this);
}

Stage::~Stage() {
  qApp->removeEventFilter(this);
  if (gStage == this) gStage = nullptr;
}

Stage* Stage::instance() { return gStage; }

QList<Form*> Stage::forms() const {
  QList<Form*> list;
  for (QObject* child : desktop_->children()) {
    if (auto* form = qobject_cast<Form*>(child)) list << form;
  }
  return list;
}

Form* Stage::formOf(QObject* object) const {
  auto* widget = qobject_cast<QWidget*>(object);
  while (widget && widget->parentWidget() != desktop_) widget = widget->isWindow() ? nullptr : widget->parentWidget();
  return qobject_cast<Form*>(widget);
}

bool Stage::onTopOfItsLayer(Form* form) const {
  const QList<Form*> stack = forms();
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    if (!(*it)->isHidden() && (*it)->stayOnTop() == form->stayOnTop()) return *it == form;
  }
  return false;
}

void Stage::restack() {
  restacking_ = true;
  for (Form* form : forms()) {
    if (form->stayOnTop()) form->QWidget::raise();
  }
  restacking_ = false;
}

void Stage::setActive(Form* form) {
  Form* previous = active_;
  active_ = form;
  if (previous && previous != form) previous->refreshActivation();
  if (form) form->refreshActivation();
}

void Stage::giveKeyboard(Form* form) {
  QWidget* target = form->focusWidget();
  if (!target || !form->isAncestorOf(target) || !target->isVisibleTo(form) || !target->isEnabled())
    target = form->nextControl(form, true);
  if (target) {
    target->setFocus(Qt::ActiveWindowFocusReason);
  } else if (QWidget* focused = focusWidget(); focused && !form->isAncestorOf(focused)) {
    focused->clearFocus();  // keys go to no other form
  }
}

void Stage::activate(Form* form) {
  if (!form || form->isHidden() || form->parentWidget() != desktop_) return;
  form->QWidget::raise();
  restack();
  setActive(form);
  giveKeyboard(form);
}

void Stage::showStage() {
  if (isVisible()) return;
  if (!placed_) {
    placed_ = true;
    if (const QScreen* screen = this->screen()) {
      // Centred with its title bar: the position is the frame's.
      const QRect area = screen->availableGeometry();
      const int titleBar = qCeil(kTitleBarAllowance / screen->devicePixelRatio());
      move(area.left() + std::max(0, (area.width() - width()) / 2),
           area.top() + std::max(0, (area.height() - height() - titleBar) / 2));
    }
  }
  show();
}

void Stage::formShown(Form* form) {
  if (form->testAttribute(Qt::WA_ShowWithoutActivating)) {
    form->QWidget::raise();
    restack();
  } else {
    activate(form);
  }
}

void Stage::formHidden(Form* form) {
  if (form != active_) return;
  // The owner takes over, as on the original desktop; else the topmost form left.
  Form* next = form->owner() && !form->owner()->isHidden() ? form->owner() : nullptr;
  const QList<Form*> stack = forms();
  for (auto it = stack.rbegin(); !next && it != stack.rend(); ++it) {
    if (*it != form && !(*it)->isHidden()) next = *it;
  }
  setActive(nullptr);
  if (next) {
    activate(next);
  } else if (QWidget* focused = focusWidget(); focused && form->isAncestorOf(focused)) {
    focused->clearFocus();
  }
}

void Stage::formRaised(Form* form) {
  if (!restacking_ && form->parentWidget() == desktop_) restack();
}

void Stage::minimize() {
  if (QGuiApplication::mouseButtons() == Qt::NoButton) {
    showMinimized();
  } else {
    minimizeOnRelease_ = true;
  }
}

void Stage::toggleFullScreen() {
  if (isFullScreen()) {
    showNormal();
  } else {
    showFullScreen();
  }
}

void Stage::closeEvent(QCloseEvent* event) {
  // The system close of the main form, with whatever it asks first.
  event->ignore();
  if (!Application::exists()) return;
  if (Form* main = Application::instance().mainForm()) {
    main->close();
  } else {
    Application::instance().terminate();
  }
}

void Stage::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // The desktop's activation of the stage is the active form's too.
  if (event->type() == QEvent::ActivationChange) {
    for (Form* form : forms()) form->refreshActivation();
    // Back from a dialog or another program: the keyboard is the active form's again, once
    // the toolkit has put it back where it thinks best.
    if (isActiveWindow()) {
      QMetaObject::invokeMethod(
          this,
          [this] {
            QWidget* focused = QApplication::focusWidget();
            if (active_ && isActiveWindow() && !(focused && active_->isAncestorOf(focused))) giveKeyboard(active_);
          },
          Qt::QueuedConnection);
    }
  }
}

void Stage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  desktop_->move((width() - desktop_->width()) / 2, (height() - desktop_->height()) / 2);
}

bool Stage::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      // A click activates and raises the form it falls in.
      Form* form = formOf(watched);
      if (form && (form != active_ || !onTopOfItsLayer(form))) activate(form);
      break;
    }
    case QEvent::MouseButtonRelease:
      if (minimizeOnRelease_ && static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
        minimizeOnRelease_ = false;
        QMetaObject::invokeMethod(
            this, [this] { showMinimized(); }, Qt::QueuedConnection);
      }
      break;
    case QEvent::FocusIn:
      // The toolkit's own choice on the window's activation is not the person's: the active
      // form keeps the activation and is given the keyboard (changeEvent).
      if (static_cast<QFocusEvent*>(event)->reason() == Qt::ActiveWindowFocusReason) break;
      if (Form* form = formOf(watched); form && form != active_) setActive(form);
      break;
    case QEvent::ZOrderChange:
      if (auto* form = qobject_cast<Form*>(watched)) formRaised(form);
      break;
    case QEvent::KeyPress:
      if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (fullScreenKey(*key)) {
          if (!key->isAutoRepeat()) toggleFullScreen();
          return true;
        }
      }
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace vardel::ui
