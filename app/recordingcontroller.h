// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDINGCONTROLLER_H
#define RECORDINGCONTROLLER_H

#include <QObject>

class AppSettings;
class WindowMeters;
class QPushButton;
class WindowRecorder;

// "开始录制" in the title bar: a click starts a recording of every meter's
// measurements into the recordings folder, a second one ends it. A failure is
// told in the program's own message box, and the live display goes on.
class RecordingController : public QObject
{
    Q_OBJECT

public:
    RecordingController(QPushButton *button, WindowMeters *meters, const AppSettings *settings,
        QObject *parent = nullptr);

    WindowRecorder *recorder() const { return m_recorder; }
    // Ends the file cleanly, however the window goes.
    void stop();
    // The button's text, icon and tooltip for the state and the current language.
    void showState();

private:
    void onClicked();
    void onFailed(const QString &message);

    QPushButton *m_button;
    WindowMeters *m_meters;
    const AppSettings *m_settings;
    WindowRecorder *m_recorder;
};

#endif // RECORDINGCONTROLLER_H
