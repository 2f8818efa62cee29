// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingsection.h"

#include "appsettings.h"

#include <QComboBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

    retranslate();
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
}
