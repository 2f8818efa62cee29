// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef METERTILES_H
#define METERTILES_H

#include "textpacer.h"

#include <QHash>
#include <QWidget>

class AppSettings;
class QButtonGroup;
class QHBoxLayout;
class QToolButton;
class WindowMeters;

// A tile per meter above the pages: its name (the user's, or its serial number) and its live
// current, or that it is unplugged, so that a glance shows every meter on the bench. A click
// shows that meter on the pages; the right button names it. Hidden while the window has seen
// only one meter: then the window looks as it always did.
class MeterTiles : public QWidget
{
    Q_OBJECT
public:
    MeterTiles(WindowMeters *meters, AppSettings *settings, QWidget *parent = nullptr);

    // The name the window gives a meter.
    QString nameOf(const QString &meter) const;
    void rename(const QString &meter, const QString &name);
    void retranslate();

private:
    void addTile(const QString &meter);
    void showTile(const QString &meter);
    void showReadings();
    void askForName(const QString &meter);

    WindowMeters *m_meters;
    AppSettings *m_settings;
    QHBoxLayout *m_layout;
    QButtonGroup *m_group;
    QHash<QString, QToolButton *> m_tiles;
    QHash<QString, QString> m_readings;
    TextPacer m_pace;
};

#endif // METERTILES_H
