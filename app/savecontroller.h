// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SAVECONTROLLER_H
#define SAVECONTROLLER_H

#include <QObject>
#include <QPointer>

#include <atomic>
#include <memory>

class AppSettings;
class MeasurementHistory;
class MeasurementSource;
class QProgressDialog;
class QPushButton;
class QWidget;

// "保存" in the title bar: every measurement the window holds as a CSV
// recording, or a picture of the window as it is, to a file the user picks.
// The CSV is written on a thread of its own, with progress and a way to cancel,
// while the window goes on drawing and recording.
class SaveController : public QObject
{
    Q_OBJECT

public:
    // live: the meter whose history is saved, the one the pages show when they show a meter.
    SaveController(QPushButton *button, const MeasurementSource *live, QWidget *window,
        const AppSettings *settings, QObject *parent = nullptr);
    ~SaveController() override;

    // What the dialog offers first: the recordings folder and the date and time.
    QString suggestedFileName() const;
    // The name typed, with the suffix added unless it ends in it already: "bench.v2" is
    // "bench.v2.csv".
    static QString withSuffix(const QString &typed, const QString &suffix);
    // A name ending in .png gets the picture at once, any other the CSV in the background;
    // finished() follows either way. False when a save is still running.
    bool saveTo(const QString &fileName);
    bool isSaving() const { return m_job != nullptr; }

signals:
    // After the message box, if any, has said why not, or what the file covers.
    void finished(bool written);

private:
    void onClicked();
    void startCsv(const QString &fileName);
    void onCsvDone(const QString &fileName, bool written, bool cancelled, const QString &reason);
    void report(const QString &fileName, bool written, const QString &reason);

    const MeasurementSource *m_live;
    // The history being saved, until the result is told.
    const MeasurementHistory *m_history = nullptr;
    QWidget *m_window;
    const AppSettings *m_settings;
    QThread *m_job = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    QPointer<QProgressDialog> m_progress;
};

#endif // SAVECONTROLLER_H
