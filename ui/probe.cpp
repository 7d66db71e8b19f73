// SIGUSR1-triggered dump of the widget tree.
#include "ui/probe.h"

#include "ui/controls.h"
#include "ui/form.h"
#include "ui/stage.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QWidget>

#include <sys/socket.h>
#include <unistd.h>
#include <chrono>
#include <csignal>
#include <vector>

namespace vardel::ui {
namespace {

int gSignalPipe[2] = {-1, -1};

struct TimelineEvent {
  qint64 ns;
  const char* what;
  QString path;
  QString detail;
};
bool gRecording = false;
std::vector<TimelineEvent> gTimeline;

qint64 nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The form a widget is on (a window, or a window of the stage's screen).
QWidget* formOrWindow(const QWidget* w) {
  QWidget* top = const_cast<QWidget*>(w);
  while (!top->isWindow() && !qobject_cast<Form*>(top)) top = top->parentWidget();
  return top;
}

QString pathOf(const QWidget* w) {
  QString path;
  for (; w; w = w->isWindow() || qobject_cast<const Form*>(w) ? nullptr : w->parentWidget()) {
    const QString name = w->objectName().isEmpty() ? QStringLiteral("_") : w->objectName();
    path = path.isEmpty() ? name : name + QLatin1Char('/') + path;
  }
  return path;
}

// Sees the first paint of every window, and named widgets shown or hidden by the program.
class TimelineWatch : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* object, QEvent* event) override {
    if (!object->isWidgetType()) return false;
    const auto* widget = static_cast<const QWidget*>(object);
    switch (event->type()) {
      case QEvent::Paint: {
        QWidget* window = formOrWindow(widget);
        if (!window->property(kPainted).toBool()) {
          window->setProperty(kPainted, true);
          recordEvent(window, "paint");
        }
        break;
      }
      case QEvent::Show:
      case QEvent::Hide:
        if (!event->spontaneous() && !widget->objectName().isEmpty())
          recordEvent(widget, event->type() == QEvent::Show ? "show" : "hide");
        break;
      case QEvent::MouseButtonPress:
        // Where a press went, when a click a test made seems to have done nothing.
        if (!widget->objectName().isEmpty()) {
          const QPoint at = static_cast<const QMouseEvent*>(event)->position().toPoint();
          recordEvent(widget, "press", QStringLiteral("%1,%2").arg(at.x()).arg(at.y()));
        }
        break;
      default:
        break;
    }
    return false;
  }

 private:
  static constexpr const char* kPainted = "_vardelProbePainted";
};

void onSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &byte, 1);
}

QString oneLine(QString text) {
  text.replace(QLatin1Char('\t'), QLatin1Char(' '));
  text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
  text.replace(QLatin1Char('\r'), QString());
  return text;
}

QString widgetText(const QWidget* w) {
  if (const auto* label = qobject_cast<const Label*>(w)) return label->caption();
  if (w->isWindow() || qobject_cast<const Form*>(w)) return w->windowTitle();
  const QVariant text = w->property("text");
  return text.isValid() ? text.toString() : QString();
}

// The properties a window or control declares beyond those of a plain widget, as
// "name=value;..." (the map's navigation level and URLs, for instance).
QString ownProperties(const QWidget* w) {
  QStringList pairs;
  const QMetaObject* meta = w->metaObject();
  for (int i = QWidget::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
    const QMetaProperty property = meta->property(i);
    pairs << QString::fromLatin1(property.name()) + QLatin1Char('=') + oneLine(property.read(w).toString());
  }
  return pairs.join(QLatin1Char(';'));
}

void describe(const QWidget* w, const QString& parentPath, QString& out) {
  const QString name = w->objectName().isEmpty() ? QStringLiteral("_") : w->objectName();
  const QString path = parentPath.isEmpty() ? name : parentPath + QLatin1Char('/') + name;
  // In the display's pixels, which differ from the program's when the stage is scaled.
  const qreal scale = w->devicePixelRatioF();
  const QRect place = QRectF(QPointF(w->mapToGlobal(QPoint(0, 0))) * scale, QSizeF(w->size()) * scale).toRect();
  out += QStringLiteral("%1\t%2\t%3\t%4,%5,%6,%7\t%8\t%9")
             .arg(path, QString::fromLatin1(w->metaObject()->className()))
             .arg(w->isVisible() ? 1 : 0)
             .arg(place.x())
             .arg(place.y())
             .arg(place.width())
             .arg(place.height())
             .arg(oneLine(widgetText(w)), ownProperties(w));
  out += w->hasFocus() ? QStringLiteral("\t1\n") : QStringLiteral("\t0\n");
  for (const QObject* child : w->children()) {
    if (const auto* cw = qobject_cast<const QWidget*>(child); cw && !cw->isWindow()) describe(cw, path, out);
  }
}

}  // namespace

QString describeWidgets() {
  QString out;
  for (const QWidget* w : QApplication::topLevelWidgets()) {
    // The forms on the stage are described as the windows they are.
    if (const Stage* stage = Stage::instance(); stage && w == stage) {
      for (const Form* form : stage->forms()) describe(form, QString(), out);
    } else {
      describe(w, QString(), out);
    }
  }
  for (const TimelineEvent& e : gTimeline)
    out += QStringLiteral("#event\t%1\t%2\t%3\t%4\n").arg(e.ns).arg(QLatin1String(e.what), e.path, oneLine(e.detail));
  return out;
}

bool timelineRecording() { return gRecording; }

void recordEvent(const QWidget* widget, const char* what, const QString& detail) {
  if (!gRecording || gTimeline.size() >= size_t(kTimelineLimit)) return;
  gTimeline.push_back({nowNs(), what, pathOf(widget), detail});
}

void installTestProbe() {
  const QString target = qEnvironmentVariable("VARDEL_PROBE");
  if (target.isEmpty() || gSignalPipe[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) return;
  gRecording = true;
  QApplication::instance()->installEventFilter(new TimelineWatch(QApplication::instance()));
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, QApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, [target] {
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(gSignalPipe[0], &byte, 1);
    QFile::remove(target + QStringLiteral(".done"));
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(describeWidgets().toUtf8());
    if (file.commit()) QFile::rename(target, target + QStringLiteral(".done"));
  });
  struct sigaction action {};
  action.sa_handler = onSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGUSR1, &action, nullptr);
}

}  // namespace vardel::ui
