// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDINGPAGES_H
#define RECORDINGPAGES_H

#include <QObject>
#include <QStringList>

class ComparePage;
class PlaybackPage;
class QSettings;
class QStackedWidget;

// The window's pages for recordings: "回放" shows one, "对比" two to four. Adds them to the
// stacked widget and opens files from a dialog or the command line, telling the user in the
// window's message box when a file is not a recording.
class RecordingPages : public QObject
{
    Q_OBJECT

public:
    RecordingPages(QStackedWidget *stack, QSettings *settings, QWidget *dialogParent);

    PlaybackPage *playbackPage() const { return m_playback; }
    ComparePage *comparePage() const { return m_compare; }

    // One file is played back, two to four compared, each read in the background on its page;
    // false when no file was given.
    bool open(const QStringList &fileNames);
    QString recordingsFolder() const;

public slots:
    void choosePlayback();
    void chooseCompare();

private:
    bool openPlayback(const QString &fileName);
    bool openCompare(const QStringList &fileNames);

    QStackedWidget *m_stack;
    QSettings *m_settings;
    QWidget *m_dialogParent;
    PlaybackPage *m_playback;
    ComparePage *m_compare;
};

#endif // RECORDINGPAGES_H
