// SPDX-License-Identifier: GPL-3.0-or-later
#include "titlebarfitter.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QBoxLayout>
#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace {

// Steps of half a point, down to one and a half points below the bar's own font: smaller than
// that, Chinese and English labels stop being comfortable to read.
constexpr int FontSteps = 3;
constexpr qreal FontStepPoints = 0.5;
// What the title keeps of itself before the controls begin to fold: enough to tell the program
// by, where the controls are what the user came for.
constexpr int TitleKeep = 110;

QMenu *menuOf(QAbstractButton *button)
{
    if (auto *tool = qobject_cast<QToolButton *>(button))
        return tool->menu();
    if (auto *push = qobject_cast<QPushButton *>(button))
        return push->menu();
    return nullptr;
}

// A folded button in the menu: the same text, icon and state, and a click on the button itself,
// so that whatever the button does happens as if it had been pressed.
void addButtonEntry(QMenu *menu, QAbstractButton *button)
{
    if (QMenu *own = menuOf(button)) {
        QMenu *sub = menu->addMenu(button->icon(), button->text());
        sub->addActions(own->actions());
        return;
    }
    QAction *entry = menu->addAction(button->icon(), button->text());
    entry->setCheckable(button->isCheckable());
    entry->setChecked(button->isChecked());
    entry->setEnabled(button->isEnabled());
    entry->setToolTip(button->toolTip());
    QObject::connect(entry, &QAction::triggered, button, [button] { button->click(); });
}

void addComboEntry(QMenu *menu, QComboBox *combo)
{
    QMenu *sub
        = menu->addMenu(combo->toolTip().isEmpty() ? combo->currentText() : combo->toolTip());
    auto *choices = new QActionGroup(sub);
    for (int index = 0; index < combo->count(); ++index) {
        QAction *entry = sub->addAction(combo->itemIcon(index), combo->itemText(index));
        entry->setCheckable(true);
        entry->setChecked(index == combo->currentIndex());
        choices->addAction(entry);
        QObject::connect(
            entry, &QAction::triggered, combo, [combo, index] { combo->setCurrentIndex(index); });
    }
}

} // namespace

TitleBarFitter::TitleBarFitter(QWidget *titleBar, QLabel *title, QBoxLayout *toolArea)
    : QObject(titleBar)
    , m_titleBar(titleBar)
    , m_title(title)
    , m_toolArea(toolArea)
    , m_overflow(new QToolButton(titleBar))
    , m_overflowMenu(new QMenu(m_overflow))
    , m_titleFloor(title->minimumWidth())
{
    m_overflow->setObjectName(QStringLiteral("btnOverflow"));
    m_overflow->setText(QStringLiteral("»"));
    m_overflow->setPopupMode(QToolButton::InstantPopup);
    m_overflow->setMinimumHeight(40);
    m_overflow->setMenu(m_overflowMenu);
    m_overflow->hide();
    connect(m_overflowMenu, &QMenu::aboutToShow, this, &TitleBarFitter::fillOverflowMenu);
}

void TitleBarFitter::addControl(QWidget *control, int floor)
{
    m_controls.append({control, floor});
}

void TitleBarFitter::pin(QWidget *control)
{
    m_pinned.append(control);
}

bool TitleBarFitter::isWhole() const
{
    return m_folded.isEmpty() && m_title->text() == m_titleText;
}

void TitleBarFitter::fit(const QString &title, int available)
{
    m_titleText = title;
    m_overflow->setToolTip(tr("更多"));
    // The button stays last, also behind controls that others add to the area later.
    m_toolArea->removeWidget(m_overflow);
    m_toolArea->addWidget(m_overflow);

    unfoldAll();
    m_wholeWidths.clear();
    for (int step = 0; step <= FontSteps; ++step) {
        setFontStep(step);
        showTitle(-1);
        m_wholeWidths.append(neededWidth());
    }
    const QList<QWidget *> controls = foldable();
    for (QWidget *control : controls)
        fold(control);
    showTitle(0);
    m_leastWidth = neededWidth();
    refit(available);
}

