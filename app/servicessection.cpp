// SPDX-License-Identifier: GPL-3.0-or-later
#include "servicessection.h"

#include "appsettings.h"
#include "brokersettings.h"
#include "windowpublisher.h"

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

    labPasswordFile = new QLabel(this);
    editPasswordFile = addFileRow(QStringLiteral("editPasswordFile"), settings->mqttPasswordFile(),
        &AppSettings::setMqttPasswordFile);
    labCaFile = new QLabel(this);
    editCaFile = addFileRow(
        QStringLiteral("editCaFile"), settings->mqttCaFile(), &AppSettings::setMqttCaFile);
    m_form->addRow(labPasswordFile, editPasswordFile->parentWidget());
    m_form->addRow(labCaFile, editCaFile->parentWidget());

    labMqttProblem = new QLabel(this);
    labMqttProblem->setObjectName(QStringLiteral("labMqttProblem"));
    labMqttProblem->setWordWrap(true);
    m_form->addRow(labMqttProblem);

    labMqttStatus = new QLabel(this);
    labMqttStatus->setObjectName(QStringLiteral("labMqttStatus"));
    labMqttStatus->setWordWrap(true);
    labMqttStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_form->addRow(labMqttStatus);

    retranslate();
}

void ServicesSection::follow(WindowPublisher *publisher)
{
    m_publisher = publisher;
    connect(publisher, &WindowPublisher::statusChanged, this, &ServicesSection::showStatus);
    showStatus();
}

// A line edit for a file name and its "浏览…" button, in a row of their own.
QLineEdit *ServicesSection::addFileRow(
    const QString &name, const QString &fileName, void (AppSettings::*store)(const QString &))
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *edit = new QLineEdit(fileName, row);
    edit->setObjectName(name);
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, store] {
        (m_settings->*store)(edit->text());
        showProblem();
    });
    auto *browse = new QPushButton(row);
    connect(
        browse, &QPushButton::clicked, this, [this, edit, store] { browseForFile(edit, store); });
    m_browseButtons << browse;
    layout->addWidget(edit, 1);
    layout->addWidget(browse);
    return edit;
}

// As typed, so that a slip can be corrected where it was made; publishing
// stays off until the address is right, and the line below says why.
void ServicesSection::storeTypedUrl()
{
    m_settings->setMqttUrl(editMqttUrl->text());
    showProblem();
}

void ServicesSection::browseForFile(QLineEdit *edit, void (AppSettings::*store)(const QString &))
{
    const QString fileName
        = QFileDialog::getOpenFileName(this, QString(), QFileInfo(edit->text()).path());
    if (fileName.isEmpty())
        return;
    edit->setText(fileName);
    (m_settings->*store)(fileName);
    showProblem();
}

void ServicesSection::showProblem()
{
    BrokerSettings broker;
    QStringList lines;
    switch (m_settings->mqttEnabled() ? WindowPublisher::readBroker(m_settings, &broker)
                                      : WindowPublisher::Problem::None) {
    case WindowPublisher::Problem::None:
        break;
    case WindowPublisher::Problem::Url:
        lines << tr("代理地址应为 mqtt://主机[:端口]/前缀 或 mqtts://主机[:端口]/前缀，"
                    "不含用户名和密码；在改正之前不发布。");
        break;
    case WindowPublisher::Problem::PasswordFile:
        lines << tr("无法读取密码文件：第一行应为用户名，第二行为密码；在改正之前不发布。");
        break;
    case WindowPublisher::Problem::CaFile:
        lines << tr("无法读取 CA 证书文件 %1；在改正之前不发布。").arg(broker.caFile);
        break;
    }
    if (m_settings->mqttEnabled() && broker.passwordFileOpenToOthers())
        lines << tr("其他用户可以读取密码文件 %1：请用 chmod 600 %1 使其仅归您所有。")
                     .arg(broker.passwordFile);
    if (m_settings->mqttEnabled() && broker.credentialsInClear())
        lines << tr("用户名和密码将以明文发往 %1；mqtts:// 代理可以保护它们。").arg(broker.url);
    labMqttProblem->setText(lines.join(QLatin1Char('\n')));
    labMqttProblem->setVisible(!lines.isEmpty());
}

void ServicesSection::showStatus()
{
    const QString status = m_publisher ? m_publisher->statusText() : QString();
    labMqttStatus->setText(status);
    labMqttStatus->setVisible(!status.isEmpty());
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
    labCaFile->setText(tr("CA 证书"));
    editCaFile->setPlaceholderText(tr("mqtts:// 时使用；留空则用系统的证书"));
    for (QPushButton *browse : qAsConst(m_browseButtons))
        browse->setText(tr("浏览…"));
    showProblem();
    showStatus();
}
