// The settings-change broadcast and its link to the display's screens.
#include "ui/system_settings.h"

#include <QGuiApplication>
#include <QScreen>

namespace vardel::ui {

SystemSettings& SystemSettings::instance() {
  static SystemSettings* settings = new SystemSettings;  // lives as long as the process
  return *settings;
}

SystemSettings::SystemSettings() { watchScreens(); }

void SystemSettings::watchScreens() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (!app) return;
  const auto watch = [this](QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &SystemSettings::notifyChanged);
  };
  for (QScreen* screen : QGuiApplication::screens()) watch(screen);
  connect(app, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
    watch(screen);
    notifyChanged();
  });
  connect(app, &QGuiApplication::primaryScreenChanged, this, &SystemSettings::notifyChanged);
}

void SystemSettings::notifyChanged() { emit changed(); }

}  // namespace vardel::ui
