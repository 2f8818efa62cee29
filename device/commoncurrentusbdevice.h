// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef COMMONCURRENTUSBDEVICE_H
#define COMMONCURRENTUSBDEVICE_H

#include "measurement.h"
#include "usbserialdevice.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <atomic>
#include <functional>

class QSerialPort;
class QTimer;
namespace MeterProtocol {
struct Reply;
}

// The current meter: once its port is open, checks that a meter answers, reads
// its calibration value, then polls a measurement every 100 ms and emits each
// one as volts, amperes and watts. The poll timer, the exchange and the clock
// live on the worker thread with the port, so a busy GUI thread delays only what
// it draws: each measurement is timed as its reply is decoded, and the signals
// below are emitted from there.
class CommonCurrentUSBDevice : public USBSerialDevice
{
    Q_OBJECT
public:
    explicit CommonCurrentUSBDevice(QObject *parent = nullptr);
    ~CommonCurrentUSBDevice() override;

    QString productName() const override;
    static QString meterProductName();
    int baudRate() const override;

    // Frames thrown away since construction: a CRC that did not match, or a length byte no
    // reply has. Any thread.
    int droppedFrames() const { return m_droppedFrames; }

signals:
    // Each measurement the meter sent, with its time and the meter's name; parameterChanged()
    // follows with the same values for the pages.
    void measured(const Measurement &measurement);
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

public:
    static const int NotRespondingMs = 1000;
    // The clock the silence is counted on, in ms. A test sets one it holds still and moves, so
    // that a silence just short of NotRespondingMs and one just past it are seen for what they
    // are, whatever the machine's load. Set before the port opens.
    void setSilenceClock(std::function<qint64()> nowMs) { m_nowMs = std::move(nowMs); }

private:
    QByteArray writeAndRead(const QByteArray &bytes, int timeoutMs, int settleMs);
    bool stopRequested() const;
    void pause(int ms) const;
    void waitForReply(QSerialPort *port, int timeoutMs) const;
    void noteMeasurement();
    void poll();
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
    // Worker thread only, as everything down to m_received: created when the meter answered,
    // deleted with the port.
    QTimer *m_pollTimer = nullptr;
    // Set while an exchange runs; the poll skips its request meanwhile.
    bool m_busy;
    // Its USB serial number, or the port's name: what each measurement names.
    QString m_meter;
    // Set on the GUI thread before the worker's last close runs; ends a handshake under way.
    std::atomic<bool> m_tearingDown {false};
    // Worker thread only: bytes received that do not yet make a whole frame.
    QByteArray m_received;
    std::atomic<int> m_droppedFrames {0};
    QElapsedTimer m_clock;
    std::function<qint64()> m_nowMs;
    // When the last valid measurement came, on m_nowMs's clock.
    qint64 m_lastMeasurementMs = 0;
    bool m_responding = true;
};

#endif // COMMONCURRENTUSBDEVICE_H
