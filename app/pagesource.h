// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PAGESOURCE_H
#define PAGESOURCE_H

#include <QMetaObject>
#include <QObject>

class MeasurementHistory;
class MeasurementSource;

// The source the three live pages follow: the live meter, or a replay in its place. The pages
// listen here and nowhere else, so that a replay is a change of source, not a rewiring of pages.
class PageSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    const MeasurementSource *source() const { return m_source; }
    // The pages show the source's curve from its history, and its last values at once.
    void follow(const MeasurementSource *source);

signals:
    void shown(float voltage, float current, float power);
    void historyChanged(const MeasurementHistory *history, double zero);

private:
    void showHistory();

    const MeasurementSource *m_source = nullptr;
    QList<QMetaObject::Connection> m_followed;
};

#endif // PAGESOURCE_H
