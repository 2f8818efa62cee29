// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CURRENTANDNEEDLEDEVICEWIDGET_H
#define CURRENTANDNEEDLEDEVICEWIDGET_H

#include "quantitycolours.h"

#include <QWidget>

class CommonCurrentUSBDevice;
class NeedleGraphicsEllipseNoTextItem;

namespace Ui {
class CurrentAndNeedleDeviceWidget;
}

// The combined page: the current curve beside a column with a heading, a dial and a grid of
// the latest voltage, current and power.
class CurrentAndNeedleDeviceWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CurrentAndNeedleDeviceWidget(QWidget *parent = nullptr);
    ~CurrentAndNeedleDeviceWidget() override;

    void setDevice(CommonCurrentUSBDevice *device);
    void setQuantityColours(const QuantityColours &colours);
    void setCurveSecondsPerWidth(int seconds);
    void setReduceMotion(bool reduce);

public slots:
    // The large clock above the dial: the elapsed time of the run or recording, as hh:mm:ss.
    void showClock(const QString &text);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    // One measurement for the page, from the device or from a replay in its place.
    void onParameterChanged(float voltage, float current, float power);

private:
    void fitValueGrid();

    NeedleGraphicsEllipseNoTextItem *needleItem;
    Ui::CurrentAndNeedleDeviceWidget *ui;
    CommonCurrentUSBDevice *device = nullptr;
};

#endif // CURRENTANDNEEDLEDEVICEWIDGET_H
