// The map from the keyboard and for screen readers: the order of its stops, their names, Escape.
#include "controls/host/html_control.h"
#include "controls/host/web_browser.h"
#include "shell/lectura.h"
#include "shell/mapa_form.h"
#include "ui/hotspot_access.h"
#include "ui/keyboard_navigation.h"

namespace vardel {

void TfrmMapa::PrepararTeclado() {
  // A city without a hint in the configuration file is still told apart by its number.
  for (TShape2* city : ciudades()) {
    if (city->Hint.trimmed().isEmpty()) city->setAccessibleName(QStringLiteral("Ciudad ") + QString::number(city->tag));
  }
  ui::markAsButton(Shape25, QStringLiteral("Volver"));
  ui::markAsButton(imgMapita, QStringLiteral("Volver al mapa"));
  QWidget* article = hasWebBrowser() ? static_cast<QWidget*>(wIE4) : static_cast<QWidget*>(w);
  article->setAccessibleName(QStringLiteral("Artículo"));

  teclado_ = new ui::HotspotNavigator(this, [this, article] {
    // The way back and the article first (they are there at a document only), then the cities
    // by number, then the fixed buttons as they are read on the screen, and the credits' return.
    QList<QWidget*> stops{imgMapita, article};
    for (TShape2* city : ciudades()) stops.append(city);
    stops.append({Shape26, Shape24, Shape22, Shape28, Shape21, Shape23, Shape27, Shape25});
    return stops;
  });
  // Escape at a document does what a click on the small map does, once the find bar is closed.
  teclado_->onEscape = [this] { return Nivel == 2 && !lectura_->findBarOpen() && ui::clickWhereReachable(imgMapita); };
}

QList<TShape2*> TfrmMapa::ciudades() const {
  QList<TShape2*> cities;
  if (c1) cities.append(c1);
  for (size_t n = 2; n < cN.size(); ++n) {
    if (cN[n]) cities.append(cN[n]);
  }
  return cities;
}

}  // namespace vardel
