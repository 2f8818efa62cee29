// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISPLAYSECTION_H
#define DISPLAYSECTION_H

#include <QWidget>

class AppSettings;
class QCheckBox;
class QFormLayout;
class QSpinBox;

// How much of the live curve one screen width shows, and whether the needles sweep.
class DisplaySection : public QWidget
{
    Q_OBJECT

public:
    explicit DisplaySection(AppSettings *settings, QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();

    QFormLayout *m_form = nullptr;
    QSpinBox *spinCurveSeconds = nullptr;
    QCheckBox *chkReduceMotion = nullptr;
};

#endif // DISPLAYSECTION_H
