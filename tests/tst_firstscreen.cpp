// SPDX-License-Identifier: GPL-3.0-or-later
// The first screen as a user meets it, on the screen size this run was given: the window
// inside the screen with its buttons, the title bar's texts whole where there is room, and
// zeros on the needle page however late the window is first painted.

#include "commoncurrentusbdevice.h"
#include "imagecheck.h"
#include "mainwindow.h"
#include "quihelper.h"

#include <QAbstractButton>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QToolBar>
#include <QTranslator>
#include <QtTest>

class tst_FirstScreen : public QObject
{
    Q_OBJECT

private slots:
    void titleBarFitsTheScreen_data();
    void titleBarFitsTheScreen();
    void needleShowsZeroWhenFirstPaintedLate();

private:
    // As the program starts: the stored language's translation, the title bar given the
    // window title, the skin, then the window shown.
    static void start(MainWindow &window, const QString &language)
    {
        auto *translator = new QTranslator(&window);
        QVERIFY(translator->load(":/languages/" + language + ".qm"));
        QCoreApplication::installTranslator(translator);
        QCoreApplication::processEvents();
        window.setTitle(window.windowTitle());
        QUIHelper::applySkin(15);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
};

void tst_FirstScreen::titleBarFitsTheScreen_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("Chinese") << "zh";
    QTest::newRow("English") << "en";
}

void tst_FirstScreen::titleBarFitsTheScreen()
{
    QFETCH(QString, language);
    MainWindow window;
    QSignalSpy zero(
        window.findChild<CommonCurrentUSBDevice *>(), &CommonCurrentUSBDevice::parameterChanged);
    start(window, language);
    QVERIFY(!zero.isEmpty() || zero.wait());
    const QRect area = window.screen()->availableGeometry();
    const QString name = QString("firstscreen-%1-%2x%3")
                             .arg(language)
                             .arg(window.screen()->size().width() * window.devicePixelRatio())
                             .arg(window.screen()->size().height() * window.devicePixelRatio());
    ImageCheck::save(window.grab().toImage(), name);

    QVERIFY2(area.contains(window.frameGeometry()), qPrintable(name));
    auto *close = window.findChild<QWidget *>("btnMenu_Close");
    QVERIFY(area.contains(QRect(close->mapToGlobal(QPoint()), close->size())));

    // On a full-HD screen every text is whole; narrower, only the title and the view tool
    // bar may give way, the title with its whole text in the tooltip.
    const bool roomy = window.screen()->size().width() * window.devicePixelRatio() >= 1920;
    auto *title = window.findChild<QLabel *>("labTitle");
    QCOMPARE(title->text() == window.windowTitle(), roomy || title->toolTip().isEmpty());
    if (!title->toolTip().isEmpty())
        QCOMPARE(title->toolTip(), window.windowTitle().trimmed());
    for (QWidget *control : title->parentWidget()->findChildren<QWidget *>()) {
        if (!control->isVisible() || control == title
            || control->objectName().startsWith("btnMenu"))
            continue;
        if (!roomy
            && (control->inherits("QToolBar") || control->parentWidget()->inherits("QToolBar")))
            continue;
        auto *button = qobject_cast<QAbstractButton *>(control);
        auto *label = qobject_cast<QLabel *>(control);
        if ((button && !button->text().isEmpty()) || (label && !label->text().isEmpty())
            || qobject_cast<QToolBar *>(control))
            QVERIFY2(control->width() >= control->sizeHint().width(),
                qPrintable(name + ": " + control->objectName() + " cut"));
    }
}

void tst_FirstScreen::needleShowsZeroWhenFirstPaintedLate()
{
    MainWindow late;
    QSignalSpy zero(
        late.findChild<CommonCurrentUSBDevice *>(), &CommonCurrentUSBDevice::parameterChanged);
    QVERIFY(zero.wait());
    start(late, "zh");

    MainWindow early;
    start(early, "zh");
    emit early.findChild<CommonCurrentUSBDevice *>()->parameterChanged(0, 0, 0);
    // The early window was fitted while its values still held their wider placeholders.
    late.resize(early.size());

    auto needlePage = [](MainWindow &window) {
        return ImageCheck::grab(window.findChild<QWidget *>("widget"));
    };
    QTRY_VERIFY(needlePage(late) == needlePage(early));
    ImageCheck::save(needlePage(late), "firstscreen-needle-zero");
}

QTEST_MAIN(tst_FirstScreen)
#include "tst_firstscreen.moc"
