// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SKINSHEETS_H
#define SKINSHEETS_H

#include <QString>
#include <QVector>

// One skin: the colours its sheet is written with. The first line of a sheet
// carries the palette and text colours, the trailer the eight named colours;
// the program reads both back, the rest only styles widgets.
struct SkinColours
{
    QString name;
    QString palette;
    QString text;
    QString panel;
    QString border;
    QString normalStart;
    QString normalEnd;
    QString darkStart;
    QString darkEnd;
    QString high;
    QString button;
    QString buttonText;
    QString hover;
    QString hoverText;
    QString titleButtonHover;
    QString input;
    // A dialog's edge: the border colour, moved until it stands out from the panel.
    QString frame;
    // Only the skins for the main window's page look colour its separator
    // line and draw its colour check box.
    QString splitter;
    bool colourCheckBox = false;
};

namespace SkinSheets {

QVector<SkinColours> skins();
// The sheet of a skin from the shared body template.
QString sheet(const SkinColours &skin, const QString &bodyTemplate);

} // namespace SkinSheets

#endif // SKINSHEETS_H
