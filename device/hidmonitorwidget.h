// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef HIDMONITORWIDGET_H
#define HIDMONITORWIDGET_H

#include <QUuid>
#include <QWidget>

class SingleShotTimer;
#ifndef Q_OS_WIN
class QSocketNotifier;
struct udev;
struct udev_monitor;
#endif

// Hidden widget that turns the platform's USB plug and unplug notifications into
// deviceInserted/deviceRemoved with a Windows-style device interface path,
// "\\?\usb#vid_xxxx&pid_yyyy#<serial>#{class guid}", lower-cased. A burst of
// notifications within 100 ms becomes one signal for each distinct path in it.
class HidMonitorWidget : public QWidget
{
    Q_OBJECT
public:
    explicit HidMonitorWidget(QWidget *parent = nullptr);

signals:
    void deviceRemoved(const QString &devicePath);
    void deviceInserted(const QString &devicePath);

protected:
#ifdef Q_OS_WIN
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    using NativeEventResult = qintptr;
#else
    using NativeEventResult = long;
#endif
    bool nativeEvent(
        const QByteArray &eventType, void *message, NativeEventResult *result) override;
#endif

private:
    void registerForNotifications();
    void noteDeviceChange(SingleShotTimer *timer, const QString &devicePath);
#ifndef Q_OS_WIN
    void onUdevEvent();
#endif

    QUuid m_classGuid;
    SingleShotTimer *m_removedTimer;
    SingleShotTimer *m_insertedTimer;
#ifndef Q_OS_WIN
    udev *m_udev = nullptr;
    udev_monitor *m_udevMonitor = nullptr;
    QSocketNotifier *m_udevNotifier = nullptr;
#endif
};

#endif // HIDMONITORWIDGET_H
