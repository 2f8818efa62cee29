// SPDX-License-Identifier: GPL-3.0-or-later
#include "replaybar.h"

#include "clocktext.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <limits>

namespace {

// The slider moves in tenths of a second, as the recordings are timed.
constexpr int stepsPerSecond = 10;

} // namespace

ReplayBar::ReplayBar(QWidget *parent)
    : QWidget(parent)
    , m_file(new QLabel(this))
    , m_pause(new QPushButton(this))
    , m_speed(new QComboBox(this))
    , m_slider(new QSlider(Qt::Horizontal, this))
    , m_position(new QLabel(this))
    , m_live(new QPushButton(this))
{
    m_pause->setObjectName(QStringLiteral("btnReplayPause"));
    m_speed->setObjectName(QStringLiteral("cmbReplaySpeed"));
    m_slider->setObjectName(QStringLiteral("sliderReplay"));
    m_position->setObjectName(QStringLiteral("lblReplayPosition"));
    m_live->setObjectName(QStringLiteral("btnBackToLive"));
    for (int factor : speeds())
        m_speed->addItem(QStringLiteral("%1×").arg(factor), factor);
    m_file->setStyleSheet(QStringLiteral("color: rgb(26, 159, 254);"));
    m_position->setStyleSheet(QStringLiteral("color: white;"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(9, 4, 9, 4);
    layout->addWidget(m_file);
    layout->addWidget(m_pause);
    layout->addWidget(m_speed);
    layout->addWidget(m_slider, 1);
    layout->addWidget(m_position);
    layout->addWidget(m_live);

    connect(m_pause, &QPushButton::clicked, this, [this] { emit pauseToggled(!m_paused); });
    connect(m_speed, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int index) { emit speedChosen(m_speed->itemData(index).toInt()); });
    connect(m_slider, &QSlider::sliderMoved, this,
        [this](int value) { emit seekRequested(double(value) / stepsPerSecond); });
    connect(m_live, &QPushButton::clicked, this, &ReplayBar::backToLive);
    retranslate();
}

const QList<int> &ReplayBar::speeds()
{
    static const QList<int> factors {1, 10, 60};
    return factors;
}

void ReplayBar::setFileName(const QString &fileName)
{
    m_file->setText(QFileInfo(fileName).fileName());
    m_speed->setCurrentIndex(0);
}

void ReplayBar::setDuration(double seconds)
{
    m_duration = seconds;
    m_slider->setRange(
        0, int(std::min(seconds * stepsPerSecond, double(std::numeric_limits<int>::max()))));
    showPosition();
}

void ReplayBar::setPosition(double seconds)
{
    m_seconds = seconds;
    // The user's hand on the slider wins over the replay's own progress.
    if (!m_slider->isSliderDown())
        m_slider->setValue(int(std::min(seconds * stepsPerSecond, double(m_slider->maximum()))));
    showPosition();
}

void ReplayBar::setPaused(bool paused)
{
    m_paused = paused;
    retranslate();
}

void ReplayBar::showPosition()
{
    m_position->setText(clockText(m_seconds) + QStringLiteral(" / ") + clockText(m_duration));
}

void ReplayBar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void ReplayBar::retranslate()
{
    m_pause->setText(m_paused ? tr("继续") : tr("暂停"));
    m_speed->setToolTip(tr("回放速度"));
    m_live->setText(tr("返回实时"));
    m_live->setToolTip(tr("结束回放，页面重新显示电流表的测量"));
}
