// SPDX-License-Identifier: GPL-3.0-or-later
#include "customplot.h"

CustomPlot::CustomPlot(QWidget *parent)
    : QCustomPlot(parent)
{ }
