// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef CURRENTDEVICEWIDGET_H
#define CURRENTDEVICEWIDGET_H

#include "quantitycolours.h"

#include <QWidget>

class CommonCurrentUSBDevice;
class NeedleGraphicsEllipseItem;

namespace Ui {
class CurrentDeviceWidget;
}

// The needle page: the large dial with its read-out boxes, filling the page.
class CurrentDeviceWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CurrentDeviceWidget(QWidget *parent = nullptr);
    ~CurrentDeviceWidget() override;

    void setDevice(CommonCurrentUSBDevice *device);
    void setQuantityColours(const QuantityColours &colours);
    void setReduceMotion(bool reduce);

public slots:
    // One measurement for the dial, from the device or from a replay in its place.
    void onParameterChanged(float voltage, float current, float power);

protected:
    void changeEvent(QEvent *event) override;

private:
    NeedleGraphicsEllipseItem *needleItem;
    CommonCurrentUSBDevice *device = nullptr;
    Ui::CurrentDeviceWidget *ui;
};

#endif // CURRENTDEVICEWIDGET_H
