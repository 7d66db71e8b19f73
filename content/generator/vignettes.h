// One small illustration per section of the magazine, drawn into any rectangle: used on the
// section pictures s1..s15, on the articles' own pictures and on the cover.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>

namespace vardel::content {

// Paints the scene of section `number` (1..15) filling `area`: sky, ground and the motif.
void drawVignette(QPainter& p, const QRectF& area, int number);

// Section picture sN: at most 136 pixels wide, with the section's title and city.
QImage renderSectionPicture(int number);

// An article's picture: the section's scene, `width` x `height`, with a thin frame.
QImage renderArticlePicture(int number, int width, int height);

}  // namespace vardel::content
