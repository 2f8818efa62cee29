// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef COMPAREPAGE_H
#define COMPAREPAGE_H

#include "recordedrun.h"
#include "runloader.h"

#include <QVector>
#include <QWidget>

class QLabel;
class QPushButton;
class QToolButton;
class QTableWidget;
class RunLoadBar;
class RunView;

// Two to four recordings over each other, each against the time since its own start, with a
// table of their figures and each one's difference to the first: of the whole runs, or of the
// stretch between two markers when one is selected.
class ComparePage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MaximumRuns = 4;

    explicit ComparePage(QWidget *parent = nullptr);
    ~ComparePage() override;

    // Reads the files in the background, with progress and "取消" on the page; then opened(),
    // or openFailed() with errorText() naming the first file that is not a recording.
    void open(const QStringList &fileNames);
    bool isLoading() const;
    QString errorText() const { return m_errorText; }

    // The table as tab-separated text, as "复制" puts it on the clipboard.
    QString tableText() const;
    // The view and table as they are on screen, for saving as a picture.
    QImage picture();
    RunView *view() const { return m_view; }

signals:
    void opened();
    void openFailed(const QString &message);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void fillTable();
    void updateHeading();
    void showRuns(const RunLoader::Runs &runs);

    RunLoader::Runs m_runs;
    QString m_errorText;
    QLabel *m_heading = nullptr;
    QPushButton *m_fit = nullptr;
    QToolButton *m_markers = nullptr;
    QPushButton *m_copy = nullptr;
    RunLoadBar *m_loadBar = nullptr;
    RunView *m_view = nullptr;
    QTableWidget *m_table = nullptr;
};

#endif // COMPAREPAGE_H
