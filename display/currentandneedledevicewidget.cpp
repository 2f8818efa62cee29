// SPDX-License-Identifier: GPL-3.0-or-later
#include "currentandneedledevicewidget.h"

#include "commoncurrentusbdevice.h"
#include "contrast.h"
#include "displaycolors.h"
#include "graphicsviewitemwidget.h"
#include "groupboxframerefresher.h"
#include "kestravonsinglecurrentcustomplot.h"
#include "needlegraphicsellipsenotextitem.h"
#include "textfit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QGraphicsScene>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int CaptionPoints = 24;
constexpr int ValuePoints = 42;
constexpr int UnitPoints = 32;
constexpr int UnitWidth = 52;
// A label's own margins around its text.
constexpr int CellMargin = 8;
// The widest reading the grid is made room for, so that it does not shrink and grow as the
// numbers change.
const QString WidestReading = QStringLiteral("00.000");

QFont pointFont(int pointSize, bool bold = false, qreal scale = 1.0)
{
    QFont font;
    font.setPointSizeF(pointSize * scale);
    if (bold)
        font.setWeight(QFont::Bold);
    return font;
}

} // namespace

namespace Ui {

class CurrentAndNeedleDeviceWidget
{
public:
    QVBoxLayout *verticalLayout;
    QGroupBox *groupBox;
    QHBoxLayout *horizontalLayout;
    KestravonSingleCurrentCustomPlot *customPlotWidget;
    QVBoxLayout *verticalLayout_2;
    QVBoxLayout *verticalLayout_4;
    QLabel *label;
    QLabel *label_2;
    GraphicsViewItemWidget *viewWidget;
    QFrame *frame;
    QGridLayout *gridLayout_2;
    QLabel *lblVoltage_2;
    QLabel *lblCurrent_2;
    QLabel *lblPower_2;
    QLabel *lblVoltage;
    QLabel *label_9;
    QLabel *lblCurrent;
    QLabel *label_8;
    QLabel *lblPower;
    QLabel *label_11;

    void setupUi(QWidget *form)
    {
        form->resize(1222, 689);
        verticalLayout = new QVBoxLayout(form);
        verticalLayout->setObjectName("verticalLayout");
        groupBox = new QGroupBox(form);
        groupBox->setObjectName("groupBox");
        groupBox->setStyleSheet("border: 2px solid #333B48;\n"
                                "border-radius: 20px; /* 圆角半径为10px */\n");
        GroupBoxFrameRefresher::install(groupBox);
        horizontalLayout = new QHBoxLayout(groupBox);
        horizontalLayout->setObjectName("horizontalLayout");
        customPlotWidget = new KestravonSingleCurrentCustomPlot(groupBox);
        customPlotWidget->setObjectName("customPlotWidget");
        customPlotWidget->setStyleSheet(QString());
        horizontalLayout->addWidget(customPlotWidget, 10);
        setupColumn();
        horizontalLayout->addLayout(verticalLayout_2, 8);
        verticalLayout->addWidget(groupBox);
        setPlaceholders();
        retranslateUi(form);
    }

    // Set once: the clock and the values change with the run and the meter, and a
    // language switch must leave them as they are instead of showing these again.
    void setPlaceholders()
    {
        label->setText(QStringLiteral("00:00:00"));
        for (QLabel *value : {lblVoltage, lblCurrent, lblPower})
            value->setText(QStringLiteral("TextLabel"));
    }

    void retranslateUi(QWidget *form)
    {
        form->setWindowTitle(QCoreApplication::translate("CurrentAndNeedleDeviceWidget", "Form"));
        groupBox->setTitle(QString());
        label_2->setText(QCoreApplication::translate(
            "CurrentAndNeedleDeviceWidget", "Current and voltage detection table"));
        label_11->setText(QCoreApplication::translate("CurrentAndNeedleDeviceWidget", "W"));
        label_8->setText(QCoreApplication::translate("CurrentAndNeedleDeviceWidget", "A"));
        label_9->setText(QCoreApplication::translate("CurrentAndNeedleDeviceWidget", "V"));
        lblVoltage_2->setText(
            QCoreApplication::translate("CurrentAndNeedleDeviceWidget", "当前电压"));
        lblCurrent_2->setText(
            QCoreApplication::translate("CurrentAndNeedleDeviceWidget", "当前电流"));
        lblPower_2->setText(
            QCoreApplication::translate("CurrentAndNeedleDeviceWidget", "当前功率"));
    }

private:
    void setupColumn()
    {
        verticalLayout_2 = new QVBoxLayout();
        verticalLayout_2->setObjectName("verticalLayout_2");
        verticalLayout_2->setSpacing(0);
        verticalLayout_2->setContentsMargins(9, 9, 9, 9);
        setupHeading();
        viewWidget = new GraphicsViewItemWidget(groupBox);
        viewWidget->setObjectName("viewWidget");
        viewWidget->setStyleSheet("border: none;");
        verticalLayout_2->addWidget(viewWidget, 6);
        setupValueGrid();
    }

