// SPDX-License-Identifier: GPL-3.0-or-later
#include "voltageandcurrentwidget.h"

#include "kestravonsinglecurrentcustomplot.h"
#include "numberneddlewidget.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace Ui {

class VoltageAndCurrentWidget
{
public:
    QVBoxLayout *verticalLayout;
    KestravonSingleCurrentCustomPlot *widget;
    NumberNeddleWidget *widget_2;
    QLabel *lblCurrent;
    QLabel *label_2;
    QLabel *label_3;
    QLabel *lblVotage;

    void setupUi(QWidget *form)
    {
        if (form->objectName().isEmpty())
            form->setObjectName(QStringLiteral("VoltageAndCurrentWidget"));
        form->resize(1280, 800);

        verticalLayout = new QVBoxLayout(form);
        verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
        widget = new KestravonSingleCurrentCustomPlot(form);
        widget->setObjectName(QStringLiteral("widget"));
        verticalLayout->addWidget(widget);
        widget_2 = new NumberNeddleWidget(form);
        widget_2->setObjectName(QStringLiteral("widget_2"));
        verticalLayout->addWidget(widget_2);

        lblCurrent = createReadOut(QStringLiteral("lblCurrent"), QRect(1010, 50, 170, 70),
            QStringLiteral("background-color: rgb(0, 0, 0);\n"
                           "color: rgb(255, 0, 0);"));
        label_2 = createUnit(QStringLiteral("label_2"), QRect(1190, 74, 21, 41));
        label_3 = createUnit(QStringLiteral("label_3"), QRect(210, 100, 21, 41));
        lblVotage = createReadOut(QStringLiteral("lblVotage"), QRect(20, 70, 170, 70),
            QStringLiteral("background-color: rgb(0, 0, 0);\n"
                           "color: rgb(255, 255, 255);"));

        retranslateUi(form);
    }

    void retranslateUi(QWidget *form)
    {
        form->setWindowTitle(
            QCoreApplication::translate("VoltageAndCurrentWidget", "Form", nullptr));
        lblCurrent->setText(
            QCoreApplication::translate("VoltageAndCurrentWidget", "5.000", nullptr));
        label_2->setText(QCoreApplication::translate("VoltageAndCurrentWidget", "A", nullptr));
        label_3->setText(QCoreApplication::translate("VoltageAndCurrentWidget", "V", nullptr));
        lblVotage->setText(
            QCoreApplication::translate("VoltageAndCurrentWidget", "5.000", nullptr));
    }

private:
    QLabel *createReadOut(const QString &name, const QRect &geometry, const QString &style)
    {
        QLabel *label = createLabel(name, geometry);
        QFont font;
        font.setFamily(QStringLiteral("Arial"));
        font.setPointSize(46);
        label->setFont(font);
        label->setStyleSheet(style);
        return label;
    }

    QLabel *createUnit(const QString &name, const QRect &geometry)
    {
        QLabel *label = createLabel(name, geometry);
        QFont font;
        font.setPointSize(24);
        label->setFont(font);
        return label;
    }

    QLabel *createLabel(const QString &name, const QRect &geometry)
    {
        auto *label = new QLabel(widget_2);
        label->setObjectName(name);
        label->setGeometry(geometry);
        label->setAlignment(Qt::AlignCenter);
        return label;
    }
};

} // namespace Ui

namespace {

// The read-outs have room for five characters; longer numbers lose their last digits.
QString readOutText(float value)
{
    return QString::number(value, 'g', 6).left(5);
}

} // namespace

VoltageAndCurrentWidget::VoltageAndCurrentWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::VoltageAndCurrentWidget)
{
    ui->setupUi(this);
    connect(this, &VoltageAndCurrentWidget::parameterChanged, ui->widget,
        &KestravonSingleCurrentCustomPlot::onVoltageAndCurrentChanged);
    connect(this, &VoltageAndCurrentWidget::parameterChanged, this,
        &VoltageAndCurrentWidget::onParameterChanged);
}

VoltageAndCurrentWidget::~VoltageAndCurrentWidget()
{
    delete ui;
}

void VoltageAndCurrentWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

void VoltageAndCurrentWidget::onParameterChanged(float voltage, float current)
{
    ui->widget_2->onValueChanged(current);
    qDebug() << "parameterChanged" << current << geometry();
    ui->lblVotage->setText(readOutText(voltage));
    ui->lblCurrent->setText(readOutText(current));
}
