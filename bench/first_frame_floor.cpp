// The floors the magazine's first frame is measured against: the least a Qt program can do to
// put an 800x600 window on the screen, and the same window holding a browser engine view.
//   first_frame_floor [web]
// Prints "first-frame <ns since the epoch>" at the first paint of the window and ends; the
// caller subtracts its own launch time (bench/magazine_bench.sh).
#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

#ifdef VARDEL_FLOOR_WEB
#include <QWebEngineView>

#include <unistd.h>
#endif

namespace {

class FirstPaint : public QObject {
 public:
  explicit FirstPaint(QWidget* window) : window_(window) { QApplication::instance()->installEventFilter(this); }
  bool eventFilter(QObject* object, QEvent* event) override {
    if (!done_ && event->type() == QEvent::Paint && object->isWidgetType() &&
        static_cast<QWidget*>(object)->window() == window_) {
      done_ = true;
      const auto ns =
          std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
              .count();
      std::printf("first-frame %lld\n", static_cast<long long>(ns));
      std::fflush(stdout);
      // Ends once the frame has been flushed to the screen.
      QTimer::singleShot(0, [] { QApplication::exit(0); });
    }
    return false;
  }

 private:
  QWidget* window_;
  bool done_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
#ifdef VARDEL_FLOOR_WEB
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // As the program does: the engine's sandbox cannot run as root.
  if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowFlag(Qt::FramelessWindowHint);
  window.setGeometry(0, 0, 800, 600);
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, Qt::white);
  window.setPalette(palette);
#ifdef VARDEL_FLOOR_WEB
  auto* view = new QWebEngineView(&window);
  view->setGeometry(140, 0, 660, 600);
#endif
  FirstPaint watch(&window);
  window.show();
  return QApplication::exec();
}
