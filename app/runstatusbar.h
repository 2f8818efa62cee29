// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNSTATUSBAR_H
#define RUNSTATUSBAR_H

#include "stopcondition.h"
#include "textpacer.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;
class RunFigures;
class WindowRecorder;

// The status bar's line: while recording a red mark with the recording's time, rows, size, the
// room left on its disk (said when it lasts less than an hour) and file, what ends it by itself,
// and a field for the user's notes ("标记"); once a stop condition ended it, why; at all times the
// run's figures with the battery life they give, and a control to reset them. What changes with
// every measurement is shown twice a second; a new run, a reset and a recording begun or ended
// at once.
class RunStatusBar : public QWidget
{
    Q_OBJECT

public:
    RunStatusBar(RunFigures *figures, WindowRecorder *recorder, QWidget *parent = nullptr);

    static QString clockText(qint64 seconds);
    // The battery the run's estimate is for.
    void setBattery(double capacityMah, double usableFraction);

signals:
    // The time the window's large clock shows: the recording's while one runs, else the run's.
    void clockChanged(const QString &text);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void retranslate();
    void onFiguresChanged();
    void refresh();
    void showRecording();
    void showFigures();
    void measureDisk();
    void showElided();
    void addNote();

    RunFigures *m_figures;
    WindowRecorder *m_recorder;
    QLabel *m_recordingMark;
    QLabel *m_recordingDetails;
    QLabel *m_recordingFile;
    QLineEdit *m_noteEdit;
    QToolButton *m_noteButton;
    QLabel *m_figuresLabel;
    QLabel *m_batteryLabel;
    QToolButton *m_resetButton;
    // The condition that ended the last recording, and after how long; negative: none did.
    StopCondition m_reached;
    double m_reachedSeconds = -1;
    double m_capacityMah = 2000;
    double m_usableFraction = 1;
    QTimer m_tick;
    qint64 m_roomLeft = 0;
    QString m_fileName;
    QString m_clock;
    // What the figures shown were taken from: a change that only adds measurements to them can
    // wait for the pace of reading, any other is shown at once.
    qint64 m_shownCount = 0;
    bool m_shownRunning = false;
    bool m_shownHasRun = false;
    TextPacer m_pace;
};

#endif // RUNSTATUSBAR_H
