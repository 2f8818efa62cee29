// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNSTATUSBAR_H
#define RUNSTATUSBAR_H

#include <QTimer>
#include <QWidget>

class QLabel;
class QToolButton;
class RunFigures;
class WindowRecorder;

// The status bar's line: while recording a red mark with the recording's time,
// rows, size, the room left on its disk (said when it lasts less than an hour) and file; at all
// times the run's figures, with a control to reset them.
class RunStatusBar : public QWidget
{
    Q_OBJECT

public:
    RunStatusBar(RunFigures *figures, WindowRecorder *recorder, QWidget *parent = nullptr);

    static QString clockText(qint64 seconds);

signals:
    // The time the window's large clock shows: the recording's while one runs, else the run's.
    void clockChanged(const QString &text);

protected:
    void changeEvent(QEvent *event) override;

private:
    void refresh();
    void showRecording();
    void showFigures();
    void measureDisk();

    RunFigures *m_figures;
    WindowRecorder *m_recorder;
    QLabel *m_recordingMark;
    QLabel *m_recordingDetails;
    QLabel *m_figuresLabel;
    QToolButton *m_resetButton;
    QTimer m_tick;
    qint64 m_roomLeft = 0;
};

#endif // RUNSTATUSBAR_H
