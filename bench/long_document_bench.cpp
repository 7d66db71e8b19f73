// Long documents: Ctrl+End (all of the text laid out, the last line shown) in the rich-text
// control beside a plain QTextEdit with the same text, for documents of several shapes, with
// the control's estimate of their layout (layout_limit.h) beside the time; and how quickly a
// document beyond the limit is refused.
#include "bench/qt_benchmark_main.h"
#include "platform/richedit/layout_limit.h"
#include "platform/richedit/richedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

using vardel::platform::TRichEdit;

// Paragraphs of `length` letters in a font of `halfPoints`, as RTF.
QByteArray document(int paragraphs, int length, int halfPoints) {
  QByteArray rtf = "{\\rtf1\\fs" + QByteArray::number(halfPoints) + ' ';
  QByteArray word;
  for (int i = 0; i < length; ++i) word += (i % 7 == 6) ? ' ' : char('a' + i % 26);
  rtf.reserve(qsizetype(paragraphs) * (length + 6) + 32);
  for (int i = 0; i < paragraphs; ++i) rtf += word + "\\par ";
  return rtf + '}';
}

// Milliseconds from Ctrl+End until the control has handled it, on a shown control.
double ctrlEnd(QTextEdit& edit) {
  edit.resize(780, 500);
  edit.show();
  if (!QTest::qWaitForWindowExposed(&edit)) std::abort();
  edit.moveCursor(QTextCursor::Start);
  QElapsedTimer t;
  t.start();
  QTest::keyClick(&edit, Qt::Key_End, Qt::ControlModifier);
  return double(t.nsecsElapsed()) / 1e6;
}

// Arguments: paragraphs, letters each, half points.
void BM_CtrlEndBesideQTextEdit(benchmark::State& state) {
  const QByteArray rtf = document(int(state.range(0)), int(state.range(1)), int(state.range(2)));
  double ours = 0, plain = 0;
  vardel::platform::richtext::LayoutBudget budget;
  bool first = true;
  for (auto _ : state) {
    TRichEdit edit;
    edit.loadFromBytes(rtf);
    const double ms = ctrlEnd(edit);
    state.SetIterationTime(ms / 1000);
    ours += ms;
    if (first) vardel::platform::richtext::addDocument(budget, *edit.document());
    first = false;
    // The same text and fonts in a plain QTextEdit.
    QTextEdit reference;
    reference.setDocument(edit.document()->clone(&reference));
    plain += ctrlEnd(reference);
  }
  const double n = double(state.iterations());
  state.counters["ctrl_end_ms"] = ours / n;
  state.counters["qtextedit_ms"] = plain / n;
  state.counters["estimate_lines"] = budget.lines();
  state.counters["ms_per_10k_lines"] = ours / n / budget.lines() * 10000;
}
BENCHMARK(BM_CtrlEndBesideQTextEdit)
    ->Args({100000, 1, 24})
    ->Args({140000, 1, 24})
    ->Args({28000, 80, 24})
    ->Args({6500, 400, 24})
    ->Args({1, 100000, 24})
    ->Args({2800, 1, 3276})
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// A text beyond the limit (500,000 short lines, the RTF of 2 million \par) is refused in the
// time it takes to read up to the limit, beside reading a document just inside it.
void BM_RefusalBesideReadingAtTheLimit(benchmark::State& state) {
  const QByteArray lines = QByteArray("a\n").repeated(500000);
  const QByteArray pars = "{\\rtf1 " + QByteArray("\\par ").repeated(2000000) + "}";
  const QByteArray inside = document(140000, 1, 24);
  double refuseLines = 0, refusePars = 0, read = 0;
  for (auto _ : state) {
    TRichEdit edit;
    QElapsedTimer t;
    t.start();
    try {
      edit.loadFromBytes(lines);
    } catch (const std::exception&) {
    }
    refuseLines += double(t.nsecsElapsed()) / 1e6;
    t.restart();
    try {
      edit.loadFromBytes(pars);
    } catch (const std::exception&) {
    }
    refusePars += double(t.nsecsElapsed()) / 1e6;
    t.restart();
    edit.loadFromBytes(inside);
    read += double(t.nsecsElapsed()) / 1e6;
    state.SetIterationTime(refuseLines / 1000);
  }
  const double n = double(state.iterations());
  state.counters["refuse_500k_lines_ms"] = refuseLines / n;
  state.counters["refuse_2M_par_ms"] = refusePars / n;
  state.counters["read_140k_pars_ms"] = read / n;
}
BENCHMARK(BM_RefusalBesideReadingAtTheLimit)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return vardel::bench::runWidgetBenchmarks(argc, argv); }
