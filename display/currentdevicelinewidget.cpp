// SPDX-License-Identifier: GPL-3.0-or-later
#include "currentdevicelinewidget.h"

#include "commoncurrentusbdevice.h"
#include "contrast.h"
#include "displaycolors.h"
#include "groupboxframerefresher.h"
#include "kestravonsinglecurrentcustomplot.h"
#include "textfit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The widest reading a tile is made room for, so that its size holds still as the numbers change.
const QString WidestTile = QStringLiteral("00.000 W");
// The rounded corners keep a little of the tile from its text.
constexpr int TilePadding = 16;

QFont tileFont()
{
    QFont font(QStringLiteral("Arial"), 72);
    font.setWeight(QFont::Bold);
    return font;
}

} // namespace

namespace Ui {

class CurrentDeviceLineWidget
{
public:
    QVBoxLayout *verticalLayout;
    QGroupBox *groupBox;
    QVBoxLayout *verticalLayout_2;
    KestravonSingleCurrentCustomPlot *customPlotWidget;
    QHBoxLayout *horizontalLayout;
    QLabel *lblVoltage;
    QLabel *lblCurrent;
    QLabel *lblPower;

    void setupUi(QWidget *form)
    {
        form->resize(1367, 581);
        verticalLayout = new QVBoxLayout(form);
        verticalLayout->setObjectName("verticalLayout");
        verticalLayout->setSpacing(10);
        verticalLayout->setContentsMargins(0, 0, 0, 0);
        setupPlot(form);
        setupTiles(form);
        verticalLayout->setStretch(0, 20);
        verticalLayout->setStretch(1, 1);
        retranslateUi(form);
    }

    void retranslateUi(QWidget *form)
    {
        form->setWindowTitle(QCoreApplication::translate("CurrentDeviceLineWidget", "Form"));
        groupBox->setTitle(QString());
        for (QLabel *label : {lblVoltage, lblCurrent, lblPower})
            label->setText(QCoreApplication::translate("CurrentDeviceLineWidget", "TextLabel"));
    }

private:
    void setupPlot(QWidget *form)
    {
        groupBox = new QGroupBox(form);
        groupBox->setObjectName("groupBox");
        groupBox->setStyleSheet("border: 2px solid #333B48;\n"
                                "border-radius: 20px; /* 圆角半径为10px */\n");
        GroupBoxFrameRefresher::install(groupBox);
        verticalLayout_2 = new QVBoxLayout(groupBox);
        verticalLayout_2->setObjectName("verticalLayout_2");
        customPlotWidget = new KestravonSingleCurrentCustomPlot(groupBox);
        customPlotWidget->setObjectName("customPlotWidget");
        customPlotWidget->setStyleSheet(QString());
        verticalLayout_2->addWidget(customPlotWidget);
        verticalLayout->addWidget(groupBox);
    }

    void setupTiles(QWidget *form)
    {
        horizontalLayout = new QHBoxLayout();
        horizontalLayout->setObjectName("horizontalLayout");
        horizontalLayout->setSpacing(24);
        lblVoltage = createTile(form, "lblVoltage");
        lblCurrent = createTile(form, "lblCurrent");
        lblPower = createTile(form, "lblPower");
        verticalLayout->addLayout(horizontalLayout);
    }

    QLabel *createTile(QWidget *form, const char *name)
    {
        auto *label = new QLabel(form);
        label->setObjectName(name);
        label->setMinimumHeight(116);
        label->setFont(tileFont());
        label->setAlignment(Qt::AlignCenter);
        // The three tiles share the page's width equally anyway; left to their texts, the
        // placeholder shown before the first reading would ask some 1,400 pixels at this size
        // and push the window past a laptop's screen.
        label->setSizePolicy(QSizePolicy::Ignored, label->sizePolicy().verticalPolicy());
        horizontalLayout->addWidget(label);
        return label;
    }
};

} // namespace Ui

CurrentDeviceLineWidget::CurrentDeviceLineWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CurrentDeviceLineWidget)
{
    ui->setupUi(this);
    for (QLabel *label : {ui->lblVoltage, ui->lblCurrent, ui->lblPower})
        label->setFixedHeight(116);
    ui->lblVoltage->installEventFilter(this);
    DisplayColors::paintInstrumentBackground(this);
    setQuantityColours(QuantityColours::standard());
}

CurrentDeviceLineWidget::~CurrentDeviceLineWidget()
{
    delete ui;
}

// The tiles' numbers were white, which reads at under 2 : 1 on the light green voltage tile;
// black or white by each tile's own lightness keeps them readable in any colour.
void CurrentDeviceLineWidget::setQuantityColours(const QuantityColours &colours)
{
    const auto paintTile = [](QLabel *tile, const QColor &colour) {
        tile->setStyleSheet(QStringLiteral("background-color: %1; color: %2; border-radius: 10px;")
                                .arg(colour.name(), Contrast::textOn(colour).name()));
    };
    paintTile(ui->lblVoltage, colours.voltage);
    paintTile(ui->lblCurrent, colours.current);
    paintTile(ui->lblPower, colours.power);
    ui->customPlotWidget->setCurveColour(colours.curve);
}

bool CurrentDeviceLineWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->lblVoltage && event->type() == QEvent::Resize)
        fitTiles();
    return QWidget::eventFilter(watched, event);
}

// The tiles share the page's width; in a window narrowed beside another their numbers shrink
// together, rather than lose their first and last digits, until the widest reading fits.
void CurrentDeviceLineWidget::fitTiles()
{
    const QFont font = TextFit::scaled(
        tileFont(), TextFit::scale(tileFont(), WidestTile, ui->lblVoltage->width() - TilePadding));
    for (QLabel *label : {ui->lblVoltage, ui->lblCurrent, ui->lblPower})
        label->setFont(font);
}

void CurrentDeviceLineWidget::setCurveSecondsPerWidth(int seconds)
{
    ui->customPlotWidget->setSecondsPerWidth(seconds);
}

void CurrentDeviceLineWidget::setDevice(CommonCurrentUSBDevice *device)
{
    this->device = device;
    connect(device, &CommonCurrentUSBDevice::parameterChanged, this,
        &CurrentDeviceLineWidget::onParameterChanged);
}

void CurrentDeviceLineWidget::onParameterChanged(float voltage, float current, float power)
{
    ui->customPlotWidget->onVoltageAndCurrentChanged(voltage, current);
    ui->lblCurrent->setText(QString::number(double(current), 'f', 3) + " A");
    ui->lblVoltage->setText(QString::number(double(voltage), 'f', 3) + " V");
    ui->lblPower->setText(QString::number(double(power), 'f', 2) + " W");
}