    void setupHeading()
    {
        verticalLayout_4 = new QVBoxLayout();
        verticalLayout_4->setObjectName("verticalLayout_4");
        label = createHeadingLabel("label", 42, Qt::AlignHCenter | Qt::AlignBottom);
        label_2 = createHeadingLabel("label_2", 12, Qt::AlignHCenter | Qt::AlignTop);
        verticalLayout_2->addLayout(verticalLayout_4, 2);
    }

    QLabel *createHeadingLabel(const char *name, int pointSize, Qt::Alignment alignment)
    {
        auto *heading = new QLabel(groupBox);
        heading->setObjectName(name);
        heading->setFont(pointFont(pointSize));
        heading->setStyleSheet("color: rgb(26, 159, 254);\nborder: none;");
        heading->setAlignment(alignment);
        verticalLayout_4->addWidget(heading);
        return heading;
    }

    void setupValueGrid()
    {
        frame = new QFrame(groupBox);
        frame->setObjectName("frame");
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setFrameShadow(QFrame::Raised);
        frame->setStyleSheet("border: none;");
        gridLayout_2 = new QGridLayout(frame);
        gridLayout_2->setObjectName("gridLayout_2");
        gridLayout_2->setSpacing(0);
        gridLayout_2->setContentsMargins(0, 0, 0, 0);

        lblVoltage_2 = createCaption("lblVoltage_2", 0);
        lblCurrent_2 = createCaption("lblCurrent_2", 2);
        lblPower_2 = createCaption("lblPower_2", 4);
        lblVoltage = createValue("lblVoltage", 0);
        label_9 = createUnit("label_9", 1);
        lblCurrent = createValue("lblCurrent", 2);
        label_8 = createUnit("label_8", 3);
        lblPower = createValue("lblPower", 4);
        label_11 = createUnit("label_11", 5);
        verticalLayout_2->addWidget(frame, 2);
    }

    QLabel *createCaption(const char *name, int column)
    {
        auto *caption
            = createCell(name, pointFont(CaptionPoints, true), Qt::AlignLeft | Qt::AlignBottom);
        caption->setFixedHeight(32);
        // Over its unit's column too, which holds nothing in the caption's row: the English
        // captions are twice as long as the Chinese.
        gridLayout_2->addWidget(caption, 0, column, 1, 2);
        return caption;
    }

    QLabel *createValue(const char *name, int column)
    {
        auto *value = createCell(name, pointFont(ValuePoints, true), Qt::AlignLeft | Qt::AlignTop);
        value->setMaximumHeight(60);
        gridLayout_2->addWidget(value, 1, column);
        return value;
    }

    QLabel *createUnit(const char *name, int column)
    {
        auto *unit = createCell(name, pointFont(UnitPoints), Qt::AlignCenter);
        unit->setFixedWidth(UnitWidth);
        gridLayout_2->addWidget(unit, 1, column);
        return unit;
    }

    QLabel *createCell(const char *name, const QFont &font, Qt::Alignment alignment)
    {
        auto *cell = new QLabel(frame);
        cell->setObjectName(name);
        cell->setFont(font);
        cell->setAlignment(alignment);
        // Its width is the grid's to give: the texts are fitted to it (fitValueGrid).
        cell->setSizePolicy(QSizePolicy::Ignored, cell->sizePolicy().verticalPolicy());
        return cell;
    }
};

} // namespace Ui

CurrentAndNeedleDeviceWidget::CurrentAndNeedleDeviceWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CurrentAndNeedleDeviceWidget)
{
    ui->setupUi(this);
    ui->viewWidget->scene()->setBackgroundBrush(DisplayColors::background);
    // The dial's hub is laid out for this rectangle; the view scales it to the column.
    needleItem = new NeedleGraphicsEllipseNoTextItem(0, 0, 1892, 990, nullptr);
    needleItem->setPen(QPen(Qt::red, 4));
    needleItem->setBrush(Qt::NoBrush);
    ui->viewWidget->setItem(needleItem);
    needleItem->update();
    ui->frame->installEventFilter(this);
    DisplayColors::paintInstrumentBackground(this);
    setQuantityColours(QuantityColours::standard());
}

