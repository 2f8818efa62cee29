// SPDX-License-Identifier: GPL-3.0-or-later
#include "titlebarfitter.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Steps of half a point, down to one and a half points below the bar's own font: smaller than
// that, Chinese and English labels stop being comfortable to read.
constexpr int FontSteps = 3;
constexpr qreal FontStepPoints = 0.5;

} // namespace

TitleBarFitter::TitleBarFitter(QWidget *titleBar, QLabel *title)
    : m_titleBar(titleBar)
    , m_title(title)
    , m_titleFloor(title->minimumWidth())
{ }

void TitleBarFitter::addControl(QWidget *control, int floor)
{
    m_controls.append({control, floor});
}

void TitleBarFitter::setOverflowControl(QWidget *control)
{
    m_overflow = control;
}

int TitleBarFitter::fit(const QString &title, int available)
{
    m_title->setText(title);
    m_title->setToolTip(QString());

    // The largest font that fits, or else the one that needs least. Where every control
    // already sits at its floor, a smaller font gains nothing and is only harder to read.
    int best = 0;
    int bestNeeded = std::numeric_limits<int>::max();
    for (int step = 0; step <= FontSteps && bestNeeded > available; ++step) {
        setFontStep(step);
        if (neededWidth() < bestNeeded) {
            best = step;
            bestNeeded = neededWidth();
        }
    }
    setFontStep(best);
    if (neededWidth() <= available)
        return neededWidth();

    // The title gives way before the view switch, which the user needs to reach.
    if (m_title->minimumWidth() < neededWidth() - available && m_overflow)
        m_overflow->setMinimumWidth(0);
    const int missing = neededWidth() - available;
    if (missing > 0)
        elideTitle(title, std::max(0, m_title->minimumWidth() - missing));
    return neededWidth();
}

// Set on every widget of the bar: under a style sheet the children no longer follow the bar's
// font once they have been polished.
void TitleBarFitter::setFontStep(int step)
{
    m_title->setMinimumWidth(m_titleFloor);
    QFont font;
    if (step > 0) {
        font = m_titleBar->parentWidget() ? m_titleBar->parentWidget()->font() : QFont();
        font.setPointSizeF(font.pointSizeF() - step * FontStepPoints);
    }
    const QList<QWidget *> widgets = m_titleBar->findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        widget->setFont(font);
    applyFloors();
}

void TitleBarFitter::applyFloors()
{
    for (const Control &control : std::as_const(m_controls))
        control.widget->setMinimumWidth(
            std::max(control.floor, control.widget->sizeHint().width()));
    m_title->setMinimumWidth(std::max(m_titleFloor, m_title->sizeHint().width()));
}

int TitleBarFitter::neededWidth() const
{
    const QList<QLayout *> layouts = m_titleBar->findChildren<QLayout *>();
    for (QLayout *layout : layouts)
        layout->invalidate();
    return m_titleBar->minimumSizeHint().width();
}

void TitleBarFitter::elideTitle(const QString &title, int width)
{
    const int margins
        = m_title->sizeHint().width() - m_title->fontMetrics().horizontalAdvance(title);
    m_title->setMinimumWidth(width);
    m_title->setText(
        m_title->fontMetrics().elidedText(title, Qt::ElideRight, std::max(0, width - margins)));
    m_title->setToolTip(title.trimmed());
}
