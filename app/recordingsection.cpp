// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingsection.h"

#include "appsettings.h"
#include "stopconditiontext.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

RecordingSection::RecordingSection(AppSettings *settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("recordingSection"));
    m_form = new QFormLayout(this);

    editFolder = new QLineEdit(settings->recordingsFolder(), this);
    editFolder->setObjectName(QStringLiteral("editFolder"));
    connect(editFolder, &QLineEdit::editingFinished, this, &RecordingSection::storeTypedFolder);
    btnBrowse = new QPushButton(this);
    btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    connect(btnBrowse, &QPushButton::clicked, this, &RecordingSection::browseForFolder);
    auto *folderRow = new QHBoxLayout();
    folderRow->addWidget(editFolder, 1);
    folderRow->addWidget(btnBrowse);
    labFolder = new QLabel(this);
    m_form->addRow(labFolder, folderRow);

    cmbFormat = new QComboBox(this);
    cmbFormat->setObjectName(QStringLiteral("cmbFormat"));
    cmbFormat->addItem(QStringLiteral("CSV"), QStringLiteral("csv"));
    cmbFormat->addItem(QStringLiteral("JSONL"), QStringLiteral("jsonl"));
    cmbFormat->setCurrentIndex(cmbFormat->findData(settings->recordingFormat()));
    connect(
        cmbFormat, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
            m_settings->setRecordingFormat(cmbFormat->itemData(index).toString());
        });
    m_form->addRow(new QLabel(this), cmbFormat);

    createStopCondition();
    retranslate();
}

void RecordingSection::createStopCondition()
{
    cmbStop = new QComboBox(this);
    cmbStop->setObjectName(QStringLiteral("cmbStop"));
    spinThreshold = new QDoubleSpinBox(this);
    spinThreshold->setObjectName(QStringLiteral("spinStopThreshold"));
    spinThreshold->setRange(0, 1e9);
    spinHold = new QDoubleSpinBox(this);
    spinHold->setObjectName(QStringLiteral("spinStopHold"));
    spinHold->setRange(0, 3600);
    spinHold->setDecimals(1);
    spinHold->setSuffix(QStringLiteral(" s"));
    auto *row = new QHBoxLayout();
    row->addWidget(cmbStop, 1);
    row->addWidget(spinThreshold);
    row->addWidget(spinHold);
    labStop = new QLabel(this);
    m_form->addRow(labStop, row);
    // Filled before it is connected: showing the stored choice is no new choice.
    cmbStop->addItems(StopConditionText::kindNames());
    showStopCondition();
    connect(cmbStop, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        &RecordingSection::storeStopCondition);
    for (QDoubleSpinBox *spin : {spinThreshold, spinHold})
        connect(
            spin, &QDoubleSpinBox::editingFinished, this, &RecordingSection::storeStopCondition);
}

void RecordingSection::showStopCondition()
{
    const StopCondition condition = m_settings->stopCondition();
    cmbStop->setCurrentIndex(condition.kind());
    const bool armed = condition.isArmed();
    spinThreshold->setEnabled(armed);
    spinHold->setEnabled(armed);
    // Each quantity in the unit and to the digits the meter gives it.
    const StopCondition::Kind shown = armed ? condition.kind() : StopCondition::VoltageBelow;
    spinThreshold->setDecimals(shown == StopCondition::VoltageBelow ? 2
            : shown == StopCondition::CurrentBelow                  ? 3
                                                                    : 1);
    spinThreshold->setSuffix(QLatin1Char(' ') + StopCondition::unit(shown));
    spinThreshold->setValue(condition.threshold());
    spinHold->setValue(armed ? condition.holdSeconds() : StopCondition::DefaultHoldSeconds);
}

void RecordingSection::storeStopCondition()
{
    const auto kind = StopCondition::Kind(cmbStop->currentIndex());
    const bool kindChanged = kind != m_settings->stopCondition().kind();
    // A new quantity starts from nothing: 3.5 V is no current to stop at.
    m_settings->setStopCondition(
        StopCondition(kind, kindChanged ? 0.0 : spinThreshold->value(), spinHold->value()));
    const QSignalBlocker blocker(cmbStop);
    showStopCondition();
}

// Only a folder that is there is kept: a typing slip would otherwise be found only when a
// recording cannot start. The field then shows the folder still in force.
void RecordingSection::storeTypedFolder()
{
    if (QFileInfo(editFolder->text()).isDir())
        m_settings->setRecordingsFolder(editFolder->text());
    editFolder->setText(m_settings->recordingsFolder());
}

void RecordingSection::browseForFolder()
{
    const QString folder
        = QFileDialog::getExistingDirectory(this, tr("录制文件夹"), m_settings->recordingsFolder());
    if (folder.isEmpty())
        return;
    editFolder->setText(folder);
    storeTypedFolder();
}

void RecordingSection::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void RecordingSection::retranslate()
{
    setWindowTitle(tr("录制"));
    btnBrowse->setText(tr("浏览…"));
    labFolder->setText(tr("录制文件夹"));
    if (auto *caption = qobject_cast<QLabel *>(m_form->labelForField(cmbFormat)))
        caption->setText(tr("文件格式"));
    labStop->setText(tr("自动停止"));
    const QSignalBlocker blocker(cmbStop);
    const int kind = cmbStop->currentIndex();
    cmbStop->clear();
    cmbStop->addItems(StopConditionText::kindNames());
    cmbStop->setCurrentIndex(kind);
    spinHold->setToolTip(tr("条件须持续这么久才停止录制，一个噪声样本不会结束测试"));
}
