// Creation of hosted controls from their libraries.
#include "controls/host/hosted_control.h"

#include "platform/control_registry.h"

#include <QFileInfo>

#include <array>

namespace vardel::controls {

HostedControl::HostedControl(const char* classId, QWidget* parent, ControlEvents* events) : HostedControl(classId) {
  create(parent, events);
}

HostedControl::HostedControl(const char* classId) : classId_(classId) {
  const QString id = QString::fromLatin1(classId);
  path_ = platform::lookupControl(id);
  const QString& path = path_;
  if (path.isEmpty()) {
    if (platform::canonicalClassId(id) == QLatin1String(platform::kWebBrowserClassId))
      throw ControlError(QStringLiteral("El navegador %1 no está instalado (falta %2)")
                             .arg(id, QLatin1String(platform::kWebBrowserLibrary)));
    throw ControlError(QStringLiteral("La clase %1 no está registrada").arg(id));
  }
  if (!QFileInfo(path).isFile())
    throw ControlError(QStringLiteral("No se encuentra la biblioteca del control %1: %2").arg(id, path));
}

void HostedControl::create(QWidget* parent, ControlEvents* events) {
  if (control_) return;
  const QString id = QString::fromLatin1(classId_);
  const QString& path = path_;
  if (!library_.load(path))
    throw ControlError(QStringLiteral("No se puede cargar la biblioteca del control %1 (%2): %3")
                           .arg(id, path, library_.errorString()));
  const auto factory = library_.resolveAs<VardelCreateControlFn>(kFactorySymbol);
  if (!factory) throw ControlError(library_.errorString());
  std::array<char, 512> error{};
  control_ = factory(kAbiVersion, classId_.constData(), parent, events, error.data(), error.size());
  if (!control_ || !control_->widget()) {
    delete control_;
    control_ = nullptr;
    throw ControlError(QStringLiteral("La biblioteca %1 no ha creado el control %2: %3")
                           .arg(path, id, QString::fromUtf8(error.data())));
  }
}

HostedControl::~HostedControl() {
  // The control's code lives in the library: it goes first.
  delete control_;
}

}  // namespace vardel::controls
