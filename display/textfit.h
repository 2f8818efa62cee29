// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef TEXTFIT_H
#define TEXTFIT_H

#include <QFont>
#include <QString>

// Large readings in a narrow window: rather than cut a number, its text shrinks until it fits.
namespace TextFit {

// How much of its size a font keeps for the text to fit the width: 1 when it fits already.
qreal scale(const QFont &font, const QString &text, int width);
// The font at that share of its point size.
QFont scaled(const QFont &font, qreal scale);

} // namespace TextFit

#endif // TEXTFIT_H
