// SPDX-License-Identifier: GPL-3.0-or-later
#include "staleshade.h"

#include <QEvent>
#include <QPainter>

namespace {

// The pages' own background, over three fifths of what they show.
const QColor Veil(0x0E, 0x14, 0x1B, 150);

} // namespace

StaleShade::StaleShade(QWidget *covered)
    : QWidget(covered->parentWidget())
    , m_covered(covered)
{
    setObjectName(QStringLiteral("staleShade"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    covered->installEventFilter(this);
    hide();
}

void StaleShade::setStale(bool stale)
{
    setGeometry(m_covered->geometry());
    raise();
    setVisible(stale);
}

bool StaleShade::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_covered && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        setGeometry(m_covered->geometry());
    return QWidget::eventFilter(watched, event);
}

void StaleShade::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter(this).fillRect(rect(), Veil);
}
