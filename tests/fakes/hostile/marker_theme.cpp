// A Qt platform theme plug-in as a hostile disc carries it in platformthemes/: real plug-in
// metadata under the theme names Qt asks for on X11, so Qt would load it wherever it looks;
// it only leaves its mark and gives no theme.
#include "tests/fakes/hostile/hostile_marker.h"

#include <QObject>

class MarkerThemePlugin : public QObject {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QPA.QPlatformThemeFactoryInterface.5.1" FILE "marker_theme.json")
};

#include "marker_theme.moc"
