// SPDX-License-Identifier: GPL-3.0-or-later
#include "imagecheck.h"

#include <QDir>
#include <QLineF>
#include <QWidget>

#include <cmath>

namespace ImageCheck {

static QPoint pixelAt(const QPointF &point)
{
    return QPoint(int(std::floor(point.x())), int(std::floor(point.y())));
}

QImage grab(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget->render(&image);
    return image;
}

QString save(const QImage &image, const QString &name)
{
    const QDir dir(QStringLiteral(AMMETER_TEST_OUTPUT_DIR));
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    return QDir().mkpath(dir.path()) && image.save(path, "PNG") ? path : QString();
}

bool colorsMatch(const QColor &actual, const QColor &expected, int tolerance)
{
    return actual.isValid() && std::abs(actual.red() - expected.red()) <= tolerance
        && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

bool isColorAt(const QImage &image, const QPointF &point, const QColor &expected, int tolerance)
{
    return isColorNear(image, point, expected, 0, tolerance);
}

bool isColorNear(
    const QImage &image, const QPointF &point, const QColor &expected, int radius, int tolerance)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint pixel = pixelAt(point) + QPoint(dx, dy);
            if (dx * dx + dy * dy <= radius * radius && image.valid(pixel)
                && colorsMatch(image.pixelColor(pixel), expected, tolerance))
                return true;
        }
    }
    return false;
}

int countColorIn(const QImage &image, const QRect &rect, const QColor &expected, int tolerance)
{
    const QRect area = rect.intersected(image.rect());
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += colorsMatch(image.pixelColor(x, y), expected, tolerance);
    return count;
}

int countColor(const QImage &image, const QColor &expected, int tolerance)
{
    return countColorIn(image, image.rect(), expected, tolerance);
}

QPointF pointAtAngle(const QPointF &origin, double angleDegrees, double distance)
{
    return QLineF::fromPolar(distance, angleDegrees).translated(origin).p2();
}

QString describe(const QImage &image, const QPointF &point)
{
    const QPoint pixel = pixelAt(point);
    return QStringLiteral("(%1, %2) is %3")
        .arg(point.x())
        .arg(point.y())
        .arg(image.valid(pixel) ? image.pixelColor(pixel).name() : QStringLiteral("outside"));
}

} // namespace ImageCheck
