// dlopen-based library loading.
#include "platform/library.h"

#include "platform/paths.h"

#include <QFile>

#include <dlfcn.h>

#include <utility>

namespace vardel::platform {

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
  QString path = bare ? contentPath(name) : nativePath(name);
  if (bare && !QFile::exists(path)) path = name;  // not beside the program: the system's search
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
  if (!handle_) return nullptr;
  return ::dlsym(handle_, symbol);
}

bool Library::free() {
  if (!handle_) return false;
  ::dlclose(handle_);
  handle_ = nullptr;
  fileName_.clear();
  return true;
}

}  // namespace vardel::platform
