// The editor window measured in process: the import from the viewer's parse-complete event to
// the text painted (the demo almanac, and a 2 MB article beside QTextEdit::setPlainText of the
// same text), and a selection change with the ruler and the tool bar refreshed in a 1 MB
// document (about a million characters).
#include "bench/article_generator.h"
#include "controls/host/html_control.h"
#include "editor/editor_form.h"
#include "editor/editor_host.h"
#include "platform/control_registry.h"
#include "platform/paths.h"
#include "platform/richedit/richedit.h"
#include "ui/application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

using namespace vardel;

QTemporaryDir* folder = nullptr;

double msSince(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

// The map's side, timing its parse-complete handler: the import and the paint that follows.
class Host : public EditorHost {
 public:
  explicit Host(ui::Form& map) {
    w = new THTML(map.client());
    w->setGeometry(50, 10000, 660, 600);
    w->show();
    w->OnParseComplete = [this](QObject*) {
      if (!editor) return;
      // With the text in hand the viewer's conversion is done before the clock starts.
      if (textInHand) w->GetDocumentText(0, 0);
      QElapsedTimer timer;
      timer.start();
      editor->ImportDisplayedDocument();
      editor->Editor->viewport()->repaint();
      importMs = msSince(timer);
    };
  }
  THTML* htmlViewer() override { return w; }
  QString displayedAddress() override { return address; }
  bool browserBuild() override { return true; }
  bool contentFolderIsOwn() override { return true; }

  THTML* w;
  QString address;
  QPointer<TfrmEditor> editor;
  bool textInHand = false;
  double importMs = -1;
};

// A new editor over `path`; the time of its import, to the text painted.
double importArticle(const QString& path, bool textInHand = false) {
  ui::Form map;
  map.setBounds(0, 0, 800, 600);
  Host host(map);
  host.textInHand = textInHand;
  host.address = QStringLiteral("file://") + path;
  host.editor = new TfrmEditor(&map, host);
  while (host.importMs < 0) QCoreApplication::processEvents(QEventLoop::AllEvents);
  host.editor->Editor->setModified(false);
  delete host.editor;
  return host.importMs;
}

QString demoArticle(const char* name) { return QStringLiteral(VARDEL_PROGRAM_DIR "Ficheros/") + QLatin1String(name); }

QString generated(qsizetype bytes) {
  const QString path = folder->filePath(QStringLiteral("articulo-%1.html").arg(bytes));
  if (!QFile::exists(path)) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bench::generateArticle(bytes));
  }
  return path;
}

void BM_ImportToPainted_Almanac(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(importArticle(demoArticle("almanaque.html")) / 1e3);
}
BENCHMARK(BM_ImportToPainted_Almanac)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_ImportToPainted_2MB(benchmark::State& state) {
  const QString path = generated(2 << 20);
  for (auto _ : state) state.SetIterationTime(importArticle(path) / 1e3);
}
BENCHMARK(BM_ImportToPainted_2MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The viewer's text of the 2 MB article, as the import receives it.
QString articleText() {
  static QString text;
  if (text.isEmpty()) {
    QWidget parent;
    THTML w(&parent);
    bool parsed = false;
    w.OnParseComplete = [&](QObject*) { parsed = true; };
    w.LoadDocument(QStringLiteral("file:") + generated(2 << 20));
    while (!parsed) QCoreApplication::processEvents();
    text = w.GetDocumentText(0, 0);
  }
  return text;
}

// The editor's side alone: the same, with the viewer's text already made.
void BM_ImportToPainted_2MB_TextInHand(benchmark::State& state) {
  const QString path = generated(2 << 20);
  for (auto _ : state) state.SetIterationTime(importArticle(path, true) / 1e3);
}
BENCHMARK(BM_ImportToPainted_2MB_TextInHand)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The reference: Qt's own plain-text control given the same text at once.
void BM_SetPlainTextToPainted_2MB(benchmark::State& state) {
  const QString text = articleText();
  QTextEdit edit;
  edit.resize(800, 498);
  edit.show();
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    edit.setPlainText(text);
    edit.viewport()->repaint();
    state.SetIterationTime(msSince(timer) / 1e3);
  }
}
BENCHMARK(BM_SetPlainTextToPainted_2MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A 1 MB document with a change of format every few words: sizes, styles, fonts, colours, and
// paragraphs of every alignment, indent and bullets.
QByteArray formattedRtf(qsizetype bytes) {
  QByteArray rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}{\\f2 Courier New;}}"
      "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green120\\blue0;\\red0\\green0\\blue160;}\n";
  const char* words[] = {"isla", "faro", "puerto", "mareas", "Ondravia", "lunas", "castaño", "Vardel"};
  QRandomGenerator random(7);
  int paragraph = 0;
  while (rtf.size() < bytes) {
    rtf += "\\pard";
    rtf += QByteArray("\\fi") + QByteArray::number(int(random.bounded(0, 720))) + "\\li" +
           QByteArray::number(int(random.bounded(0, 1440))) + "\\ri" + QByteArray::number(int(random.bounded(0, 720)));
    rtf += paragraph % 3 == 0 ? "\\qc" : paragraph % 3 == 1 ? "\\ql" : "\\qr";
    if (paragraph % 5 == 0) rtf += "{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}";
    for (int w = 0; w < 60; ++w) {
      if (w % 4 == 0) {
        rtf += "\\plain\\f" + QByteArray::number(int(random.bounded(3))) + "\\fs" +
               QByteArray::number(16 + 2 * int(random.bounded(8))) + "\\cf" +
               QByteArray::number(int(random.bounded(4)));
        if (random.bounded(2)) rtf += "\\b";
        if (random.bounded(3) == 0) rtf += "\\i";
        if (random.bounded(4) == 0) rtf += "\\ul";
        rtf += ' ';
      }
      rtf += words[random.bounded(8)];
      rtf += ' ';
    }
    rtf += "\\par\n";
    ++paragraph;
  }
  return rtf + "}";
}

