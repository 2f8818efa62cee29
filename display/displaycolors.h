// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISPLAYCOLORS_H
#define DISPLAYCOLORS_H

#include <QColor>
#include <QString>

class QWidget;

// The colours every page, plot and gauge shares, so that the three views read as one display.
namespace DisplayColors {

inline const QColor background(0x0E, 0x14, 0x1B);
inline const QColor frame(0x33, 0x3B, 0x48);
inline const QColor axis(0x4C, 0x59, 0x6B);

inline const QColor voltage(43, 234, 175);
inline const QColor current(249, 121, 136);
inline const QColor power(0, 162, 255);

inline const QString gaugeFontFamily = QStringLiteral("Arial");

// The pages keep their dark instrument look under every skin, light ones included: their
// colours are chosen against this background, and a light skin's ground would leave the
// coloured captions and the blue heading unreadable.
void paintInstrumentBackground(QWidget *page);

} // namespace DisplayColors

#endif // DISPLAYCOLORS_H
