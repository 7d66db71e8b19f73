// The light viewer measured in process: LoadDocument to OnParseComplete, GetDocumentText, and
// Qt's own HTML import beside them, on generated articles of 200 KB and 2 MB; and what a
// document of deeply nested elements costs, refused by the viewer or parsed without it.
#include "bench/article_generator.h"
#include "controls/host/html_control.h"
#include "platform/control_registry.h"
#include "platform/html/html_nesting.h"
#include "platform/html/html_source.h"
#include "platform/html/html_text.h"
#include "ui/application.h"
#include "ui/events.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QTemporaryDir* folder = nullptr;

QString article(qsizetype bytes) {
  const QString path = folder->filePath(QStringLiteral("articulo-%1.html").arg(bytes));
  if (!QFile::exists(path)) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(vardel::bench::generateArticle(bytes));
  }
  return path;
}

// A viewer in the map's display area of a shown window; parked outside it when asked.
struct Viewer {
  explicit Viewer(bool parked) {
    window.resize(800, 600);
    viewer = new vardel::THTML(&window);
    viewer->setGeometry(140, parked ? 10000 : 0, 660, 600);
    viewer->OnParseComplete = [this](QObject*) { done = true; };
    window.show();
  }
  // LoadDocument until OnParseComplete, in milliseconds.
  double load(const QString& path) {
    done = false;
    QElapsedTimer timer;
    timer.start();
    viewer->LoadDocument(QStringLiteral("file:") + path);
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents);
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
  }
  // LoadDocument until the new document is laid out on screen, in milliseconds.
  double loadAndShow(const QString& path) {
    auto* browser = viewer->findChild<QTextBrowser*>();
    const QTextDocument* before = browser->document();
    QElapsedTimer timer;
    timer.start();
    viewer->LoadDocument(QStringLiteral("file:") + path);
    while (browser->document() == before) QCoreApplication::processEvents(QEventLoop::AllEvents);
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
  }
  QWidget window;
  vardel::THTML* viewer;
  bool done = false;
};

