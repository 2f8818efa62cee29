// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicestatelabel.h"

#include "contrast.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>

namespace {

const QColor StateColours[] = {
    QColor(128, 128, 128), // Offline
    QColor(55, 167, 255), // Online
    QColor(255, 152, 0), // NotResponding
};
const QColor ReplayColour(170, 110, 255);

} // namespace

DeviceStateLabel::DeviceStateLabel(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("lblDeviceState"));
    // A new skin sets a new application palette; a label with a sheet of its own is not told,
    // so the application's own notice is watched.
    qApp->installEventFilter(this);
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
        showColour(ReplayColour);
        return;
    }
    const QString texts[] = {tr("设备未连接"), tr("设备已连接"), tr("设备无响应")};
    QString text = texts[m_state];
    if (m_refused)
        text += QStringLiteral("  ") + refusalText();
    setText(text);
    setToolTip(m_refused ? refusalText() + QLatin1Char('\n') + refusalHint() : QString());
    showColour(StateColours[m_state]);
}

// The title bar is drawn in the skin's panel colour, which is also the application's palette:
// on a light skin the state's colour is darkened just enough to stay readable there.
void DeviceStateLabel::showColour(const QColor &colour)
{
    const QColor panel = QApplication::palette().color(QPalette::Window);
    const QString sheet
        = QStringLiteral("color: %1;").arg(Contrast::readableOn(colour, panel).name());
    setStyleSheet(sheet);
}

bool DeviceStateLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        retranslate();
    return QLabel::eventFilter(watched, event);
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
