// Navigation timings of the magazine, measured inside the program on a real X display
// (bench/magazine_bench.sh starts one and runs the measurements side by side):
//   magazine_bench city-click <ondravia|ondravia-basic> <rounds> <city>...
//     from a click on each city to its article painted in the display, in ms.
//   magazine_bench visits <ondravia|ondravia-basic> <visits> <city>...
//     resident memory over that many city visits (the cities in turn, each shown, then the
//     small map clicked back), every 30 visits, and its growth after the first 30.
//   magazine_bench editors <ondravia|ondravia-basic> <openings> <city>
//     the same over editors opened on the city's article and closed.
#include "controls/host/html_control.h"
#include "controls/host/web_browser.h"
#include "editor/editor_form.h"
#include "platform/paths.h"
#include "platform/richedit/richedit.h"
#include "shell/globals.h"
#include "shell/mapa_form.h"
#include "shell/presenta_form.h"
#include "shell/startup.h"
#include "ui/application.h"
#include "ui/stage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

#include <unistd.h>

using namespace vardel;

namespace {

// Calls `done` once the first paint of any widget for which `watched` answers true has been
// flushed to the screen, which is when that paint returns to the event loop. An event of high
// priority is delivered there before what the program queued earlier to do after its frame
// (the check of the control under the pointer, the rest of a long page). `turned` is called at
// the event loop's next turn after that paint, once that queued work is done as well.
class PaintWatch : public QObject {
 public:
  PaintWatch(std::function<bool(QWidget*)> watched, std::function<void()> done, std::function<void()> turned)
      : watched_(std::move(watched)), done_(std::move(done)), turned_(std::move(turned)) {
    QApplication::instance()->installEventFilter(this);
  }
  bool eventFilter(QObject* object, QEvent* event) override {
    if (!fired_ && event->type() == QEvent::Paint && object->isWidgetType() &&
        watched_(static_cast<QWidget*>(object))) {
      fired_ = true;
      QCoreApplication::postEvent(this, new QEvent(kFlushed), Qt::HighEventPriority);
      QTimer::singleShot(0, this, [this] { turned_(); });
    }
    return false;
  }
  bool event(QEvent* event) override {
    if (event->type() != kFlushed) return QObject::event(event);
    done_();
    return true;
  }

 private:
  static constexpr QEvent::Type kFlushed = QEvent::User;
  std::function<bool(QWidget*)> watched_;
  std::function<void()> done_;
  std::function<void()> turned_;
  bool fired_ = false;
};

bool inside(QWidget* w, QWidget* ancestor) {
  for (; w; w = w->parentWidget()) {
    if (w == ancestor) return true;
  }
  return false;
}

void waitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Notices the end of a page load in the browser engine's view, which this program reaches
// only as a plain QObject (the engine lives in the control library).
class LoadWatch : public QObject {
  Q_OBJECT
 public:
  bool finished = false;
  std::function<void()> stop;
 public slots:
  void loadFinished(bool) {
    finished = true;
    if (stop) stop();
  }
};

TfrmMapa* openMap(Variant variant, QObject*& view);

int cityClick(Variant variant, int rounds, const std::vector<int>& cities) {
  QObject* view = nullptr;
  TfrmMapa* map = openMap(variant, view);
  if (!map) return 1;
  for (int round = 0; round < rounds; ++round) {
    for (const int n : cities) {
      TShape2* city = n == 1 ? map->c1 : map->cN[size_t(n)];
      if (!city) continue;
      // Read when the watched moment comes, not when the waiting loop next looks: work the
      // program queues after its frame must not count.
      QElapsedTimer clock;
      double ms = -1;
      const auto stop = [&] { ms = double(clock.nsecsElapsed()) / 1e6; };
      double turnMs = -1;
      bool painted = false;
      std::unique_ptr<PaintWatch> paints;
      LoadWatch load;
      const ui::NotifyEvent previous = map->w->OnParseComplete;
      if (view) {
        // The engine reports the end of the load once the page is laid out; its frame follows.
        QObject::connect(view, SIGNAL(loadFinished(bool)), &load, SLOT(loadFinished(bool)));
      } else {
        map->w->OnParseComplete = [&](QObject*) {
          paints = std::make_unique<PaintWatch>([&](QWidget* w) { return inside(w, map->w); }, [&] { stop(); },
                                                [&] {
                                                  painted = true;
                                                  turnMs = double(clock.nsecsElapsed()) / 1e6;
                                                });
        };
      }
      load.stop = stop;
      clock.start();
      QTest::mouseClick(city, Qt::LeftButton, {}, QPoint(city->width() / 2, city->height() / 2));
      waitFor([&] { return view ? load.finished : painted; }, 10000);
      if (ms < 0) stop();  // timed out
      map->w->OnParseComplete = previous;
      std::printf("city %d %s %.1f ms", n, qPrintable(city->Cadena), ms);
      if (turnMs >= 0) std::printf(" %.1f ms at the loop's next turn", turnMs);
      std::printf("\n");
      std::fflush(stdout);
      QTest::mouseClick(map->imgMapita, Qt::LeftButton, {}, QPoint(5, 5));
      waitFor([] { return false; }, 300);
    }
  }
  return 0;
}

// Resident memory of a process, in kB; 0 when it is gone.
qint64 residentKb(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
  }
  return 0;
}

