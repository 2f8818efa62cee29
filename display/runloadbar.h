// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RUNLOADBAR_H
#define RUNLOADBAR_H

#include "runloader.h"

#include <QWidget>

class QProgressBar;
class QPushButton;

// The reading of recordings on a page: their runs read in the background, a bar showing how
// far, and "取消". Shown only while something is read.
class RunLoadBar : public QWidget
{
    Q_OBJECT

public:
    explicit RunLoadBar(QWidget *parent = nullptr);

    void start(const QStringList &fileNames);
    void cancel();
    bool isLoading() const { return m_loader.isLoading(); }

    // Why a run could not be shown, naming its file, in the user's language.
    static QString failureText(const RecordedRun &run);

signals:
    void sketched(int index, const RunSketch &sketch);
    void loaded(const RunLoader::Runs &runs);
    void failed(const QString &message);
    void cancelled();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    RunLoader m_loader;
    QProgressBar *m_progress;
    QPushButton *m_cancel;
};

#endif // RUNLOADBAR_H
