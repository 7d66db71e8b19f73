// Command line of the content generator: vardel_content_gen --source DIR --out DIR [--expect FILE]
#include "content/generator/generator.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
  // Fonts and painting need a GUI application, never a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Build machines often run without a session; a private runtime folder keeps the toolkit
  // from warning about it in every build log.
  QTemporaryDir runtime;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  QGuiApplication app(argc, argv);
  QString source, out, expect;
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--source"))
      source = args[i + 1];
    else if (args[i] == QLatin1String("--out"))
      out = args[i + 1];
    else if (args[i] == QLatin1String("--expect"))
      expect = args[i + 1];
  }
  if (source.isEmpty() || out.isEmpty()) {
    std::fprintf(stderr, "usage: vardel_content_gen --source DIR --out DIR [--expect FILE]\n");
    return 2;
  }
  QElapsedTimer clock;
  clock.start();
  vardel::content::OutputFolder folder(out);
  try {
    vardel::content::generateContent(source, folder);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vardel_content_gen: %s\n", e.what());
    return 1;
  }
  // The build declares every output; a file written but not declared (or the reverse) would
  // make the build rerun or miss the generator, so the two lists must agree.
  if (!expect.isEmpty()) {
    QFile list(expect);
    if (!list.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "vardel_content_gen: cannot read %s\n", qPrintable(expect));
      return 1;
    }
    QSet<QString> declared;
    for (const QByteArray& line : list.readAll().split('\n')) {
      if (!line.trimmed().isEmpty()) declared.insert(QString::fromUtf8(line.trimmed()));
    }
    const QStringList written = folder.written();
    const QSet<QString> actual(written.begin(), written.end());
    bool ok = true;
    for (const QString& name : actual - declared) {
      std::fprintf(stderr, "vardel_content_gen: written but not declared: %s\n", qPrintable(name));
      ok = false;
    }
    for (const QString& name : declared - actual) {
      std::fprintf(stderr, "vardel_content_gen: declared but not written: %s\n", qPrintable(name));
      ok = false;
    }
    if (!ok) return 1;
  }
  std::printf("vardel_content_gen: %lld files in %lld ms\n", static_cast<long long>(folder.written().size()),
              static_cast<long long>(clock.elapsed()));
  return 0;
}
