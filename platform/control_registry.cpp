// The per-user control class registry, kept in one small text file.
#include "platform/control_registry.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <utility>
#include <vector>

#ifndef VARDEL_SYSTEM_CONTROL_DIR
#error "VARDEL_SYSTEM_CONTROL_DIR must name the system control folder"
#endif

namespace vardel::platform {
namespace {

using Entries = std::vector<std::pair<QString, QString>>;  // canonical class id, library path

Entries readEntries(const QString& file) {
  Entries entries;
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly)) return entries;
  const QList<QByteArray> lines = in.readAll().split('\n');
  for (const QByteArray& raw : lines) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) continue;
    const QString id = canonicalClassId(line.left(eq).trimmed());
    const QString path = line.mid(eq + 1).trimmed();
    if (id.isEmpty() || path.isEmpty()) continue;
    // A later line for the same class wins, as a later registration would.
    std::erase_if(entries, [&](const auto& e) { return e.first == id; });
    entries.emplace_back(id, path);
  }
  return entries;
}

bool writeEntries(const QString& file, const Entries& entries, QString* error) {
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) {
    if (error)
      *error = QStringLiteral("No se puede escribir el registro de controles %1: %2").arg(file, out.errorString());
    return false;
  }
  QByteArray text = "# Hosted control classes: {CLASS-ID}=library\n";
  for (const auto& [id, path] : entries) text += id.toUtf8() + '=' + path.toUtf8() + '\n';
  out.write(text);
  if (!out.commit()) {
    if (error)
      *error = QStringLiteral("No se puede escribir el registro de controles %1: %2").arg(file, out.errorString());
    return false;
  }
  return true;
}

// Runs a read-modify-write of the registry under its lock file.
template <typename Change>
bool modify(Change change, QString* error) {
  const QString file = controlRegistryFile();
  if (!QDir().mkpath(QFileInfo(file).absolutePath())) {
    if (error)
      *error = QStringLiteral("No se puede crear la carpeta del registro de controles %1")
                   .arg(QFileInfo(file).absolutePath());
    return false;
  }
  QLockFile lock(file + QStringLiteral(".lock"));
  lock.setStaleLockTime(10000);
  if (!lock.tryLock(5000)) {
    if (error) *error = QStringLiteral("El registro de controles %1 está bloqueado").arg(file);
    return false;
  }
  Entries entries = readEntries(file);
  if (!change(entries)) return true;  // nothing to write
  return writeEntries(file, entries, error);
}

}  // namespace

QString canonicalClassId(const QString& classId) {
  static const QRegularExpression pattern(
      QStringLiteral("^\\{?([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})\\}?$"));
  const QString trimmed = classId.trimmed();
  // Braces come in pairs or not at all.
  if (trimmed.startsWith(QLatin1Char('{')) != trimmed.endsWith(QLatin1Char('}'))) return {};
  const QRegularExpressionMatch match = pattern.match(trimmed);
  if (!match.hasMatch()) return {};
  return QLatin1Char('{') + match.captured(1).toUpper() + QLatin1Char('}');
}

QString controlRegistryFile() {
  QString data = qEnvironmentVariable("XDG_DATA_HOME");
  // The XDG rules ignore a relative value.
  if (data.isEmpty() || QDir::isRelativePath(data)) data = QDir::homePath() + QStringLiteral("/.local/share");
  return QDir::cleanPath(data + QStringLiteral("/vardel/controls.reg"));
}

bool registerControl(const QString& classId, const QString& libraryPath, QString* error) {
  const QString id = canonicalClassId(classId);
  if (id.isEmpty()) {
    if (error) *error = QStringLiteral("Identificador de clase no válido: %1").arg(classId);
    return false;
  }
  const QString path = libraryPath.isEmpty() ? QString() : QFileInfo(libraryPath).absoluteFilePath();
  if (path.isEmpty() || path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r'))) {
    if (error) *error = QStringLiteral("Ruta de biblioteca no válida: %1").arg(libraryPath);
    return false;
  }
  return modify(
      [&](Entries& entries) {
        std::erase_if(entries, [&](const auto& e) { return e.first == id; });
        entries.emplace_back(id, path);
        return true;
      },
      error);
}

bool unregisterControl(const QString& classId, const QString& libraryPath, QString* error) {
  const QString id = canonicalClassId(classId);
  if (id.isEmpty()) return true;  // a malformed id was never registered
  if (!QFileInfo::exists(controlRegistryFile())) return true;
  const QString path = libraryPath.isEmpty() ? QString() : QFileInfo(libraryPath).absoluteFilePath();
  return modify(
      [&](Entries& entries) {
        return std::erase_if(entries,
                             [&](const auto& e) { return e.first == id && (path.isEmpty() || e.second == path); }) > 0;
      },
      error);
}

QString registeredControl(const QString& classId) {
  const QString id = canonicalClassId(classId);
  if (id.isEmpty()) return {};
  for (const auto& [entryId, path] : readEntries(controlRegistryFile())) {
    if (entryId == id) return path;
  }
  return {};
}

QString lookupControl(const QString& classId) {
  const QString id = canonicalClassId(classId);
  const QString registered = registeredControl(id);
  if (id != QLatin1String(kWebBrowserClassId)) return registered;
  if (!registered.isEmpty() && QFileInfo::exists(registered)) return registered;
  const QString beside = installationFolder() + QLatin1String(kWebBrowserLibrary);
  if (QFileInfo::exists(beside)) return beside;
  const QString system = systemControlFolder() + QLatin1String(kWebBrowserLibrary);
  if (QFileInfo::exists(system)) return system;
  return {};
}

QString systemControlFolder() {
  QString folder = QStringLiteral(VARDEL_SYSTEM_CONTROL_DIR);
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

}  // namespace vardel::platform