// Captions and units are text in the quantity's colour on the dark page, lightened where a
// colour is too dark to read there; the numbers sit on a box of the colour in black or white,
// never in the skin's text colour, which a dark skin makes light on the light green box.
void CurrentAndNeedleDeviceWidget::setQuantityColours(const QuantityColours &colours)
{
    const auto paint = [](const QColor &colour, QLabel *caption, QLabel *value, QLabel *unit) {
        const QString text
            = QStringLiteral("color: %1;")
                  .arg(Contrast::readableOn(colour, DisplayColors::background).name());
        caption->setStyleSheet(text);
        unit->setStyleSheet(text);
        value->setStyleSheet(QStringLiteral("background-color: %1; color: %2; border-radius: 6px;")
                                 .arg(colour.name(), Contrast::textOn(colour).name()));
    };
    paint(colours.voltage, ui->lblVoltage_2, ui->lblVoltage, ui->label_9);
    paint(colours.current, ui->lblCurrent_2, ui->lblCurrent, ui->label_8);
    paint(colours.power, ui->lblPower_2, ui->lblPower, ui->label_11);
    ui->customPlotWidget->setCurveColour(colours.curve);
}

void CurrentAndNeedleDeviceWidget::setCurveSecondsPerWidth(int seconds)
{
    ui->customPlotWidget->setSecondsPerWidth(seconds);
}

void CurrentAndNeedleDeviceWidget::setReduceMotion(bool reduce)
{
    needleItem->setReduceMotion(reduce);
}

CurrentAndNeedleDeviceWidget::~CurrentAndNeedleDeviceWidget()
{
    delete ui;
}

void CurrentAndNeedleDeviceWidget::setDevice(CommonCurrentUSBDevice *device)
{
    this->device = device;
    connect(device, &CommonCurrentUSBDevice::parameterChanged, this,
        &CurrentAndNeedleDeviceWidget::onParameterChanged);
}

bool CurrentAndNeedleDeviceWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->frame && event->type() == QEvent::Resize)
        fitValueGrid();
    return QWidget::eventFilter(watched, event);
}

// In a window narrowed beside another the column is too narrow for the grid at its full size:
// rather than cut the numbers, the grid's texts shrink together until its widest reading fits.
void CurrentAndNeedleDeviceWidget::fitValueGrid()
{
    QLabel *const captions[] = {ui->lblVoltage_2, ui->lblCurrent_2, ui->lblPower_2};
    QLabel *const values[] = {ui->lblVoltage, ui->lblCurrent, ui->lblPower};
    QLabel *const units[] = {ui->label_9, ui->label_8, ui->label_11};
    const int third = ui->frame->width() / 3 - CellMargin;
    const int column = third - UnitWidth;
    qreal scale = 1.0;
    for (int i = 0; i < 3; ++i) {
        const QString reading
            = values[i]->text().size() > WidestReading.size() ? values[i]->text() : WidestReading;
        scale = std::min({scale, TextFit::scale(pointFont(ValuePoints, true), reading, column),
            TextFit::scale(pointFont(CaptionPoints, true), captions[i]->text(), third)});
    }
    for (int i = 0; i < 3; ++i) {
        captions[i]->setFont(pointFont(CaptionPoints, true, scale));
        values[i]->setFont(pointFont(ValuePoints, true, scale));
        units[i]->setFont(pointFont(UnitPoints, false, scale));
        units[i]->setFixedWidth(qRound(UnitWidth * scale));
    }
}

void CurrentAndNeedleDeviceWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        // The captions of the other language may be longer than the grid was fitted for.
        fitValueGrid();
    }
    QWidget::changeEvent(event);
}

void CurrentAndNeedleDeviceWidget::showClock(const QString &text)
{
    ui->label->setText(text);
}

void CurrentAndNeedleDeviceWidget::onParameterChanged(float voltage, float current, float power)
{
    ui->customPlotWidget->onVoltageAndCurrentChanged(voltage, current);
    ui->lblCurrent->setText(QString::number(double(current), 'f', 3));
    ui->lblVoltage->setText(QString::number(double(voltage), 'f', 3));
    ui->lblPower->setText(QString::number(double(power), 'f', 2));
    // The dial through the page too, so that whatever the page follows, the meter or a replay in
    // its place, moves it.
    needleItem->onParameterChanged(voltage, current, power);
}
