// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef VOLTAGEANDCURRENTWIDGET_H
#define VOLTAGEANDCURRENTWIDGET_H

#include <QWidget>

namespace Ui {
class VoltageAndCurrentWidget;
}

// The current curve above a painted needle dial, with large voltage and current read-outs laid
// over the dial. An embedding page feeds it through parameterChanged.
class VoltageAndCurrentWidget : public QWidget
{
    Q_OBJECT

public:
    explicit VoltageAndCurrentWidget(QWidget *parent = nullptr);
    ~VoltageAndCurrentWidget() override;

signals:
    void parameterChanged(float voltage, float current);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void onParameterChanged(float voltage, float current);

private:
    Ui::VoltageAndCurrentWidget *ui;
};

#endif // VOLTAGEANDCURRENTWIDGET_H