// This process's resident memory with that of every process it started (the browser engine's
// helpers), in MB.
double residentMb() {
  QList<qint64> family{qint64(getpid())};
  const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
  for (qsizetype i = 0; i < family.size(); ++i) {
    for (const QString& entry : entries) {
      bool number = false;
      const qint64 pid = entry.toLongLong(&number);
      if (!number || family.contains(pid)) continue;
      QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
      if (!stat.open(QIODevice::ReadOnly)) continue;
      const QByteArray text = stat.readAll();
      const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
      if (fields.value(1).toLongLong() == family[i]) family << pid;
    }
  }
  qint64 kb = 0;
  for (const qint64 pid : family) kb += residentKb(pid);
  return double(kb) / 1024.0;
}

// The map straight after its cover, as a click on the cover leaves it; null when the magazine
// cannot start.
TfrmMapa* openMap(Variant variant, QObject*& view) {
  if (!prepareMagazine(variant)) return nullptr;
  TfrmMapa* map = frmMapa;
  frmPresenta->tmControl->setEnabled(false);  // it would hide the map for the opening
  frmPresenta->tmTexto->setEnabled(false);
  frmPresenta->close();
  map->show();
  map->move(0, 0);
  ui::Application::instance().setCursor(ui::Cursor::crDefault);
  waitFor([] { return false; }, 1500);
  if (!map->isVisible()) return nullptr;
  view = nullptr;
  if (map->wIE4) {
    map->startBrowser();
    for (QObject* child : map->wIE4->findChildren<QObject*>()) {
      if (child->inherits("QWebEngineView")) view = child;
    }
    if (!view) return nullptr;
  }
  return map;
}

// A click on city `n`, back once its article is shown (loaded in the browser, painted in the
// light viewer); false when it is not shown within 20 s.
bool visit(TfrmMapa* map, QObject* view, int n) {
  TShape2* city = n == 1 ? map->c1 : map->cN[size_t(n)];
  if (!city) return false;
  LoadWatch load;
  int parsed = 0;
  const ui::NotifyEvent previous = map->w->OnParseComplete;
  if (view) {
    QObject::connect(view, SIGNAL(loadFinished(bool)), &load, SLOT(loadFinished(bool)));
  } else {
    map->w->OnParseComplete = [&](QObject*) { ++parsed; };
  }
  QTest::mouseClick(city, Qt::LeftButton, {}, QPoint(city->width() / 2, city->height() / 2));
  waitFor([&] { return view ? load.finished : parsed > 0; }, 20000);
  // Two more turns: the light viewer lays its document out and paints on the ones after.
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  map->w->OnParseComplete = previous;
  const bool shown = view ? load.finished : parsed > 0;
  QTest::mouseClick(map->imgMapita, Qt::LeftButton, {}, QPoint(5, 5));
  waitFor([&] { return map->nivel() == 1; }, 5000);
  return shown;
}

