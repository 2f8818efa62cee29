// SPDX-License-Identifier: GPL-3.0-or-later
#include "runloader.h"

#include <QThread>

struct RunLoader::Job
{
    QStringList fileNames;
    Runs runs;
    std::atomic<bool> cancel {false};
    std::atomic<int> percent {-1};
};

RunLoader::RunLoader(QObject *parent)
    : QObject(parent)
{ }

RunLoader::~RunLoader()
{
    cancel();
    for (QThread *thread : m_threads) {
        thread->wait();
        delete thread;
    }
}

void RunLoader::start(const QStringList &fileNames)
{
    cancel();
    auto job = std::make_shared<Job>();
    job->fileNames = fileNames;
    m_job = job;
    QThread *thread = QThread::create([this, job] {
        const int count = job->fileNames.size();
        for (int i = 0; i < count && !job->cancel; ++i) {
            ReadControl control;
            control.cancel = &job->cancel;
            control.sketched = [this, job, i](const RunSketch &sketch) {
                QMetaObject::invokeMethod(
                    this,
                    [this, job, i, sketch] {
                        if (job == m_job)
                            emit sketched(i, sketch);
                    },
                    Qt::QueuedConnection);
            };
            control.progress = [this, job, i, count](double done) {
                const int percent = int(100 * (i + done) / count);
                if (job->percent.exchange(percent) != percent)
                    QMetaObject::invokeMethod(
                        this,
                        [this, job, percent] {
                            if (job == m_job)
                                emit progressed(percent);
                        },
                        Qt::QueuedConnection);
            };
            auto run = std::make_shared<RecordedRun>();
            const bool loaded = run->load(job->fileNames.at(i), control);
            job->runs.push_back(run);
            if (!loaded)
                break;
        }
        QMetaObject::invokeMethod(
            this, [this, job] { finish(job); }, Qt::QueuedConnection);
    });
    m_threads.push_back(thread);
    connect(thread, &QThread::finished, this, [this, thread] {
        m_threads.erase(std::find(m_threads.begin(), m_threads.end(), thread));
        thread->deleteLater();
    });
    thread->start();
}

void RunLoader::cancel()
{
    if (!m_job)
        return;
    m_job->cancel = true;
    m_job.reset();
    emit cancelled();
}

void RunLoader::finish(const std::shared_ptr<Job> &job)
{
    if (job != m_job)
        return;
    m_job.reset();
    const Run &last = job->runs.back();
    if (last->wasCancelled())
        emit cancelled();
    else if (last->isEmpty())
        emit failed(last);
    else
        emit loaded(job->runs);
}
