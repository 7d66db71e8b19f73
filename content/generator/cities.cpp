// The table of cities and the map's fixed buttons.
#include "content/generator/cities.h"

namespace vardel::content {

const std::vector<City>& cities() {
  static const std::vector<City> table = {
      {1, QStringLiteral("Vardel"), Settlement::Capital, QRect(600, 428, 86, 56),
       QStringLiteral("Vardel, la capital. Carta del director y sumario de este número"), QStringLiteral("Editorial"),
       QStringLiteral("editorial.html"), QColor(150, 30, 50)},
      {2, QStringLiteral("Monteluz"), Settlement::Monastery, QRect(420, 236, 72, 48),
       QStringLiteral("Monteluz, en el corazón de la isla. Geografía: montes, ríos y costas de Ondravia"),
       QStringLiteral("Geografía"), QStringLiteral("geografia.html"), QColor(60, 110, 50)},
      {3, QStringLiteral("Santa Oria"), Settlement::Town, QRect(268, 190, 76, 48),
       QStringLiteral("Santa Oria, la villa amurallada. Historia de Ondravia desde los primeros navegantes"),
       QStringLiteral("Historia"), QStringLiteral("historia.html"), QColor(120, 80, 40)},
      {4, QStringLiteral("Cantalba"), Settlement::Town, QRect(524, 132, 70, 46),
       QStringLiteral("Cantalba, cuna de la canción. Música: la bandurria, las coplas y el festival de agosto"),
       QStringLiteral("Música"), QStringLiteral("musica.html"), QColor(40, 70, 150)},
      {5, QStringLiteral("Torrenegra"), Settlement::Town, QRect(648, 178, 78, 46),
       QStringLiteral("Torrenegra. Juegos: ¡TUMBLO!, el tablero de la torre y otros pasatiempos"),
       QStringLiteral("Juegos"), QStringLiteral("juegos.html"), QColor(200, 90, 20)},
      {6, QStringLiteral("Puerto Saliña"), Settlement::Port, QRect(200, 104, 92, 46),
       QStringLiteral("Puerto Saliña. Entrevista con Rosalía Ferreiro, patrona del último pesquero de vela"),
       QStringLiteral("Entrevista"), QStringLiteral("entrevista.html"), QColor(20, 100, 120)},
      {7, QStringLiteral("Olivares"), Settlement::Village, QRect(380, 462, 70, 44),
       QStringLiteral("Olivares. Recetas de la cocina isleña: pulpo, caldereta y tarta de almendra"),
       QStringLiteral("Cocina"), QStringLiteral("recetas.html"), QColor(170, 120, 20)},
      {8, QStringLiteral("Las Postas"), Settlement::Village, QRect(492, 362, 76, 44),
       QStringLiteral("Las Postas. Cartas de los lectores: vuestras preguntas, quejas y alegrías"),
       QStringLiteral("Cartas"), QStringLiteral("cartas.html"), QColor(110, 60, 130)},
      {9, QStringLiteral("Lunaria"), Settlement::Observatory, QRect(672, 310, 70, 48),
       QStringLiteral("Lunaria y su observatorio. Almanaque de Ondravia para 1999: soles, lunas y mareas"),
       QStringLiteral("Almanaque"), QStringLiteral("almanaque.html"), QColor(30, 40, 100)},
      {10, QStringLiteral("Brezales"), Settlement::Village, QRect(338, 116, 70, 44),
       QStringLiteral("Brezales. Naturaleza: aves, flores y bosques de la isla"), QStringLiteral("Naturaleza"),
       QStringLiteral("naturaleza.html"), QColor(40, 120, 70)},
      {11, QStringLiteral("Nieblas"), Settlement::Village, QRect(236, 446, 70, 44),
       QStringLiteral("Nieblas, junto al lago. Leyendas y cuentos para contar al amor de la lumbre"),
       QStringLiteral("Leyendas"), QStringLiteral("leyendas.html"), QColor(80, 80, 110)},
      {12, QStringLiteral("Calaverde"), Settlement::Port, QRect(508, 482, 76, 46),
       QStringLiteral("Calaverde. Deportes: la gran regata de otoño y la pelota de frontón"),
       QStringLiteral("Deportes"), QStringLiteral("deportes.html"), QColor(20, 130, 100)},
      {13, QStringLiteral("Campo Alto"), Settlement::Town, QRect(568, 248, 80, 46),
       QStringLiteral("Campo Alto. Rincón informático: cómo sacar todo el partido a este disco"),
       QStringLiteral("Informática"), QStringLiteral("informatica.html"), QColor(70, 90, 100)},
      {14, QStringLiteral("Tejares"), Settlement::Village, QRect(214, 318, 70, 44),
       QStringLiteral("Tejares. Artesanía: alfareros, tejedoras y carpinteros de ribera"), QStringLiteral("Artesanía"),
       QStringLiteral("artesania.html"), QColor(160, 70, 40)},
      {15, QStringLiteral("Punta Brava"), Settlement::Lighthouse, QRect(594, 86, 84, 46),
       QStringLiteral("Faro de Punta Brava. Rutas a pie por la isla y agenda de fiestas del verano"),
       QStringLiteral("Rutas y fiestas"), QStringLiteral("rutas.html"), QColor(180, 40, 30)},
  };
  return table;
}

const MapButton* mapButtons() {
  static const MapButton buttons[kMapButtonCount] = {
      {"editor", QRect(31, 528, 81, 28)}, {"close", QRect(765, 1, 28, 25)},   {"minimise", QRect(733, 3, 28, 23)},
      {"cd", QRect(5, 565, 58, 27)},      {"credits", QRect(-1, 2, 140, 35)}, {"mp3", QRect(67, 568, 65, 27)},
      {"game", QRect(16, 480, 101, 41)},
  };
  return buttons;
}

}  // namespace vardel::content
