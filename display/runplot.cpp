// SPDX-License-Identifier: GPL-3.0-or-later
#include "runplot.h"

#include <qcustomplot.h>

#include <cmath>
#include <limits>

namespace {

const int Width = 1400;
const int Height = 900;

void styleAxis(QCPAxis *axis, const QColor &axisColor, const QColor &color, const QString &label)
{
    axis->setLabel(label);
    axis->setLabelColor(color);
    axis->setTickLabelColor(color);
    axis->setBasePen(QPen(axisColor));
    axis->setTickPen(QPen(axisColor));
    axis->setSubTickPen(QPen(axisColor));
    axis->grid()->setPen(QPen(axisColor, 1, Qt::DotLine));
}

// A measurement with a gap on either side has no line to show it: it gets a dot.
void addLonePoints(QCustomPlot &plot, QCPGraph *curve, const QVector<float> &values)
{
    QCPGraph *dots = plot.addGraph(curve->keyAxis(), curve->valueAxis());
    dots->setPen(curve->pen());
    dots->setLineStyle(QCPGraph::lsNone);
    dots->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 6));
    const auto missing
        = [&values](int i) { return i < 0 || i >= values.size() || std::isnan(values.at(i)); };
    for (int i = 0; i < values.size(); ++i) {
        if (missing(i - 1) && missing(i + 1))
            dots->addData(curve->data()->at(i)->key, double(values.at(i)));
    }
}

// One quantity in a strip of its own: on a shared scale, power at a steady
// voltage would lie right on top of the current.
void addStrip(QCustomPlot &plot, QCPAxisRect *rect, QCPMarginGroup *margins,
    const RunPlot::Colors &colors, const QVector<double> &keys, const QVector<float> &values,
    const QColor &color, const QString &label)
{
    rect->setBackground(colors.background);
    rect->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    QCPAxis *time = rect->axis(QCPAxis::atBottom);
    QCPAxis *value = rect->axis(QCPAxis::atLeft);
    auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
    ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss\nyyyy-MM-dd"));
    time->setTicker(ticker);
    styleAxis(time, colors.axis, Qt::lightGray, QString());
    styleAxis(value, colors.axis, color, label);

    QCPGraph *graph = plot.addGraph(time, value);
    graph->setPen(QPen(color, 1.5));
    graph->setData(keys, QVector<double>(values.begin(), values.end()), true);
    addLonePoints(plot, graph, values);
    if (keys.isEmpty())
        time->setRange(QDateTime::currentSecsSinceEpoch(), 1, Qt::AlignCenter);
    else
        time->setRange(keys.first(), qMax(keys.last(), keys.first() + 1));
    // A little room at either end, so a lone first or last dot is seen whole.
    time->scaleRange(1.02);
    // From zero up: a current is read against none at all.
    bool found = false;
    const QCPRange range = graph->getValueRange(found);
    value->setRange(0, found ? qMax(range.upper * 1.1, 1e-3) : 1);
}

QCPTextElement *addText(QCustomPlot &plot, const QString &text, int pointSize)
{
    auto *element
        = new QCPTextElement(&plot, text, QFont(QStringLiteral("Liberation Mono"), pointSize));
    element->setTextColor(Qt::lightGray);
    element->setMargins(QMargins(12, 6, 12, 6));
    return element;
}

} // namespace

RunPlot::RunPlot(const Colors &colors)
    : m_colors(colors)
{ }

void RunPlot::add(const Measurement &measurement, bool gapBefore)
{
    const double seconds = measurement.time.toMSecsSinceEpoch() / 1000.0;
    if (gapBefore) {
        // QCustomPlot ends a line at a missing value.
        const float missing = std::numeric_limits<float>::quiet_NaN();
        m_seconds << (m_seconds.last() + seconds) / 2;
        m_current << missing;
        m_power << missing;
    }
    m_seconds << seconds;
    m_current << float(measurement.current);
    m_power << float(measurement.power);
}

bool RunPlot::save(const QString &fileName, const QString &caption)
{
    QCustomPlot plot;
    plot.setBackground(m_colors.background);
    QCPLayoutGrid *layout = plot.plotLayout();
    auto *margins = new QCPMarginGroup(&plot);
    auto *powerRect = new QCPAxisRect(&plot);
    layout->addElement(1, 0, powerRect);
    addStrip(plot, plot.axisRect(), margins, m_colors, m_seconds, m_current, m_colors.current,
        QStringLiteral("current (A)"));
    addStrip(plot, powerRect, margins, m_colors, m_seconds, m_power, m_colors.power,
        QStringLiteral("power (W)"));

    const QString span = m_seconds.isEmpty()
        ? QStringLiteral("no measurements")
        : QStringLiteral("%1 to %2")
              .arg(QDateTime::fromMSecsSinceEpoch(qint64(m_seconds.first() * 1000))
                       .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                  QDateTime::fromMSecsSinceEpoch(qint64(m_seconds.last() * 1000))
                      .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    // One time scale under both strips is enough.
    plot.xAxis->setTickLabels(false);
    layout->insertRow(0);
    layout->addElement(0, 0, addText(plot, QStringLiteral("ammeter-log, %1").arg(span), 12));
    QCPTextElement *captionText = addText(plot, caption, 10);
    captionText->setTextFlags(Qt::AlignLeft | Qt::AlignVCenter);
    layout->addElement(3, 0, captionText);

    if (!plot.savePng(fileName, Width, Height)) {
        m_errorString = QStringLiteral("cannot write the picture %1").arg(fileName);
        return false;
    }
    return true;
}
