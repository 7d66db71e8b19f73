// dlopen-based library loading.
#include "platform/library.h"

#include "platform/elf_layout.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

#include <utility>

namespace vardel::platform {
namespace {

// Why the file at `path` cannot be mapped whole, or empty when it can (or is no file the
// loader would map: a missing file or one that is not ELF is refused by the loader itself,
// which reads it without mapping it).
QString layoutProblem(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const auto size = std::uint64_t(file.size());
  QString problem;
  const ElfHeaderInfo info = readElfHeader(file.read(64), size, &problem);
  if (!problem.isEmpty() || !info.checkable) return problem;
  QByteArray table;
  if (file.seek(qint64(info.programHeaderOffset))) table = file.read(qint64(info.programHeaderSize));
  return checkElfSegments(info, table, size);
}

}  // namespace

Library::~Library() { free(); }

Library::Library(Library&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      fileName_(std::move(other.fileName_)),
      error_(std::move(other.error_)) {}

Library& Library::operator=(Library&& other) noexcept {
  if (this != &other) {
    free();
    handle_ = std::exchange(other.handle_, nullptr);
    fileName_ = std::move(other.fileName_);
    error_ = std::move(other.error_);
  }
  return *this;
}

bool Library::load(const QString& name) {
  free();
  error_.clear();
  const bool bare = !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
  // A bare name is looked for in the program's own installation, never in the content folder:
  // a magazine's folder is data.
  QString path = bare ? nativePath(installationFolder() + name) : nativePath(name);
  if (bare && !QFile::exists(path)) path = name;  // not beside the program: the system's search
  // Nothing in a magazine's folder runs as code, whatever names it (a registration left from
  // another run, a folder given for a library, a link leading into it).
  const QString content = programFolder();
  if (path.contains(QLatin1Char('/')) && content != installationFolder() &&
      (liesInside(path, content) || liesInside(QFileInfo(path).canonicalFilePath(), content))) {
    error_ = QStringLiteral("La biblioteca %1 está en la carpeta de la revista y no se carga").arg(path);
    return false;
  }
  if (const QString problem = layoutProblem(path); !problem.isEmpty()) {
    error_ = QStringLiteral("La biblioteca %1 está incompleta: %2").arg(path, problem);
    return false;
  }
  ::dlerror();
  handle_ = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* message = ::dlerror();
    error_ = message ? QString::fromLocal8Bit(message) : QStringLiteral("cannot load %1").arg(path);
    return false;
  }
  fileName_ = path;
  return true;
}

void* Library::resolve(const char* symbol) const {
  if (!handle_) {
    error_ = QStringLiteral("No hay biblioteca cargada en la que buscar %1").arg(QLatin1String(symbol));
    return nullptr;
  }
  void* address = ::dlsym(handle_, symbol);
  if (!address) error_ = QStringLiteral("La biblioteca %1 no exporta %2").arg(fileName_, QLatin1String(symbol));
  return address;
}

bool Library::free() {
  if (!handle_) return false;
  ::dlclose(handle_);
  handle_ = nullptr;
  fileName_.clear();
  return true;
}

}  // namespace vardel::platform
