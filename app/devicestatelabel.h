// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DEVICESTATELABEL_H
#define DEVICESTATELABEL_H

#include "usbserialdevice.h"

#include <QLabel>

// The title bar's word on the meter: not connected, connected, or connected but
// silent, each in its colour; and when a port was refused, why, with the fix in
// the tooltip. It says the same after a language switch.
class DeviceStateLabel : public QLabel
{
    Q_OBJECT
public:
    enum State { Offline, Online, NotResponding };

    explicit DeviceStateLabel(QWidget *parent = nullptr);

    State state() const { return m_state; }
    // Each clears a refusal shown before.
    void setState(State state);
    // Shown beside "not connected" until the meter comes online or goes offline again.
    void setRefusal(const QString &systemLocation, USBSerialDevice::OpenError error);
    // A recorded run fed through the pages takes the label's word until it ends, so nobody
    // takes its values for the meter's; the meter's own state is kept meanwhile.
    void setReplaying(bool replaying);

    void retranslate();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showColour(const QColor &colour);
    QString refusalText() const;
    QString refusalHint() const;

    State m_state = Offline;
    bool m_refused = false;
    bool m_replaying = false;
    QString m_refusedPort;
    USBSerialDevice::OpenError m_refusal = USBSerialDevice::OtherOpenError;
};

#endif // DEVICESTATELABEL_H
