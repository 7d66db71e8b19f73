// The main of a benchmark of widgets: Qt's offscreen screen when no display was chosen, then
// every registered benchmark.
#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

namespace vardel::bench {

inline int runWidgetBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace vardel::bench
