// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CUSTOMPLOT_H
#define CUSTOMPLOT_H

#include <qcustomplot.h>

// The common base of the program's plots, so that they share one meta-object above QCustomPlot,
// and each draws into a buffer that holds its background (see OpaquePaintBuffer).
class CustomPlot : public QCustomPlot
{
    Q_OBJECT

public:
    explicit CustomPlot(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

#endif // CUSTOMPLOT_H
