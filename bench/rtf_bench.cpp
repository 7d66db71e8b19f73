// The rich-text control with a generated 1 MB RTF: reading it beside `unrtf --text` and
// `pandoc -f rtf -t plain` (and showing it, measured apart), writing it back, and a key press
// into it until its repaint; and 1 MB of formatting runs in one paragraph read beside
// `unrtf --text`, and shown.
#include "bench/qt_benchmark_main.h"
#include "platform/richedit/richedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <random>
#include <utility>

namespace {

using vardel::platform::TRichEdit;

// About 1 MB of RTF as an office program writes it: four fonts, five colours, three sizes,
// bold, italic and underline switching every few words, accented words as \'hh, and a bullet
// paragraph in every five.
QByteArray generateRtf(qsizetype bytes) {
  static const char* const kWords[] = {"ondravia", "isla",       "mapa",       "revista",     "ciudad",
                                       "puerto",   "viaje",      "m\\'fasica", "canci\\'f3n", "a\\'f1o",
                                       "editor",   "texto",      "carta",      "monta\\'f1a", "r\\'edo",
                                       "lector",   "p\\'e1gina", "noche",      "sol"};
  std::mt19937 random(1999);
  QByteArray rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times "
      "New Roman;}{\\f2\\fmodern\\fcharset0 Courier New;}{\\f3\\fnil\\fcharset2 Symbol;}{\\f4\\fswiss\\fcharset0 "
      "Verdana;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;\\red0\\green0\\blue255;\\red128"
      "\\green0\\blue128;}{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid1}}"
      "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\\viewkind4\\uc1\r\n";
  static const int kFonts[] = {0, 1, 2, 4};
  static const int kSizes[] = {20, 24, 28};
  int paragraph = 0;
  while (rtf.size() < bytes) {
    const bool bullet = paragraph++ % 5 == 4;
    rtf += "\\pard";
    if (bullet)
      rtf += "{\\pntext\\f3\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf3\\pnindent200{\\pntxtb\\'b7}}\\ls1\\fi-200\\li200";
    rtf += " ";
    const int words = 40 + int(random() % 40);
    for (int w = 0; w < words; ++w) {
      if (w % (3 + random() % 4) == 0) {
        rtf += "\\f" + QByteArray::number(kFonts[random() % 4]) + "\\fs" + QByteArray::number(kSizes[random() % 3]) +
               "\\cf" + QByteArray::number(int(random() % 6)) + ((random() & 1) ? "\\b" : "\\b0") +
               ((random() & 1) ? "\\i" : "\\i0") + ((random() % 4 == 0) ? "\\ul" : "\\ulnone") + " ";
      }
      rtf += kWords[random() % (sizeof(kWords) / sizeof(kWords[0]))];
      rtf += ' ';
    }
    rtf += "\\par\r\n";
  }
  rtf += "}";
  return rtf;
}

// The generated file stays beside the benchmark, for comparisons by hand.
struct Fixture {
  QTemporaryDir dir;
  QString input;
  Fixture() {
    input = QStringLiteral(VARDEL_BENCH_DIR "/rtf_bench_1mb.rtf");
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly) || file.write(generateRtf(1 << 20)) <= 0) std::abort();
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

double seconds(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e9; }

// User and system time of this process or of its finished children. The machine is shared,
// so wall time is reported beside CPU time.
double cpuSeconds(int who = RUSAGE_SELF) {
  rusage usage{};
  getrusage(who, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Times {
  double wall = 0, cpu = 0;
  void operator+=(const Times& o) {
    wall += o.wall;
    cpu += o.cpu;
  }
};

// A whole process's wall and CPU time, its output thrown away; aborts when it cannot run.
Times runProcess(const QString& program, const QStringList& arguments) {
  if (QStandardPaths::findExecutable(program).isEmpty()) {
    std::fprintf(stderr, "rtf_bench: %s is not installed\n", qPrintable(program));
    std::abort();
  }
  QProcess p;
  p.setStandardOutputFile(QProcess::nullDevice());
  p.setStandardErrorFile(QProcess::nullDevice());
  const double cpu = cpuSeconds(RUSAGE_CHILDREN);
  QElapsedTimer t;
  t.start();
  p.start(program, arguments);
  if (!p.waitForFinished(120000) || p.exitCode() != 0) std::abort();
  return {seconds(t), cpuSeconds(RUSAGE_CHILDREN) - cpu};
}

// Times of one step in this process.
class Stopwatch {
 public:
  Stopwatch() : cpu_(cpuSeconds()) { wall_.start(); }
  Times elapsed() const { return {seconds(wall_), cpuSeconds() - cpu_}; }

 private:
  QElapsedTimer wall_;
  double cpu_;
};

// Opening a file as the editor does, in its two steps, into a control that is shown: reading
// (the bytes into a document, with no layout) and showing (the document into the control, and
// its first paint, which lays out what is visible). Returns {reading, showing}.
std::pair<Times, Times> openInShownControl(TRichEdit& edit, const QString& input) {
  edit.clear();
  QCoreApplication::processEvents();
  Stopwatch reading;
  TRichEdit::ReadText text = edit.readFile(input);
  const Times read = reading.elapsed();
  Stopwatch showing;
  edit.showText(std::move(text));
  edit.viewport()->repaint();
  return {read, showing.elapsed()};
}

// Reading the file beside the two command-line readers on the same file, alternately; showing
// it is reported beside.
void BM_ReadVersusUnrtfAndPandoc(benchmark::State& state) {
  const QString input = fixture().input;
  Times ours, show, tool, unrtf, pandoc;
  TRichEdit edit;
  edit.resize(780, 500);
  edit.show();
  for (auto _ : state) {
    const auto [read, shown] = openInShownControl(edit, input);
    ours += read;
    show += shown;
    state.SetIterationTime(read.wall);
    tool += runProcess(QStringLiteral(VARDEL_BENCH_DIR "/rtf_tool"), {"text", input});
    unrtf += runProcess("unrtf", {"--text", input});
    pandoc += runProcess("pandoc", {"-f", "rtf", "-t", "plain", input});
  }
  const double n = double(state.iterations());
  auto report = [&](const char* name, const Times& times) {
    state.counters[std::string(name) + "_ms"] = 1000 * times.wall / n;
    state.counters[std::string(name) + "_cpu_ms"] = 1000 * times.cpu / n;
  };
  report("read", ours);
  report("show", show);
  report("rtf_tool", tool);
  report("unrtf", unrtf);
  report("pandoc", pandoc);
  // Reading in the control against each reader's whole run, the command-line tool's whole run
  // against theirs, and the whole opening (reading and showing) against unrtf.
  state.counters["read_vs_unrtf_cpu"] = ours.cpu / unrtf.cpu;
  state.counters["read_vs_pandoc_cpu"] = ours.cpu / pandoc.cpu;
  state.counters["read_vs_unrtf_wall"] = ours.wall / unrtf.wall;
  state.counters["open_vs_unrtf_wall"] = (ours.wall + show.wall) / unrtf.wall;
  state.counters["tool_vs_unrtf_wall"] = tool.wall / unrtf.wall;
  state.counters["tool_vs_pandoc_wall"] = tool.wall / pandoc.wall;
  state.counters["chars"] = edit.document()->characterCount();
}
BENCHMARK(BM_ReadVersusUnrtfAndPandoc)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// Writing the document back to a file, beside reading it.
void BM_WriteBackVersusRead(benchmark::State& state) {
  TRichEdit edit;
  const QString output = fixture().dir.filePath("copia.rtf");
  double write = 0, read = 0;
  qint64 size = 0;
  for (auto _ : state) {
    QElapsedTimer t;
    t.start();
    edit.loadFromFile(fixture().input);
    read += seconds(t);
    t.restart();
    edit.saveToFile(output);
    const double s = seconds(t);
    state.SetIterationTime(s);
    write += s;
    size = QFile(output).size();
  }
  const double n = double(state.iterations());
  state.counters["write_ms"] = 1000 * write / n;
  state.counters["read_ms"] = 1000 * read / n;
  state.counters["write_vs_read"] = write / read;
  state.counters["written_bytes"] = double(size);
}
BENCHMARK(BM_WriteBackVersusRead)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// About `bytes` of RTF in one paragraph of formatting runs of a letter each (bold, italic, a
// colour, a font in turn), written without blanks, as one word.
QByteArray generateRunsInOneParagraph(qsizetype bytes) {
  static const char* const kRuns[] = {"\\b u\\b0 ", "\\i d\\i0 ", "\\cf1 t\\cf0 ", "\\f1 c\\f0 "};
  QByteArray rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}{\\colortbl ;\\red255\\green0\\blue0;}"
      "\\pard ";
  for (int i = 0; rtf.size() < bytes; ++i) rtf += kRuns[i % 4];
  return rtf + "\\par}";
}

// 1 MB of formatting runs in one paragraph, alternately: a whole `rtf_tool text` run (which
// reads the file as the editor does, without showing it), a whole `unrtf --text` run, and the
// file read and shown in a control in this process; and half of it, whose time is half when
// reading is linear.
// The files of runs (1 MB and half of it), written once beside the benchmark.
struct RunsFiles {
  QString input = QStringLiteral(VARDEL_BENCH_DIR "/rtf_bench_runs_1mb.rtf");
  QString half = QStringLiteral(VARDEL_BENCH_DIR "/rtf_bench_runs_512kb.rtf");
  RunsFiles() {
    for (const auto& [path, bytes] : {std::pair{input, 1 << 20}, std::pair{half, 1 << 19}}) {
      QFile file(path);
      if (!file.open(QIODevice::WriteOnly) || file.write(generateRunsInOneParagraph(bytes)) <= 0) std::abort();
    }
  }
};

const RunsFiles& runsFiles() {
  static const RunsFiles files;
  return files;
}

void BM_RunsInOneParagraphVersusUnrtf(benchmark::State& state) {
  const QString& input = runsFiles().input;
  const QString& half = runsFiles().half;
  const QString tool = QStringLiteral(VARDEL_BENCH_DIR "/rtf_tool");
  TRichEdit edit;
  edit.resize(780, 500);
  edit.show();
  Times ours, ourHalf, unrtf, read, show;
  for (auto _ : state) {
    const Times t = runProcess(tool, {"text", input});
    state.SetIterationTime(t.wall);
    ours += t;
    ourHalf += runProcess(tool, {"text", half});
    unrtf += runProcess("unrtf", {"--text", input});
    const auto [reading, showing] = openInShownControl(edit, input);
    read += reading;
    show += showing;
  }
  const double n = double(state.iterations());
  state.counters["rtf_tool_ms"] = 1000 * ours.wall / n;
  state.counters["rtf_tool_half_ms"] = 1000 * ourHalf.wall / n;
  state.counters["unrtf_ms"] = 1000 * unrtf.wall / n;
  state.counters["read_ms"] = 1000 * read.wall / n;
  state.counters["show_ms"] = 1000 * show.wall / n;
  state.counters["rtf_tool_vs_unrtf_wall"] = ours.wall / unrtf.wall;
  state.counters["rtf_tool_vs_unrtf_cpu"] = ours.cpu / unrtf.cpu;
  state.counters["read_vs_unrtf_wall"] = read.wall / unrtf.wall;
  state.counters["show_vs_unrtf_wall"] = show.wall / unrtf.wall;
  state.counters["whole_vs_half_wall"] = ours.wall / ourHalf.wall;
}
BENCHMARK(BM_RunsInOneParagraphVersusUnrtf)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// One key press in the middle of a document until the control has repainted.
class PaintWatch : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) painted = true;
    return false;
  }
};

