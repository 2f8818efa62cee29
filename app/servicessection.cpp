// SPDX-License-Identifier: GPL-3.0-or-later
#include "servicessection.h"

#include "appsettings.h"
#include "brokersettings.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ServicesSection::ServicesSection(AppSettings *settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("servicesSection"));
    m_form = new QFormLayout(this);

    chkMqtt = new QCheckBox(this);
    chkMqtt->setObjectName(QStringLiteral("chkMqtt"));
    chkMqtt->setChecked(settings->mqttEnabled());
    connect(chkMqtt, &QCheckBox::toggled, this, [this](bool on) {
        m_settings->setMqttEnabled(on);
        showProblem();
    });
    m_form->addRow(chkMqtt);

    editMqttUrl = new QLineEdit(settings->mqttUrl(), this);
    editMqttUrl->setObjectName(QStringLiteral("editMqttUrl"));
    editMqttUrl->setPlaceholderText(QStringLiteral("mqtt://broker:1883/lab"));
    connect(editMqttUrl, &QLineEdit::editingFinished, this, &ServicesSection::storeTypedUrl);
    labMqttUrl = new QLabel(this);
    m_form->addRow(labMqttUrl, editMqttUrl);

    editPasswordFile = new QLineEdit(settings->mqttPasswordFile(), this);
    editPasswordFile->setObjectName(QStringLiteral("editPasswordFile"));
    connect(editPasswordFile, &QLineEdit::editingFinished, this,
        &ServicesSection::storeTypedPasswordFile);
    btnBrowsePasswordFile = new QPushButton(this);
    btnBrowsePasswordFile->setObjectName(QStringLiteral("btnBrowsePasswordFile"));
    connect(btnBrowsePasswordFile, &QPushButton::clicked, this,
        &ServicesSection::browseForPasswordFile);
    auto *fileRow = new QHBoxLayout();
    fileRow->addWidget(editPasswordFile, 1);
    fileRow->addWidget(btnBrowsePasswordFile);
    labPasswordFile = new QLabel(this);
    m_form->addRow(labPasswordFile, fileRow);

    labMqttProblem = new QLabel(this);
    labMqttProblem->setObjectName(QStringLiteral("labMqttProblem"));
    labMqttProblem->setWordWrap(true);
    m_form->addRow(labMqttProblem);

    retranslate();
}

// As typed, so that a slip can be corrected where it was made; publishing
// stays off until the address is right, and the line below says why.
void ServicesSection::storeTypedUrl()
{
    m_settings->setMqttUrl(editMqttUrl->text());
    showProblem();
}

void ServicesSection::storeTypedPasswordFile()
{
    m_settings->setMqttPasswordFile(editPasswordFile->text());
    showProblem();
}

void ServicesSection::browseForPasswordFile()
{
    const QString fileName = QFileDialog::getOpenFileName(
        this, tr("密码文件"), QFileInfo(m_settings->mqttPasswordFile()).path());
    if (fileName.isEmpty())
        return;
    editPasswordFile->setText(fileName);
    storeTypedPasswordFile();
}

void ServicesSection::showProblem()
{
    BrokerSettings broker;
    QString problem;
    if (!m_settings->mqttEnabled())
        problem.clear();
    else if (!broker.parseUrl(m_settings->mqttUrl()).isEmpty())
        problem = tr("代理地址应为 mqtt://主机[:端口]/前缀 或 mqtts://主机[:端口]/前缀，"
                     "不含用户名和密码；在改正之前不发布。");
    else if (!m_settings->mqttPasswordFile().isEmpty()
        && !broker.readPasswordFile(m_settings->mqttPasswordFile()).isEmpty())
        problem = tr("无法读取密码文件：第一行应为用户名，第二行为密码；在改正之前不发布。");
    labMqttProblem->setText(problem);
    labMqttProblem->setVisible(!problem.isEmpty());
}

void ServicesSection::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void ServicesSection::retranslate()
{
    setWindowTitle(tr("服务"));
    chkMqtt->setText(tr("把测量值发布到 MQTT 代理"));
    labMqttUrl->setText(tr("代理地址"));
    labPasswordFile->setText(tr("密码文件"));
    btnBrowsePasswordFile->setText(tr("浏览…"));
    showProblem();
}
