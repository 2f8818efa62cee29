#include "imagecheck.h"

#include <QDir>
#include <QLineF>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ImageCheck {

namespace {

// The colour at the pixel nearest to point; invalid when it lies outside the image.
QColor colorAt(const QImage &image, const QPointF &point)
{
    const QPoint pixel(
        static_cast<int>(std::floor(point.x())), static_cast<int>(std::floor(point.y())));
    if (!image.valid(pixel))
        return QColor();
    return image.pixelColor(pixel);
}

} // namespace

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
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        return QString();
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    return image.save(path, "PNG") ? path : QString();
}

bool colorsMatch(const QColor &actual, const QColor &expected, int tolerance)
{
    if (!actual.isValid() || !expected.isValid())
        return false;
    return std::abs(actual.red() - expected.red()) <= tolerance
        && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

bool isColorAt(const QImage &image, const QPointF &point, const QColor &expected, int tolerance)
{
    return colorsMatch(colorAt(image, point), expected, tolerance);
}

bool isColorNear(
    const QImage &image, const QPointF &point, const QColor &expected, int radius, int tolerance)
{
    const QPoint centre(
        static_cast<int>(std::floor(point.x())), static_cast<int>(std::floor(point.y())));
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint pixel = centre + QPoint(dx, dy);
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
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (colorsMatch(image.pixelColor(x, y), expected, tolerance))
                ++count;
        }
    }
    return count;
}

int countColor(const QImage &image, const QColor &expected, int tolerance)
{
    return countColorIn(image, image.rect(), expected, tolerance);
}

QPointF pointAtAngle(const QPointF &origin, double angleDegrees, double distance)
{
    QLineF line(origin, origin + QPointF(1, 0));
    line.setAngle(angleDegrees);
    line.setLength(distance);
    return line.p2();
}

bool isLineDrawn(const QImage &image, const QPointF &from, const QPointF &to,
    const QColor &expected, int samples, double margin, int radius, int tolerance)
{
    const QLineF line(from, to);
    for (int i = 0; i < samples; ++i) {
        const double t = margin + (1.0 - 2.0 * margin) * i / std::max(1, samples - 1);
        if (!isColorNear(image, line.pointAt(t), expected, radius, tolerance))
            return false;
    }
    return true;
}

QString describe(const QImage &image, const QPointF &point)
{
    const QColor colour = colorAt(image, point);
    return QStringLiteral("(%1, %2) is %3")
        .arg(point.x())
        .arg(point.y())
        .arg(colour.isValid() ? colour.name() : QStringLiteral("outside the image"));
}

} // namespace ImageCheck
