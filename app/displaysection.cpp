// SPDX-License-Identifier: GPL-3.0-or-later
#include "displaysection.h"

#include "appsettings.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

DisplaySection::DisplaySection(AppSettings *settings, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("displaySection"));
    m_form = new QFormLayout(this);

    spinCurveSeconds = new QSpinBox(this);
    spinCurveSeconds->setObjectName(QStringLiteral("spinCurveSeconds"));
    spinCurveSeconds->setRange(0, AppSettings::maximumCurveSeconds());
    spinCurveSeconds->setValue(settings->curveSecondsPerWidth());
    connect(spinCurveSeconds, QOverload<int>::of(&QSpinBox::valueChanged), settings,
        &AppSettings::setCurveSecondsPerWidth);
    m_form->addRow(new QLabel(this), spinCurveSeconds);

    chkReduceMotion = new QCheckBox(this);
    chkReduceMotion->setObjectName(QStringLiteral("chkReduceMotion"));
    chkReduceMotion->setChecked(settings->reduceMotion());
    connect(chkReduceMotion, &QCheckBox::toggled, settings, &AppSettings::setReduceMotion);
    m_form->addRow(chkReduceMotion);

    retranslate();
}

void DisplaySection::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void DisplaySection::retranslate()
{
    setWindowTitle(tr("显示"));
    if (auto *caption = qobject_cast<QLabel *>(m_form->labelForField(spinCurveSeconds)))
        caption->setText(tr("实时曲线每屏宽秒数"));
    spinCurveSeconds->setSpecialValueText(tr("自动（按宽度）"));
    spinCurveSeconds->setSuffix(tr(" 秒"));
    chkReduceMotion->setText(tr("减少动画：指针直接跳到每个读数，不再摆动"));
}
