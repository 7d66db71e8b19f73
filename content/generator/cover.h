// The cover's big illustration, drawn for a large area (the whole width of the cover).
#pragma once

#include <QPainter>
#include <QRectF>

namespace vardel::content {

// Vardel at sunset seen from the sea: sky, hills, the town with its cathedral, boats and gulls.
void drawCoverScene(QPainter& p, const QRectF& area);

}  // namespace vardel::content
