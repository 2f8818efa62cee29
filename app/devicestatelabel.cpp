// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicestatelabel.h"

#include <QEvent>

namespace {

const char *const StateStyles[] = {
    "color: gray;", // Offline
    "color: rgb(55, 167, 255);", // Online
    "color: rgb(255, 152, 0);", // NotResponding
};
const char *const ReplayStyle = "color: rgb(170, 110, 255);";

} // namespace

DeviceStateLabel::DeviceStateLabel(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("lblDeviceState"));
    retranslate();
}

void DeviceStateLabel::setState(State state)
{
    m_state = state;
    m_refused = false;
    retranslate();
}

void DeviceStateLabel::setRefusal(const QString &systemLocation, USBSerialDevice::OpenError error)
{
    m_state = Offline;
    m_refused = true;
    m_refusedPort = systemLocation;
    m_refusal = error;
    retranslate();
}

void DeviceStateLabel::setReplaying(bool replaying)
{
    m_replaying = replaying;
    retranslate();
}

void DeviceStateLabel::retranslate()
{
    if (m_replaying) {
        setText(tr("回放中"));
        setToolTip(QString());
        setStyleSheet(QLatin1String(ReplayStyle));
        return;
    }
    const QString texts[] = {tr("设备未连接"), tr("设备已连接"), tr("设备无响应")};
    QString text = texts[m_state];
    if (m_refused)
        text += QStringLiteral("  ") + refusalText();
    setText(text);
    setToolTip(m_refused ? refusalText() + QLatin1Char('\n') + refusalHint() : QString());
    setStyleSheet(QLatin1String(StateStyles[m_state]));
}

void DeviceStateLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QLabel::changeEvent(event);
}

QString DeviceStateLabel::refusalText() const
{
    switch (m_refusal) {
    case USBSerialDevice::PermissionDenied:
        return tr("无权限访问 %1").arg(m_refusedPort);
    case USBSerialDevice::PortBusy:
        return tr("%1 被其他程序占用").arg(m_refusedPort);
    case USBSerialDevice::OtherOpenError:
        break;
    }
    return tr("无法打开 %1").arg(m_refusedPort);
}

QString DeviceStateLabel::refusalHint() const
{
    switch (m_refusal) {
    case USBSerialDevice::PermissionDenied:
        return tr("安装 udev 规则 70-ammeter.rules（见 README），或把用户加入 dialout "
                  "组并重新登录，然后重新插入电流表。");
    case USBSerialDevice::PortBusy:
        return tr("关闭占用该端口的程序，然后重新插入电流表。");
    case USBSerialDevice::OtherOpenError:
        break;
    }
    return tr("重新插入电流表。");
}
