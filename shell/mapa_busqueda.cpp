// The map's keys for the reading comforts, and the magazine search's side of the map.
#include "platform/paths.h"
#include "shell/busqueda_panel.h"
#include "shell/mapa_form.h"

#include <QShortcut>

namespace vardel {

void TfrmMapa::defineKeys() {
  // Only once the opening has ended, and not over the credits.
  const auto ready = [this] { return Nivel >= 1 && lbReloj->isVisible() && !panelAcercaDe->isVisible(); };
  auto* search = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), this);
  search->setObjectName(QStringLiteral("TeclaBusqueda"));
  connect(search, &QShortcut::activated, this, [this, ready] {
    if (ready()) AbrirBusqueda();
  });
  auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
  print->setObjectName(QStringLiteral("TeclaImprimir"));
  connect(print, &QShortcut::activated, this, [this, ready] {
    if (ready() && Nivel == 2 && !(busqueda && busqueda->isVisible())) ImprimirArticulo();
  });
}

TShape2* TfrmMapa::cityShape(std::uint8_t number) const {
  return number == 1 ? c1 : number < cN.size() ? cN[number] : nullptr;
}

void TfrmMapa::AbrirBusqueda() {
  if (!busqueda) {
    QList<SearchCity> cities;
    for (std::uint8_t n = 1; n < cN.size(); ++n) {
      if (TShape2* city = cityShape(n)) cities.push_back({n, city->Hint, city->Cadena});
    }
    busqueda = new SearchPanel(client(), platform::programFolder(), cities);
    busqueda->openHit = [this](const SearchHit& hit) { AbrirPaginaDeCiudad(std::uint8_t(hit.city), hit.page); };
    busqueda->findInArticle = [this](const QString& words) { findInArticle(words); };
  }
  busqueda->open();
}

void TfrmMapa::AbrirPaginaDeCiudad(std::uint8_t number, const QString& page) {
  if (TShape2* city = cityShape(number)) openCity(city, page);
}

}  // namespace vardel
