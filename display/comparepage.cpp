// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparepage.h"

#include "eventlog.h"
#include "eventmarkers.h"

#include "displaycolors.h"

#include "runloadbar.h"
#include "runview.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace {

struct Figure
{
    std::function<double(const RunTotals &)> value;
    int decimals;
};

// Duration, mean and maximum current, mean voltage, charge, energy: the columns of the table.
const QVector<Figure> &figures()
{
    static const QVector<Figure> list {
        {[](const RunTotals &t) { return t.durationSeconds(); }, 1},
        {[](const RunTotals &t) { return 1000 * t.mean(t.current()); }, 3},
        {[](const RunTotals &t) { return 1000 * t.current().max; }, 3},
        {[](const RunTotals &t) { return t.mean(t.voltage()); }, 3},
        {[](const RunTotals &t) { return t.chargeMilliampereHours(); }, 3},
        {[](const RunTotals &t) { return t.energyMilliwattHours(); }, 3},
    };
    return list;
}

QString cell(double value, double first, int decimals, bool isFirst)
{
    QString text = QString::number(value, 'f', decimals);
    if (isFirst)
        return text;
    const double delta = value - first;
    text += QStringLiteral("\nΔ %1%2").arg(delta >= 0 ? "+" : "").arg(delta, 0, 'f', decimals);
    if (first != 0)
        text += QStringLiteral(", %1%2 %")
                    .arg(delta >= 0 ? "+" : "")
                    .arg(100 * delta / first, 0, 'f', 1);
    return text;
}

} // namespace

ComparePage::ComparePage(QWidget *parent)
    : QWidget(parent)
    , m_heading(new QLabel(this))
    , m_fit(new QPushButton(this))
    , m_markers(new QToolButton(this))
    , m_copy(new QPushButton(this))
    , m_loadBar(new RunLoadBar(this))
    , m_view(new RunView(this))
    , m_table(new QTableWidget(this))
    , m_eventMarkers(new EventMarkers(m_view))
{
    m_heading->setObjectName(QStringLiteral("lblCompareHeading"));
    m_fit->setObjectName(QStringLiteral("btnCompareFit"));
    m_markers->setObjectName(QStringLiteral("btnCompareMarkers"));
    m_markers->setCheckable(true);
    m_copy->setObjectName(QStringLiteral("btnCopyTable"));
    m_table->setObjectName(QStringLiteral("tblCompare"));
    // Dark under every skin, like the live pages, so the quantities' colours read the same.
    DisplayColors::paintInstrumentBackground(this);
    m_heading->setStyleSheet(QStringLiteral("color: rgb(26, 159, 254); font-size: 16pt;"));
    m_view->setLegendShown(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->verticalHeader()->setVisible(false);
    m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setWordWrap(false);
    // The columns share whatever width the window has rather than widen it past the screen.
    m_table->setSizePolicy(QSizePolicy::Ignored, m_table->sizePolicy().verticalPolicy());
    m_heading->setWordWrap(true);

    auto *controls = new QHBoxLayout;
    controls->addWidget(m_heading, 1);
    controls->addWidget(m_fit);
    controls->addWidget(m_markers);
    controls->addWidget(m_copy);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(m_loadBar);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_table);

    connect(m_fit, &QPushButton::clicked, m_view, &RunView::fit);
    connect(m_markers, &QToolButton::clicked, m_view, &RunView::showMarkers);
    connect(m_view, &RunView::selectionChanged, this, [this] {
        m_markers->setChecked(m_view->hasSelection());
        fillTable();
        updateHeading();
    });
    connect(m_copy, &QPushButton::clicked, this,
        [this] { QApplication::clipboard()->setText(tableText()); });
    connect(m_loadBar, &RunLoadBar::sketched, m_view, &RunView::showSketch);
    connect(m_loadBar, &RunLoadBar::loaded, this, [this](const RunLoader::Runs &runs) {
        showRuns(runs);
        emit opened();
    });
    connect(m_loadBar, &RunLoadBar::failed, this, [this](const QString &message) {
        m_errorText = message;
        showRuns({});
        emit openFailed(message);
    });
    connect(m_loadBar, &RunLoadBar::cancelled, this, [this] { showRuns({}); });
    retranslate();
}

ComparePage::~ComparePage() = default;

// As on the playback page, the runs shown before go at once: the page is the new files'.
void ComparePage::open(const QStringList &fileNames)
{
    showRuns({});
    m_loadBar->start(fileNames.mid(0, MaximumRuns));
}

bool ComparePage::isLoading() const
{
    return m_loadBar->isLoading();
}

void ComparePage::showRuns(const RunLoader::Runs &runs)
{
    m_runs = runs;
    QVector<const RecordedRun *> shown;
    for (const auto &run : m_runs)
        shown.append(run.get());
    m_view->setRuns(shown);
    m_eventMarkers->clear();
    for (int i = 0; i < int(m_runs.size()); ++i)
        m_eventMarkers->add(
            *m_runs.at(i), EventLog::read(m_runs.at(i)->fileName()), RunView::runColor(i));
    fillTable();
}

void ComparePage::fillTable()
{
    m_table->setRowCount(int(m_runs.size()));
    QVector<double> first;
    const QCPRange stretch = m_view->selection();
    for (int row = 0; row < int(m_runs.size()); ++row) {
        const RunTotals totals = m_view->hasSelection()
            ? m_runs[row]->totals(stretch.lower, stretch.upper)
            : m_runs[row]->totals();
        auto *name = new QTableWidgetItem(QFileInfo(m_runs[row]->fileName()).fileName());
        name->setForeground(RunView::runColor(row));
        m_table->setItem(row, 0, name);
        for (int column = 0; column < figures().size(); ++column) {
            const Figure &figure = figures().at(column);
            const double value = figure.value(totals);
            if (row == 0)
                first.append(value);
            m_table->setItem(row, column + 1,
                new QTableWidgetItem(cell(value, first.at(column), figure.decimals, row == 0)));
        }
    }
    m_table->resizeRowsToContents();
}

QString ComparePage::tableText() const
{
    QStringList lines;
    QStringList header;
    for (int column = 0; column < m_table->columnCount(); ++column)
        header << m_table->horizontalHeaderItem(column)->text();
    lines << header.join(QLatin1Char('\t'));
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < m_table->columnCount(); ++column)
            cells
                << m_table->item(row, column)->text().replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QImage ComparePage::picture()
{
    return grab().toImage();
}

void ComparePage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void ComparePage::retranslate()
{
    m_fit->setText(tr("全部显示"));
    m_markers->setText(tr("标记"));
    m_markers->setToolTip(
        tr("在可见范围中放两条标记线，拖动它们选取一段，表中显示各记录这一段的数值"));
    m_copy->setText(tr("复制表格"));
    m_table->setColumnCount(figures().size() + 1);
    m_table->setHorizontalHeaderLabels({tr("文件"), tr("时长 (s)"), tr("平均电流 (mA)"),
        tr("最大电流 (mA)"), tr("平均电压 (V)"), tr("电荷 (mAh)"), tr("能量 (mWh)")});
    updateHeading();
}

void ComparePage::updateHeading()
{
    m_heading->setText(m_view->hasSelection() ? tr("对比：各记录自其开始计时 · 表中为选区内的数值")
                                              : tr("对比：各记录自其开始计时"));
}