// Moves the caret to random places of a 1 MB document, `refreshOnly` timing the refresh of the
// ruler, the tool bar and the caret panel alone (then painting the ruler and the tool bar),
// else the whole selection change as the control makes it (scrolling to the caret included).
void selectionChanges(benchmark::State& state, bool refreshOnly, bool laidOut = true) {
  ui::Form map;
  map.setBounds(0, 0, 800, 600);
  Host host(map);
  auto* editor = new TfrmEditor(&map, host);
  // A million characters of text (the rich text of it is about twice as large).
  editor->Editor->loadFromBytes(formattedRtf(2 << 20));
  const int length = editor->Editor->document()->characterCount() - 1;
  if (laidOut) {
    // The whole text laid out first, as it is once the control has been idle for a moment.
    editor->Editor->setSelStart(length);
    editor->Editor->setSelStart(0);
  }
  QRandomGenerator random(11);
  std::vector<double> times;
  for (auto _ : state) {
    const int at = int(random.bounded(length));
    QElapsedTimer timer;
    if (refreshOnly) {
      QSignalBlocker quiet(editor->Editor);
      editor->Editor->setSelStart(at);
      timer.start();
      editor->SelectionChange(editor->Editor);
    } else {
      timer.start();
      editor->Editor->setSelStart(at);
    }
    editor->Ruler->repaint();
    editor->ToolBar->repaint();
    editor->StatusBar->repaint();
    const double ms = msSince(timer);
    times.push_back(ms);
    state.SetIterationTime(ms / 1e3);
  }
  std::sort(times.begin(), times.end());
  state.counters["median_ms"] = times.empty() ? 0 : times[times.size() / 2];
  state.counters["p99_ms"] = times.empty() ? 0 : times[size_t(double(times.size() - 1) * 0.99)];
  state.counters["max_ms"] = times.empty() ? 0 : times.back();
  state.counters["chars"] = length;
  editor->Editor->setModified(false);
  delete editor;
}
void BM_SelectionChange_1MB(benchmark::State& state) { selectionChanges(state, false); }
void BM_SelectionChange_1MB_JustLoaded(benchmark::State& state) { selectionChanges(state, false, false); }
void BM_SelectionRefresh_1MB(benchmark::State& state) { selectionChanges(state, true); }
BENCHMARK(BM_SelectionChange_1MB)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(500);
BENCHMARK(BM_SelectionChange_1MB_JustLoaded)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(500);
BENCHMARK(BM_SelectionRefresh_1MB)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(500);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir data, articles;
  folder = &articles;
  qputenv("XDG_DATA_HOME", data.path().toUtf8());
  QApplication app(argc, argv);
  vardel::ui::Application application;
  application.setTitle(QStringLiteral("VARDEL"));
  vardel::platform::overrideProgramFolder(articles.path());
  if (!vardel::platform::registerControl(QLatin1String(vardel::platform::kHtmlViewerClassId),
                                         QStringLiteral(VARDEL_PROGRAM_DIR "html.ocx")))
    return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
