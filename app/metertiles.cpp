// SPDX-License-Identifier: GPL-3.0-or-later
#include "metertiles.h"

#include "appsettings.h"
#include "measurementfeed.h"
#include "windowmeters.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QToolButton>

MeterTiles::MeterTiles(WindowMeters *meters, AppSettings *settings, QWidget *parent)
    : QWidget(parent)
    , m_meters(meters)
    , m_settings(settings)
    , m_layout(new QHBoxLayout(this))
    , m_group(new QButtonGroup(this))
    , m_pace([this] { showReadings(); })
{
    m_layout->setContentsMargins(6, 2, 6, 2);
    m_layout->addStretch(1);
    hide();
    connect(meters, &WindowMeters::meterAdded, this, &MeterTiles::addTile);
    connect(meters, &WindowMeters::presenceChanged, this,
        [this](const QString &meter) { showTile(meter); });
    connect(meters, &WindowMeters::pickedChanged, this, [this](const QString &meter) {
        if (QToolButton *tile = m_tiles.value(meter))
            tile->setChecked(true);
    });
    connect(settings, &AppSettings::changed, this, [this](const QString &key) {
        if (key.startsWith(QLatin1String("meterNames/")))
            retranslate();
    });
}

QString MeterTiles::nameOf(const QString &meter) const
{
    const QString given = m_settings->meterName(meter);
    return given.isEmpty() ? meter : given;
}

void MeterTiles::rename(const QString &meter, const QString &name)
{
    m_settings->setMeterName(meter, name);
}

void MeterTiles::retranslate()
{
    for (auto it = m_tiles.cbegin(); it != m_tiles.cend(); ++it) {
        showTile(it.key());
        it.value()->setToolTip(tr("%1：单击在页面上显示，右键命名").arg(it.key()));
    }
}

void MeterTiles::addTile(const QString &meter)
{
    auto *tile = new QToolButton(this);
    tile->setObjectName(QStringLiteral("meterTile"));
    tile->setProperty("meter", meter);
    tile->setCheckable(true);
    tile->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tile->setMinimumWidth(120);
    tile->setContextMenuPolicy(Qt::CustomContextMenu);
    m_group->addButton(tile);
    m_layout->insertWidget(m_layout->count() - 1, tile);
    m_tiles.insert(meter, tile);
    tile->setChecked(meter == m_meters->pickedMeter());
    connect(tile, &QToolButton::clicked, this, [this, meter] { m_meters->pick(meter); });
    connect(
        tile, &QToolButton::customContextMenuRequested, this, [this, meter] { askForName(meter); });
    // Ten readings a second a meter are more than an eye reads, and each new text lays the row
    // of tiles out anew: the tiles show them at the pace of reading.
    connect(m_meters->feed(meter), &MeasurementFeed::measured, tile,
        [this, meter](const Measurement &measurement) {
            if (m_meters->isPresent(meter))
                m_readings.insert(
                    meter, QStringLiteral("%1 A").arg(measurement.current, 0, 'f', 4));
            m_pace.soon();
        });
    retranslate();
    setVisible(m_tiles.size() > 1);
}

void MeterTiles::showReadings()
{
    for (auto it = m_tiles.cbegin(); it != m_tiles.cend(); ++it)
        showTile(it.key());
}

void MeterTiles::showTile(const QString &meter)
{
    QToolButton *tile = m_tiles.value(meter);
    if (!tile)
        return;
    if (!m_meters->isPresent(meter))
        m_readings.remove(meter);
    const QString state
        = m_meters->isPresent(meter) ? m_readings.value(meter, QStringLiteral("—")) : tr("已拔出");
    tile->setText(nameOf(meter) + QStringLiteral("  ") + state);
}

void MeterTiles::askForName(const QString &meter)
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("电流表名称"),
        tr("%1 的名称（留空则用序列号）：").arg(meter), QLineEdit::Normal,
        m_settings->meterName(meter), &ok);
    if (ok)
        rename(meter, name);
}
