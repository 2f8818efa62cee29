#include "devicepath.h"

#include <QtTest>

class TestDevicePath : public QObject
{
    Q_OBJECT
private slots:
    void parsesWindowsDeviceInterfacePaths_data();
    void parsesWindowsDeviceInterfacePaths();
};

void TestDevicePath::parsesWindowsDeviceInterfacePaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<quint32>("key");
    QTest::addColumn<QString>("serial");

    const QString guid = QStringLiteral("#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
    const auto row
        = [](const char *name, const QString &path, bool parsed, quint32 key,
              const QString &serial) { QTest::newRow(name) << path << parsed << key << serial; };
    const QString untouched = QStringLiteral("untouched");
    row("meter", "\\\\?\\usb#vid_303a&pid_1001#0123456789ab" + guid, true, 0x303A1001,
        "0123456789ab");
    row("serial kept as written", "\\\\?\\usb#vid_0483&pid_5740#AbC123" + guid, true, 0x04835740,
        "AbC123");
    // Windows spells the prefixes in capitals; they are only stripped in lower case,
    // which is why the notification widget lower-cases the path first.
    row("upper-case prefixes do not read",
        "\\\\?\\USB#VID_303A&PID_1001#0123456789AB" + guid.toUpper(), true, 0, "0123456789AB");
    row("upper-case hex digits read", "\\\\?\\usb#vid_28E9&pid_018A#X1" + guid, true, 0x28E9018A,
        "X1");
    row("interface of a composite device",
        "\\\\?\\usb#vid_303a&pid_1001&mi_00#6&1a2b3c&0&0000" + guid, false, 0xDEADBEEF, untouched);
    row("no vid part", "\\\\?\\hid#abc&def#serial" + guid, false, 0xDEADBEEF, untouched);
    row("no serial part", "\\\\?\\usb#vid_303a&pid_1001", true, 0x303A1001, untouched);
    row("empty serial part", "\\\\?\\usb#vid_303a&pid_1001#" + guid, true, 0x303A1001, "");
    row("unreadable hex", "\\\\?\\usb#vid_zz&pid_1001#s1" + guid, true, 0x00001001, "s1");
    row("empty path", QString(), false, 0xDEADBEEF, untouched);
}

void TestDevicePath::parsesWindowsDeviceInterfacePaths()
{
    QFETCH(QString, path);
    QFETCH(bool, parsed);
    QFETCH(quint32, key);
    QFETCH(QString, serial);

    quint32 gotKey = 0xDEADBEEF;
    QString gotSerial = QStringLiteral("untouched");
    QCOMPARE(parseDevicePath(path, gotKey, gotSerial), parsed);
    QCOMPARE(gotKey, key);
    QCOMPARE(gotSerial, serial);
}

QTEST_GUILESS_MAIN(TestDevicePath)
#include "tst_devicepath.moc"
