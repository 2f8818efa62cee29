// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef COMMONCURRENTUSBDEVICE_H
#define COMMONCURRENTUSBDEVICE_H

#include "usbserialdevice.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <atomic>

class QSerialPort;
namespace MeterProtocol {
struct Reply;
}

// The current meter: once its port is open, checks that a meter answers, reads
// its calibration value, then polls a measurement every 100 ms and emits each
// one as volts, amperes and watts. The poll timer lives on the GUI thread with
// this object; everything that touches the port runs on the worker thread, so
// the signals below are emitted from there.
class CommonCurrentUSBDevice : public USBSerialDevice
{
    Q_OBJECT
public:
    explicit CommonCurrentUSBDevice(QObject *parent = nullptr);
    ~CommonCurrentUSBDevice() override;

    QString productName() const override;
    static QString meterProductName();
    int baudRate() const override;

    // Frames thrown away since construction because their CRC did not match. Any thread.
    int droppedFrames() const { return m_droppedFrames; }

signals:
    void parameterChanged(float voltage, float current, float power);
    void currentCheckValueChanged(ushort value);
    void deviceOffline();
    void deviceOnline();
    // Online, but no valid measurement for NotRespondingMs: the last values are stale. The
    // next valid measurement brings deviceResponding() just before its parameterChanged().
    void deviceNotResponding();
    void deviceResponding();
    void setParameterSuccessed();
    void commandErrored();

public slots:
    bool handShake();
    void afterOpenInit() override;
    void onSerialReadyRead() override;
    void closeImpl() override;
    void writeAndWaitImpl(const QByteArray &bytes) override;

protected:
    void timerEvent(QTimerEvent *event) override;

public:
    static const int NotRespondingMs = 1000;

private:
    QByteArray writeAndRead(const QByteArray &bytes, int timeoutMs, int settleMs);
    bool stopRequested() const;
    void pause(int ms) const;
    void waitForReply(QSerialPort *port, int timeoutMs) const;
    void noteMeasurement();
    void checkResponding();
    static QByteArray readAvailable(QSerialPort *port);
    bool waitForHandShake();
    void readCalibration();
    void takeCalibration(quint16 value, const char *operation);
    void emitReply(const MeterProtocol::Reply &reply);
    void startPoll();
    void stopPoll();

    quint16 m_currentCheckValue;
    bool m_autoPoll;
    int m_pollInterval;
    int m_pollTimerId;
    // Written by the exchange on the worker thread, read by the poll on the GUI thread.
    std::atomic<bool> m_busy;
    // Set on the GUI thread before the worker's last close runs; ends a handshake under way.
    std::atomic<bool> m_tearingDown {false};
    // Worker thread only: bytes received that do not yet make a whole frame.
    QByteArray m_received;
    std::atomic<int> m_droppedFrames {0};
    QElapsedTimer m_clock;
    // When the last valid measurement came, on m_clock; written by the worker, read by the poll.
    std::atomic<qint64> m_lastMeasurementMs {0};
    std::atomic<bool> m_responding {true};
};

#endif // COMMONCURRENTUSBDEVICE_H