void report(int done, double mb, double& warm) {
  if (done == 30) warm = mb;
  if (warm > 0) {
    std::printf("%d %.1f MB (%+.1f MB after 30)\n", done, mb, mb - warm);
  } else {
    std::printf("%d %.1f MB\n", done, mb);
  }
  std::fflush(stdout);
}

int visits(Variant variant, int count, const std::vector<int>& cities) {
  QObject* view = nullptr;
  TfrmMapa* map = openMap(variant, view);
  if (!map || cities.empty()) return 1;
  double warm = 0;
  report(0, residentMb(), warm);
  for (int done = 1; done <= count; ++done) {
    if (!visit(map, view, cities[size_t(done - 1) % cities.size()])) {
      std::fprintf(stderr, "visit %d: the article was not shown\n", done);
      return 1;
    }
    if (done % 30 == 0 || done == count) report(done, residentMb(), warm);
  }
  return 0;
}

// Editors opened on the article of `city` and closed, `count` times.
int editors(Variant variant, int count, int city) {
  QObject* view = nullptr;
  TfrmMapa* map = openMap(variant, view);
  if (!map || !visit(map, view, city)) return 1;
  TShape2* shape = city == 1 ? map->c1 : map->cN[size_t(city)];
  QTest::mouseClick(shape, Qt::LeftButton, {}, QPoint(shape->width() / 2, shape->height() / 2));
  waitFor([&] { return map->nivel() == 2; }, 5000);
  waitFor([] { return false; }, 500);
  double warm = 0;
  report(0, residentMb(), warm);
  for (int done = 1; done <= count; ++done) {
    map->Shape21MouseUp(map->Shape21, ui::MouseButton::mbLeft, {}, 2, 2);
    QPointer<TfrmEditor> editor = frmEditor.data();
    waitFor([&] { return editor && editor->isVisible(); }, 20000);
    if (!editor) {
      std::fprintf(stderr, "opening %d: no editor\n", done);
      return 1;
    }
    waitFor([] { return false; }, 50);   // the import of the article
    editor->Editor->setModified(false);  // closed without the question about saving
    editor->close();
    waitFor([&] { return editor.isNull(); }, 5000);
    if (done % 30 == 0 || done == count) report(done, residentMb(), warm);
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: magazine_bench city-click|visits|editors <ondravia|ondravia-basic> <count> <city>...\n");
    return 2;
  }
  const QByteArray mode = argv[1];
  const Variant variant = QByteArray(argv[2]) == "ondravia" ? Variant::WebBrowser : Variant::Basic;
  // On a display larger than 800x600 the magazine runs on its stage, scaled to fit, as the
  // programs do.
  const bool staged = ui::prepareStage();
  QApplication qtApplication(argc, argv);
  ui::Application application;
  std::unique_ptr<ui::Stage> stage;
  if (staged) stage = std::make_unique<ui::Stage>();
  // A changed copy of the program folder may stand in for it (bench/memory_bench.sh).
  platform::overrideProgramFolder(qEnvironmentVariable("VARDEL_BENCH_FOLDER", QStringLiteral(VARDEL_PROGRAM_DIR)));
  if (mode == "city-click" && argc >= 5) {
    std::vector<int> cities;
    for (int i = 4; i < argc; ++i) cities.push_back(QByteArray(argv[i]).toInt());
    return cityClick(variant, QByteArray(argv[3]).toInt(), cities);
  }
  if (mode == "visits" && argc >= 5) {
    std::vector<int> cities;
    for (int i = 4; i < argc; ++i) cities.push_back(QByteArray(argv[i]).toInt());
    return visits(variant, QByteArray(argv[3]).toInt(), cities);
  }
  if (mode == "editors" && argc == 5) return editors(variant, QByteArray(argv[3]).toInt(), QByteArray(argv[4]).toInt());
  std::fprintf(stderr, "bad arguments\n");
  return 2;
}

#include "magazine_bench.moc"
