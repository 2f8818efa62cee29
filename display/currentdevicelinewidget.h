// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CURRENTDEVICELINEWIDGET_H
#define CURRENTDEVICELINEWIDGET_H

#include "quantitycolours.h"

#include <QWidget>

class CommonCurrentUSBDevice;

namespace Ui {
class CurrentDeviceLineWidget;
}

// The curve page: the current plotted over time above three tiles with the latest voltage,
// current and power.
class CurrentDeviceLineWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CurrentDeviceLineWidget(QWidget *parent = nullptr);
    ~CurrentDeviceLineWidget() override;

    void setDevice(CommonCurrentUSBDevice *device);
    void setQuantityColours(const QuantityColours &colours);
    void setCurveSecondsPerWidth(int seconds);

public slots:
    // One measurement for the page, from the device or from a replay in its place.
    void onParameterChanged(float voltage, float current, float power);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitTiles();

    Ui::CurrentDeviceLineWidget *ui;
    CommonCurrentUSBDevice *device = nullptr;
};

#endif // CURRENTDEVICELINEWIDGET_H
