#include "devicepath.h"

#include <QtTest>

class TestDevicePath : public QObject
{
    Q_OBJECT
private slots:
    void parsesWindowsDeviceInterfacePaths_data();
    void parsesWindowsDeviceInterfacePaths();
    void keyPutsVendorAboveProduct();
};

void TestDevicePath::parsesWindowsDeviceInterfacePaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<quint32>("key");
    QTest::addColumn<QString>("serial");

    const QString guid = QStringLiteral("{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
    QTest::newRow("meter, lower case")
        << QString("\\\\?\\usb#vid_303a&pid_1001#0123456789ab#" + guid) << true
        << quint32(0x303A1001) << QString("0123456789ab");
    QTest::newRow("serial kept as written")
        << QString("\\\\?\\usb#vid_0483&pid_5740#AbC123#" + guid) << true << quint32(0x04835740)
        << QString("AbC123");
    // Windows spells the prefixes in capitals; they are only stripped in lower case,
    // which is why the notification widget lower-cases the path first.
    QTest::newRow("upper-case prefixes do not read")
        << QString("\\\\?\\USB#VID_303A&PID_1001#0123456789AB#" + guid.toUpper()) << true
        << quint32(0) << QString("0123456789AB");
    QTest::newRow("upper-case hex digits read")
        << QString("\\\\?\\usb#vid_28E9&pid_018A#X1#" + guid) << true << quint32(0x28E9018A)
        << QString("X1");
    QTest::newRow("interface of a composite device")
        << QString("\\\\?\\usb#vid_303a&pid_1001&mi_00#6&1a2b3c&0&0000#" + guid) << false
        << quint32(0xDEADBEEF) << QString("untouched");
    QTest::newRow("no vid part") << QString("\\\\?\\hid#abc&def#serial#" + guid) << false
                                 << quint32(0xDEADBEEF) << QString("untouched");
    QTest::newRow("no serial part") << QString("\\\\?\\usb#vid_303a&pid_1001") << true
                                    << quint32(0x303A1001) << QString("untouched");
    QTest::newRow("empty serial part") << QString("\\\\?\\usb#vid_303a&pid_1001##" + guid) << true
                                       << quint32(0x303A1001) << QString();
    QTest::newRow("unreadable hex") << QString("\\\\?\\usb#vid_zz&pid_1001#s1#" + guid) << true
                                    << quint32(0x00001001) << QString("s1");
    QTest::newRow("nothing readable")
        << QString("\\\\?\\usb#vid_&pid_#s1#" + guid) << true << quint32(0) << QString("s1");
    QTest::newRow("empty path") << QString() << false << quint32(0xDEADBEEF)
                                << QString("untouched");
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

void TestDevicePath::keyPutsVendorAboveProduct()
{
    QCOMPARE(usbIdentifierKey(0x303A, 0x1001), quint32(0x303A1001));
    QCOMPARE(usbIdentifierKey(0x0403, 0x6001), quint32(0x04036001));
    QCOMPARE(usbIdentifierKey(0x0483, 0x15740), quint32(0x04835740));
}

QTEST_GUILESS_MAIN(TestDevicePath)
#include "tst_devicepath.moc"