void TitleBarFitter::refit(int available)
{
    if (m_wholeWidths.isEmpty())
        return;
    unfoldAll();
    // The largest font that fits whole, or else the one that needs least: where every control
    // already sits at its floor, a smaller font gains nothing and is only harder to read.
    int step = int(
        std::min_element(m_wholeWidths.cbegin(), m_wholeWidths.cend()) - m_wholeWidths.cbegin());
    for (int candidate = 0; candidate <= FontSteps; ++candidate) {
        if (m_wholeWidths.at(candidate) <= available) {
            step = candidate;
            break;
        }
    }
    setFontStep(step);
    showTitle(-1);
    if (neededWidth() <= available)
        return;

    const int titleWidth = m_title->minimumWidth();
    showTitle(std::max(std::min(TitleKeep, titleWidth), titleWidth - (neededWidth() - available)));
    QList<QWidget *> controls = foldable();
    while (neededWidth() > available && !controls.isEmpty())
        fold(controls.takeLast());
    // The title takes back what the last fold left over, or gives up the rest of itself.
    showTitle(std::max(0, m_title->minimumWidth() + available - neededWidth()));
}

// Set on every widget of the bar: under a style sheet the children no longer follow the bar's
// font once they have been polished.
void TitleBarFitter::setFontStep(int step)
{
    if (step != m_fontStep) {
        m_fontStep = step;
        QFont font;
        if (step > 0) {
            font = m_titleBar->parentWidget() ? m_titleBar->parentWidget()->font() : QFont();
            font.setPointSizeF(font.pointSizeF() - step * FontStepPoints);
        }
        const QList<QWidget *> widgets = m_titleBar->findChildren<QWidget *>();
        for (QWidget *widget : widgets)
            widget->setFont(font);
    }
    applyFloors();
}

void TitleBarFitter::applyFloors()
{
    for (const Control &control : std::as_const(m_controls))
        control.widget->setMinimumWidth(
            std::max(control.floor, control.widget->sizeHint().width()));
}

int TitleBarFitter::neededWidth() const
{
    const QList<QLayout *> layouts = m_titleBar->findChildren<QLayout *>();
    for (QLayout *layout : layouts)
        layout->invalidate();
    return m_titleBar->minimumSizeHint().width();
}

// The whole title for a negative width, else the title shortened to that width with the whole
// of it in the tooltip.
void TitleBarFitter::showTitle(int width)
{
    m_title->setText(m_titleText);
    m_title->setMinimumWidth(m_titleFloor);
    m_title->setMinimumWidth(std::max(m_titleFloor, m_title->sizeHint().width()));
    if (width < 0 || width >= m_title->minimumWidth()) {
        m_title->setToolTip(QString());
        return;
    }
    const int margins
        = m_title->sizeHint().width() - m_title->fontMetrics().horizontalAdvance(m_titleText);
    m_title->setMinimumWidth(width);
    m_title->setText(m_title->fontMetrics().elidedText(
        m_titleText, Qt::ElideRight, std::max(0, width - margins)));
    m_title->setToolTip(m_titleText.trimmed());
}

// In the order the area shows them; a control its owner has hidden is left alone.
QList<QWidget *> TitleBarFitter::foldable() const
{
    QList<QWidget *> controls;
    for (int index = 0; index < m_toolArea->count(); ++index) {
        QWidget *control = m_toolArea->itemAt(index)->widget();
        if (control && control != m_overflow && !m_pinned.contains(control)
            && (!control->isHidden() || m_folded.contains(control)))
            controls.append(control);
    }
    return controls;
}

void TitleBarFitter::unfoldAll()
{
    for (QWidget *control : std::as_const(m_folded))
        control->show();
    m_folded.clear();
    m_overflow->hide();
}

void TitleBarFitter::fold(QWidget *control)
{
    control->hide();
    m_folded.prepend(control);
    m_overflow->show();
}

void TitleBarFitter::fillOverflowMenu()
{
    m_overflowMenu->clear();
    for (QWidget *control : std::as_const(m_folded)) {
        // A tool bar's actions stand as a group of their own; the menu folds the separators at
        // its ends.
        if (auto *toolBar = qobject_cast<QToolBar *>(control)) {
            m_overflowMenu->addSeparator();
            m_overflowMenu->addActions(toolBar->actions());
            m_overflowMenu->addSeparator();
        } else if (auto *button = qobject_cast<QAbstractButton *>(control))
            addButtonEntry(m_overflowMenu, button);
        else if (auto *combo = qobject_cast<QComboBox *>(control))
            addComboEntry(m_overflowMenu, combo);
        else if (auto *label = qobject_cast<QLabel *>(control))
            m_overflowMenu->addAction(label->text())->setEnabled(false);
    }
}
