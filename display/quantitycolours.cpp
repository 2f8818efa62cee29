// SPDX-License-Identifier: GPL-3.0-or-later
#include "quantitycolours.h"

#include "displaycolors.h"

QuantityColours QuantityColours::standard()
{
    return {DisplayColors::voltage, DisplayColors::current, DisplayColors::power, QColor(Qt::red)};
}

QuantityColours QuantityColours::chosen(
    const QColor &voltage, const QColor &current, const QColor &power)
{
    return {voltage, current, power, current};
}

QuantityColours QuantityColours::distinguishable()
{
    return chosen(QColor(0xE6, 0x9F, 0x00), QColor(0x56, 0xB4, 0xE9), QColor(0xCC, 0x79, 0xA7));
}

bool QuantityColours::operator==(const QuantityColours &other) const
{
    return voltage == other.voltage && current == other.current && power == other.power
        && curve == other.curve;
}