void LoadToParseComplete(benchmark::State& state, bool parked) {
  Viewer viewer(parked);
  const QString path = article(state.range(0));
  for (auto _ : state) state.SetIterationTime(viewer.load(path) / 1e3);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
void BM_LoadToParseComplete_Shown(benchmark::State& state) { LoadToParseComplete(state, false); }
void BM_LoadToParseComplete_Parked(benchmark::State& state) { LoadToParseComplete(state, true); }
BENCHMARK(BM_LoadToParseComplete_Shown)->Arg(200 << 10)->Arg(2 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadToParseComplete_Parked)->Arg(200 << 10)->Arg(2 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

// Until the document is on screen: parse, then Qt's layout of it.
void BM_LoadToDisplayed(benchmark::State& state) {
  Viewer viewer(false);
  const QString path = article(state.range(0));
  for (auto _ : state) state.SetIterationTime(viewer.loadAndShow(path) / 1e3);
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadToDisplayed)->Arg(200 << 10)->Arg(2 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

// GetDocumentText right after LoadDocument: reading, decoding and the text, as the editor asks.
void BM_GetDocumentText(benchmark::State& state) {
  Viewer viewer(true);
  const QString url = QStringLiteral("file:") + article(state.range(0));
  for (auto _ : state) {
    viewer.viewer->LoadDocument(url);  // a fresh request: nothing cached
    benchmark::DoNotOptimize(viewer.viewer->GetDocumentText(0, 0));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  QCoreApplication::processEvents();
}
BENCHMARK(BM_GetDocumentText)->Arg(200 << 10)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

// The text path alone, on bytes in memory.
void BM_HtmlToText(benchmark::State& state) {
  QFile file(article(state.range(0)));
  file.open(QIODevice::ReadOnly);
  const QByteArray bytes = file.readAll();
  for (auto _ : state)
    benchmark::DoNotOptimize(vardel::platform::html::htmlToText(vardel::platform::html::decodeHtml(bytes).text));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HtmlToText)->Arg(200 << 10)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

// `depth` nested elements around one word: <div> (Arg 0), <b> (1), <ul><li> (2).
QString nested(int depth, int kind) {
  const char* const open[] = {"<div>", "<b>", "<ul><li>"};
  const QString path = folder->filePath(QStringLiteral("anidado-%1-%2.html").arg(kind).arg(depth));
  if (!QFile::exists(path)) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("<html><body>" + QByteArray(open[kind]).repeated(kind == 2 ? depth / 2 : depth) + "fondo</body></html>");
  }
  return path;
}

// LoadDocument of 100,000 nested elements: read, decoded, estimated and refused at once.
void BM_LoadRefusedNested(benchmark::State& state) {
  Viewer viewer(false);
  const QString url =
      QStringLiteral("file:") + nested(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    try {
      viewer.viewer->LoadDocument(url);
      state.SkipWithError("accepted");
      break;
    } catch (const vardel::ui::Error&) {
    }
  }
}
BENCHMARK(BM_LoadRefusedNested)->Args({100000, 0})->Args({100000, 1})->Args({100000, 2})->Unit(benchmark::kMillisecond);

// The estimate alone on an article: what every load pays for it.
void BM_NestingDepth(benchmark::State& state) {
  QFile file(article(state.range(0)));
  file.open(QIODevice::ReadOnly);
  const QString html = vardel::platform::html::decodeHtml(file.readAll()).text;
  for (auto _ : state) benchmark::DoNotOptimize(vardel::platform::html::nestingDepth(html));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NestingDepth)->Arg(200 << 10)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

// Without the check: the text's parser and Qt's on nested <div>, whose cost grows with the
// square of the depth and more (100,000: tens of seconds and minutes).
void BM_ParseNestedText(benchmark::State& state) {
  QFile file(nested(static_cast<int>(state.range(0)), 0));
  file.open(QIODevice::ReadOnly);
  const QString html = vardel::platform::html::decodeHtml(file.readAll()).text;
  for (auto _ : state) benchmark::DoNotOptimize(vardel::platform::html::htmlToText(html));
}
BENCHMARK(BM_ParseNestedText)->Arg(512)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond);
void BM_ParseNestedQt(benchmark::State& state) {
  QFile file(nested(static_cast<int>(state.range(0)), 0));
  file.open(QIODevice::ReadOnly);
  const QString html = vardel::platform::html::decodeHtml(file.readAll()).text;
  for (auto _ : state) {
    QTextDocument document;
    document.setHtml(html);
    benchmark::DoNotOptimize(document.toPlainText());
  }
}
BENCHMARK(BM_ParseNestedQt)->Arg(512)->Arg(4000)->Unit(benchmark::kMillisecond);

// The same measurements on a given article (html_viewer_bench --article=PATH).
void registerArticle(const QString& path) {
  const QByteArray name = QFileInfo(path).fileName().toUtf8();
  benchmark::RegisterBenchmark(("LoadToParseComplete_Shown/" + name).constData(),
                               [path](benchmark::State& state) {
                                 Viewer viewer(false);
                                 for (auto _ : state) state.SetIterationTime(viewer.load(path) / 1e3);
                               })
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(("LoadToDisplayed/" + name).constData(),
                               [path](benchmark::State& state) {
                                 Viewer viewer(false);
                                 for (auto _ : state) state.SetIterationTime(viewer.loadAndShow(path) / 1e3);
                               })
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(("GetDocumentText/" + name).constData(), [path](benchmark::State& state) {
    Viewer viewer(true);
    for (auto _ : state) {
      viewer.viewer->LoadDocument(QStringLiteral("file:") + path);
      benchmark::DoNotOptimize(viewer.viewer->GetDocumentText(0, 0));
    }
    QCoreApplication::processEvents();
  })->Unit(benchmark::kMillisecond);
}

// Qt's own HTML import to plain text, the alternative that was not chosen.
void BM_QtImportToText(benchmark::State& state) {
  QFile file(article(state.range(0)));
  file.open(QIODevice::ReadOnly);
  const QString html = vardel::platform::html::decodeHtml(file.readAll()).text;
  for (auto _ : state) {
    QTextDocument document;
    document.setHtml(html);
    benchmark::DoNotOptimize(document.toPlainText());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_QtImportToText)->Arg(200 << 10)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir data, articles;
  folder = &articles;
  qputenv("XDG_DATA_HOME", data.path().toUtf8());
  QApplication app(argc, argv);
  vardel::ui::Application application;
  if (!vardel::platform::registerControl(QLatin1String(vardel::platform::kHtmlViewerClassId),
                                         QStringLiteral(VARDEL_PROGRAM_DIR "html.ocx")))
    return 1;
  for (int i = 1; i < argc; ++i) {
    if (QByteArray(argv[i]).startsWith("--article="))
      registerArticle(QFileInfo(QString::fromLocal8Bit(argv[i] + 10)).absoluteFilePath());
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
