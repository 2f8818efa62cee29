// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef STALESHADE_H
#define STALESHADE_H

#include <QWidget>

// A dark veil over the pages while their values are stale: they stay readable, but
// plainly not live. It covers everything alike, the dials' graphics views included,
// and lets every click through.
class StaleShade : public QWidget
{
    Q_OBJECT
public:
    explicit StaleShade(QWidget *covered);

    void setStale(bool stale);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // A sibling, not a child: the pages' stack raises each page it shows.
    QWidget *m_covered;
};

#endif // STALESHADE_H
