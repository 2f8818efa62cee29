// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDINGCONTROLLER_H
#define RECORDINGCONTROLLER_H

#include <QObject>

class WindowMeters;
class QPushButton;
class QSettings;
class WindowRecorder;

// "开始录制" in the title bar: a click starts a recording of every meter's
// measurements into the recordings folder, a second one ends it. A failure is
// told in the program's own message box, and the live display goes on.
class RecordingController : public QObject
{
    Q_OBJECT

public:
    // settings may be null: then the defaults hold.
    RecordingController(
        QPushButton *button, WindowMeters *meters, QSettings *settings, QObject *parent = nullptr);

    // The folder the settings name, or "Ammeter" in the user's documents folder.
    static QString recordingsFolder(const QSettings *settings);

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
    QSettings *m_settings;
    WindowRecorder *m_recorder;
};

#endif // RECORDINGCONTROLLER_H
