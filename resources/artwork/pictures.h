// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PICTURES_H
#define PICTURES_H

#include <QColor>
#include <QImage>

// The program's pictures, drawn as vectors so that every size comes from one
// description of the subject.
namespace Pictures {

// Title-bar logo: a lightning bolt in a ring on a circuit line, white on transparent.
QImage logo();
// Desktop-entry icon: the logo on a dark rounded square.
QImage appIcon(int size);

QImage startButton();
QImage stopButton();
QImage saveButton();
QImage returnButton();
QImage compareButton();
QImage colourWheel();

QImage messageInfo();
QImage messageQuestion();
QImage messageError();
QImage okButton();
QImage closeButton();

// Skin pictures, drawn in a skin's own colours.
enum class Direction { Up, Down, Left, Right };
QImage arrow(Direction direction, const QColor &color);
QImage checkBox(bool checked, const QColor &frame, const QColor &highlight);
QImage radioButton(bool checked, const QColor &frame, const QColor &highlight);

} // namespace Pictures

#endif // PICTURES_H
