// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef QUANTITYCOLOURS_H
#define QUANTITYCOLOURS_H

#include <QColor>

// The colours the pages draw voltage, current and power in, and the current's curve.
struct QuantityColours
{
    QColor voltage;
    QColor current;
    QColor power;
    QColor curve;

    // The pages' own colours: green voltage, pink current, blue power, a red curve.
    static QuantityColours standard();
    // A user's choice; the curve takes the current's colour.
    static QuantityColours chosen(
        const QColor &voltage, const QColor &current, const QColor &power);
    // Okabe and Ito's orange, sky blue and reddish purple: told apart by people with the
    // commonest colour-vision deficiencies, and bright enough for text on the dark pages.
    static QuantityColours distinguishable();

    bool operator==(const QuantityColours &other) const;
    bool operator!=(const QuantityColours &other) const { return !(*this == other); }
};

#endif // QUANTITYCOLOURS_H