void keyPressToRepaint(benchmark::State& state, const QString& input) {
  TRichEdit edit;
  edit.resize(780, 500);
  edit.loadFromFile(input);
  edit.show();
  if (!QTest::qWaitForWindowExposed(&edit)) std::abort();
  edit.setFocus();
  edit.setSelStart(edit.document()->characterCount() / 2);
  edit.scrollCaretIntoView();
  QTest::qWait(200);
  PaintWatch watch;
  edit.viewport()->installEventFilter(&watch);
  double worst = 0;
  for (auto _ : state) {
    watch.painted = false;
    QElapsedTimer t;
    t.start();
    QTest::keyClick(&edit, Qt::Key_X);
    while (!watch.painted) QCoreApplication::processEvents(QEventLoop::AllEvents);
    const double s = seconds(t);
    state.SetIterationTime(s);
    worst = std::max(worst, s);
  }
  state.counters["worst_ms"] = 1000 * worst;
}
void BM_KeyPressToRepaintIn1MBDocument(benchmark::State& state) { keyPressToRepaint(state, fixture().input); }
BENCHMARK(BM_KeyPressToRepaintIn1MBDocument)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);

// The same in the middle of the paragraph of 1 MB of runs, which is laid out again on every key.
void BM_KeyPressToRepaintInRuns(benchmark::State& state) { keyPressToRepaint(state, runsFiles().input); }
BENCHMARK(BM_KeyPressToRepaintInRuns)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return vardel::bench::runWidgetBenchmarks(argc, argv); }
