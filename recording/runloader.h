// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNLOADER_H
#define RUNLOADER_H

#include "recordedrun.h"

#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

class QThread;

// Opens recordings on a thread of its own, so the window goes on drawing and measuring while
// a long run is read: a sketch of a run read anew, progress as it goes, a way to stop, the runs
// or the one that failed at the end, all told on the thread that started it.
class RunLoader : public QObject
{
    Q_OBJECT

public:
    using Run = std::shared_ptr<const RecordedRun>;
    using Runs = std::vector<Run>;

    explicit RunLoader(QObject *parent = nullptr);
    ~RunLoader() override;

    // Reads the files one after the other; a reading still going is cancelled.
    void start(const QStringList &fileNames);
    void cancel();
    bool isLoading() const { return m_job != nullptr; }

signals:
    // The shape of file `index`, when its rows are all to be read: before they are.
    void sketched(int index, const RunSketch &sketch);
    void progressed(int percent);
    void loaded(const RunLoader::Runs &runs);
    // The first file that could not be read; its run says why.
    void failed(const RunLoader::Run &run);
    void cancelled();

private:
    struct Job;

    void finish(const std::shared_ptr<Job> &job);

    std::shared_ptr<Job> m_job;
    std::vector<QThread *> m_threads;
};

#endif // RUNLOADER_H
