// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef IMAGECHECK_H
#define IMAGECHECK_H

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>

class QWidget;

// Pixel checks for rendering tests. Points are in image pixels; colours match when every
// channel (red, green, blue) lies within the tolerance, so antialiased edges can be probed.
namespace ImageCheck {

// Renders the widget at its current size into an opaque ARGB32 image.
QImage grab(QWidget *widget);
// Writes <name>.png into the test output directory for a person to look at; its path or "".
QString save(const QImage &image, const QString &name);

bool colorsMatch(const QColor &actual, const QColor &expected, int tolerance = 40);
bool isColorAt(
    const QImage &image, const QPointF &point, const QColor &expected, int tolerance = 40);
// Whether any pixel within radius of point (a disc) has the colour.
bool isColorNear(const QImage &image, const QPointF &point, const QColor &expected, int radius,
    int tolerance = 40);
int countColorIn(
    const QImage &image, const QRect &rect, const QColor &expected, int tolerance = 40);
int countColor(const QImage &image, const QColor &expected, int tolerance = 40);

// The point at distance from origin in the direction angleDegrees, counted counter-clockwise
// from 3 o'clock with the y axis pointing down, as QLineF does.
QPointF pointAtAngle(const QPointF &origin, double angleDegrees, double distance);
// The colour at point, for failure messages.
QString describe(const QImage &image, const QPointF &point);

} // namespace ImageCheck

#endif // IMAGECHECK_H
