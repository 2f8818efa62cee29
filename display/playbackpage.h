// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PLAYBACKPAGE_H
#define PLAYBACKPAGE_H

#include "quantitycolours.h"

#include "recordedrun.h"
#include "runevent.h"
#include "runloader.h"

#include <QWidget>

class BatteryPanel;
class EventList;
class EventMarkers;
class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;
class RunLoadBar;
class RunView;

// One recording at a glance: the whole run with its heading, navigation, and the figures of
// what is in view or of the stretch between two markers.
class PlaybackPage : public QWidget
{
    Q_OBJECT

public:
    explicit PlaybackPage(QWidget *parent = nullptr);

    // Reads the file in the background, the page showing how far and "取消" meanwhile; then
    // opened(), or openFailed() with errorText() saying why in the user's language.
    void open(const QString &fileName);
    bool isLoading() const;
    void cancelLoading();
    QString errorText() const { return m_errorText; }
    const RecordedRun &run() const { return *m_run; }
    RunView *view() const { return m_view; }
    const RunEvents &events() const { return m_events; }
    EventList *eventList() const { return m_eventList; }
    BatteryPanel *batteryPanel() const { return m_battery; }
    void setQuantityColours(const QuantityColours &colours);

    // The figures the page shows, in the units it shows them.
    static QString describe(const RunTotals &totals);

signals:
    void opened();
    void openFailed(const QString &message);
    // The user asked to see the run go through the live pages.
    void replayRequested();
    // Another recording is shown; what pointed into the previous one must let go.
    void runChanged();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void updateHeading();
    void updateFigures();
    void showRun(const RunLoader::Run &run);
    void showEvents();
    void showAround(double seconds);

    RunLoader::Run m_run;
    QString m_errorText;
    QString m_loadingName;
    // The length of the run being read, from its sketch; below 0 before the sketch.
    double m_sketchSeconds = -1;
    QLabel *m_heading = nullptr;
    QCheckBox *m_voltage = nullptr;
    QCheckBox *m_power = nullptr;
    QPushButton *m_fit = nullptr;
    QToolButton *m_markers = nullptr;
    QToolButton *m_fixValues = nullptr;
    QPushButton *m_replay = nullptr;
    RunLoadBar *m_loadBar = nullptr;
    RunView *m_view = nullptr;
    QLabel *m_figures = nullptr;
    RunEvents m_events;
    EventList *m_eventList = nullptr;
    EventMarkers *m_eventMarkers = nullptr;
    BatteryPanel *m_battery = nullptr;
};

#endif // PLAYBACKPAGE_H
