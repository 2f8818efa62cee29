#include "customplot.h"

CustomPlot::CustomPlot(QWidget *parent)
    : QCustomPlot(parent)
{ }
