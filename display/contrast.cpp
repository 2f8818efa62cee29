// SPDX-License-Identifier: GPL-3.0-or-later
#include "contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double Contrast::luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF())
        + 0.0722 * linear(rgb.blueF());
}

double Contrast::ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Contrast::textOn(const QColor &background)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ratio(black, background) >= ratio(white, background) ? black : white;
}

QColor Contrast::readableOn(const QColor &colour, const QColor &background, double least)
{
    if (ratio(colour, background) >= least)
        return colour;
    // Antialiased strokes of small text never quite reach their colour: a colour that has to
    // be moved is moved a little past the bare ratio.
    const double wanted = least * 1.1;
    // Towards white on a dark background, towards black on a light one; one of the two ends
    // always reaches the ratio, so the walk ends.
    const bool lighten = textOn(background) == QColor(Qt::white);
    const QColor target = lighten ? QColor(Qt::white) : QColor(Qt::black);
    QColor mixed = colour;
    for (int step = 1; step <= 20 && ratio(mixed, background) < wanted; ++step) {
        const double t = step / 20.0;
        mixed = QColor::fromRgbF(colour.redF() + (target.redF() - colour.redF()) * t,
            colour.greenF() + (target.greenF() - colour.greenF()) * t,
            colour.blueF() + (target.blueF() - colour.blueF()) * t);
    }
    return mixed;
}
