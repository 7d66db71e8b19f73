// Fuzz target: addresses and Windows-style names mapped onto files, the way links, picture
// sources and configuration names reach the file system. The first input line is taken as the
// address, the rest as a name relative to a small content folder made once.
#include "platform/file_url.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

namespace {

QString folder;

bool hasNul(const QString& text) { return text.contains(QChar(0)); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Qt's warnings about names with a NUL would drown the fuzzer's own output.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  static QTemporaryDir dir;
  folder = dir.path() + QLatin1Char('/');
  QDir(folder).mkpath(QStringLiteral("Ficheros/Sub Carpeta"));
  QDir(folder).mkpath(QStringLiteral("Graficos"));
  for (const char* name : {"Ficheros/geografia.html", "Ficheros/Sub Carpeta/a%20b#c.html", "Graficos/p8"}) {
    QFile file(folder + QLatin1String(name));
    if (file.open(QIODevice::WriteOnly)) file.write("x");
  }
  vardel::platform::overrideProgramFolder(folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vardel::platform;
  const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype cut = input.indexOf(QLatin1Char('\n'));
  const QString address = cut < 0 ? input : input.left(cut);
  const QString name = cut < 0 ? QString() : input.mid(cut + 1);

  const FileUrl url = resolveFileUrl(address, folder + QStringLiteral("Ficheros"));
  // A file address gives an absolute path or nothing; anything else gives nothing.
  if (!url.path.isEmpty() && !QDir::isAbsolutePath(url.path)) __builtin_trap();
  if (!isFileUrl(address) && !url.path.isEmpty()) __builtin_trap();
  if (hasNul(url.fragment) && !hasNul(address)) __builtin_trap();

  const QString mapped = contentPath(name);
  if (!mapped.startsWith(folder)) __builtin_trap();
  // The canonical form of a path found leads back to the same file.
  if (!url.path.isEmpty() && QFile::exists(url.path) && !hasNul(url.path)) {
    const FileUrl again = resolveFileUrl(fileUrlOf(url.path));
    if (QFileInfo(again.path).canonicalFilePath() != QFileInfo(url.path).canonicalFilePath()) __builtin_trap();
  }
  return 0;
}
