// Drawing helpers shared by all pictures: the magazine's fonts, paper textures, haloed text and
// painted buttons.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

namespace vardel::content {

// The magazine's type: a serif for titles and names, a sans for buttons and panels. Sizes are
// pixel sizes, so the pictures do not depend on the screen's resolution.
QFont serifFont(int pixelSize, bool bold = false, bool italic = false);
QFont sansFont(int pixelSize, bool bold = false);

// Fills `rect` with a paper colour mottled by soft noise (strength 0..1).
void fillPaper(QImage& image, const QRect& rect, const QColor& base, double strength, unsigned seed);

// Text centred in `rect`, surrounded by a soft halo of `halo` so it reads on any ground.
void drawHaloText(QPainter& p, const QRect& rect, int flags, const QString& text, const QColor& ink, const QColor& halo,
                  int haloWidth = 2);

// Styles of painted buttons.
struct ButtonStyle {
  QColor face;     // main colour of the button face
  QColor ink;      // text and icon colour
  QColor rim;      // outer outline
  int radius = 5;  // corner radius in pixels
};

// A raised, lit button that fills `rect` exactly (its outline is the rect's edge), with the
// text centred on its face; returns the face rectangle inside the bevel, for icons.
QRect paintButton(QPainter& p, const QRect& rect, const ButtonStyle& style, const QString& text, const QFont& font);

// A double frame line inside `rect` (engraved look), used on panels and cartouches.
void drawDoubleFrame(QPainter& p, const QRectF& rect, const QColor& color, double gap = 3);

// Mixes two colours: t = 0 gives a, t = 1 gives b.
QColor mix(const QColor& a, const QColor& b, double t);

}  // namespace vardel::content
