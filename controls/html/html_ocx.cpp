// The exports of html.ocx: self-registration and the factory of the viewer class.
#include "controls/control_abi.h"
#include "controls/factory_error.h"
#include "controls/html/html_viewer.h"
#include "platform/control_registry.h"

#include <QFile>
#include <QString>

#include <dlfcn.h>

namespace {

// Classes this library provides.
const char* const kClasses[] = {vardel::platform::kHtmlViewerClassId};

// The path of this very library, as the loader mapped it.
QString ownPath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&ownPath), &info) == 0 || !info.dli_fname) return {};
  return QFile::decodeName(info.dli_fname);
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) std::int32_t DllRegisterServer() {
  const QString path = ownPath();
  if (path.isEmpty()) return 1;
  for (const char* id : kClasses) {
    if (!vardel::platform::registerControl(QLatin1String(id), path)) return 2;
  }
  return 0;
}

__attribute__((visibility("default"))) std::int32_t DllUnregisterServer() {
  const QString path = ownPath();
  for (const char* id : kClasses) {
    if (!vardel::platform::unregisterControl(QLatin1String(id), path)) return 2;
  }
  return 0;
}

__attribute__((visibility("default"))) vardel::controls::Control* VardelCreateControl(
    int abiVersion, const char* classId, QWidget* parent, vardel::controls::ControlEvents* events, char* error,
    std::size_t errorSize) {
  if (abiVersion != vardel::controls::kAbiVersion) {
    vardel::controls::writeFactoryError(error, errorSize,
                                        QStringLiteral("html.ocx: versión de interfaz %1 no admitida").arg(abiVersion));
    return nullptr;
  }
  const QString id = vardel::platform::canonicalClassId(QString::fromUtf8(classId ? classId : ""));
  if (id != QLatin1String(vardel::platform::kHtmlViewerClassId)) {
    vardel::controls::writeFactoryError(
        error, errorSize,
        QStringLiteral("html.ocx no proporciona la clase %1").arg(QString::fromUtf8(classId ? classId : "")));
    return nullptr;
  }
  return new vardel::controls::HtmlViewerControl(parent, events);
}
}
