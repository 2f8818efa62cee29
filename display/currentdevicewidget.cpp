// SPDX-License-Identifier: GPL-3.0-or-later
#include "currentdevicewidget.h"

#include "commoncurrentusbdevice.h"
#include "displaycolors.h"
#include "graphicsviewitemwidget.h"
#include "needlegraphicsellipseitem.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsScene>
#include <QVBoxLayout>

namespace Ui {

class CurrentDeviceWidget
{
public:
    QVBoxLayout *verticalLayout_2;

    void setupUi(QWidget *form)
    {
        form->resize(908, 597);
        QFont font;
        font.setPointSize(9);
        form->setFont(font);
        verticalLayout_2 = new QVBoxLayout(form);
        verticalLayout_2->setObjectName("verticalLayout_2");
        verticalLayout_2->setSpacing(0);
        retranslateUi(form);
    }

    void retranslateUi(QWidget *form)
    {
        form->setWindowTitle(QCoreApplication::translate("CurrentDeviceWidget", "Form"));
    }
};

} // namespace Ui

CurrentDeviceWidget::CurrentDeviceWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CurrentDeviceWidget)
{
    ui->setupUi(this);
    auto *view = new GraphicsViewItemWidget(this);
    view->scene()->setBackgroundBrush(DisplayColors::background);
    // The dial's fixed parts are laid out for this rectangle; the view scales it to the page.
    needleItem = new NeedleGraphicsEllipseItem(0, 0, 1892, 990, nullptr);
    needleItem->setPen(QPen(Qt::red, 4));
    needleItem->setBrush(Qt::NoBrush);
    view->setItem(needleItem);
    ui->verticalLayout_2->addWidget(view);
    needleItem->update();
}

void CurrentDeviceWidget::setQuantityColours(const QuantityColours &colours)
{
    needleItem->setQuantityColours(colours);
}

void CurrentDeviceWidget::setReduceMotion(bool reduce)
{
    needleItem->setReduceMotion(reduce);
}

CurrentDeviceWidget::~CurrentDeviceWidget()
{
    delete ui;
}

void CurrentDeviceWidget::setDevice(CommonCurrentUSBDevice *device)
{
    this->device = device;
    // Through the page rather than straight to the dial, so that whatever the page follows, the
    // meter or a replay in its place, moves the dial.
    connect(device, &CommonCurrentUSBDevice::parameterChanged, this,
        &CurrentDeviceWidget::onParameterChanged);
}

void CurrentDeviceWidget::onParameterChanged(float voltage, float current, float power)
{
    needleItem->onParameterChanged(voltage, current, power);
}

void CurrentDeviceWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
