// A Qt image format plug-in as a hostile disc carries it in imageformats/: real plug-in
// metadata for the common picture formats, so Qt would load it for any picture it reads; it
// only leaves its mark and reads nothing.
#include "tests/fakes/hostile/hostile_marker.h"

#include <QObject>

class MarkerImagePlugin : public QObject {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QImageIOHandlerFactoryInterface" FILE "marker_image.json")
};

#include "marker_image.moc"
