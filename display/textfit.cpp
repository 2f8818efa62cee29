// SPDX-License-Identifier: GPL-3.0-or-later
#include "textfit.h"

#include <QFontMetrics>

#include <algorithm>

qreal TextFit::scale(const QFont &font, const QString &text, int width)
{
    const int advance = QFontMetrics(font).horizontalAdvance(text);
    return advance > 0 ? std::clamp(qreal(width) / advance, 0.0, 1.0) : 1.0;
}

QFont TextFit::scaled(const QFont &font, qreal scale)
{
    QFont fitted = font;
    fitted.setPointSizeF(font.pointSizeF() * scale);
    return fitted;
}
