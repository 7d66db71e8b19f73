// Broken builds of html.ocx for the tests of control creation and self-registration. One source,
// built into several libraries that differ by what they export (see tests/fakes/CMakeLists.txt):
//   VARDEL_FAKE_REGISTER   exports DllRegisterServer, which registers this library's path
//   VARDEL_FAKE_REGISTER_REAL=<path>
//                          exports DllRegisterServer, which registers the real html.ocx at
//                          <path> and still answers failure (1)
//   VARDEL_FAKE_FACTORY    exports a factory that refuses every class with a reason
// Every variant exports DllUnregisterServer.
#include "controls/control_abi.h"
#include "controls/factory_error.h"
#include "platform/control_registry.h"

#include <QFile>

#include <dlfcn.h>

namespace {

QString ownPath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&ownPath), &info) == 0 || !info.dli_fname) return {};
  return QFile::decodeName(info.dli_fname);
}

}  // namespace

extern "C" {

#if defined(VARDEL_FAKE_REGISTER)
__attribute__((visibility("default"))) std::int32_t DllRegisterServer() {
  return vardel::platform::registerControl(QLatin1String(vardel::platform::kHtmlViewerClassId), ownPath()) ? 0 : 2;
}
#elif defined(VARDEL_FAKE_REGISTER_REAL)
__attribute__((visibility("default"))) std::int32_t DllRegisterServer() {
  vardel::platform::registerControl(QLatin1String(vardel::platform::kHtmlViewerClassId),
                                    QStringLiteral(VARDEL_FAKE_REGISTER_REAL));
  return 1;
}
#endif

__attribute__((visibility("default"))) std::int32_t DllUnregisterServer() {
  return vardel::platform::unregisterControl(QLatin1String(vardel::platform::kHtmlViewerClassId), ownPath()) ? 0 : 2;
}

#if defined(VARDEL_FAKE_FACTORY)
__attribute__((visibility("default"))) vardel::controls::Control* VardelCreateControl(
    int, const char* classId, QWidget*, vardel::controls::ControlEvents*, char* error, std::size_t errorSize) {
  vardel::controls::writeFactoryError(
      error, errorSize, QStringLiteral("esta copia rota no sabe crear %1").arg(QString::fromUtf8(classId)));
  return nullptr;
}
#endif
}
