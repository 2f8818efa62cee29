// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainframelesswindow.h"
#include "quihelper.h"
#include "quimessagebox.h"
#include "titleglyphs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>

namespace {

const QRect NormalGeometry(100, 80, 520, 300);

// The frame as the program's windows use it: the form built by initForm and its
// outer layout placed as the window's content.
class FrameWindow : public MainAppWindow
{
public:
    FrameWindow()
    {
        initForm();
        setCentralWidget(new QWidget);
        centralWidget()->setLayout(verticalLayout1);
        setGeometry(NormalGeometry);
    }
};

template<typename T = QWidget>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

void sendMouse(QWidget *target, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
    Qt::MouseButtons buttons)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

QString sheetOf(const QString &path)
{
    QFile file(path);
    return file.open(QFile::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

} // namespace

// The window framework: skins and the frameless window with its drawn title bar.
class TestFrameWindow : public QObject
{
    Q_OBJECT

private slots:
    void applySkin_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QColor>("palette");
        QTest::newRow("0") << 0 << ":/qss/silvery.css" << QColor(0xF5F5F5);
        QTest::newRow("10 from the menu") << 10 << ":/qss/psblack.css" << QColor(0x444444);
        QTest::newRow("15") << 15 << ":/qss/darkblack2.css" << QColor(0x0E141B);
        QTest::newRow("16 falls back to blue") << 16 << ":/qss/blue.css" << QColor(0xCFDDEE);
    }
    void applySkin()
    {
        QFETCH(int, index);
        QFETCH(QString, sheet);
        FrameWindow window;
        const QList<QAction *> menu = child(&window, "btnMenu")->actions();
        QCOMPARE(menu.size(), 16);
        if (index < menu.size())
            menu.at(index)->trigger();
        else
            QUIHelper::applySkin(index);
        QCOMPARE(qApp->styleSheet(), sheetOf(sheet));
        QTEST(qApp->palette().color(QPalette::Window), "palette");
    }

    void titleDoubleClick_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("maxButtonHidden");
        QTest::addColumn<bool>("maximises");
        QTest::newRow("title bar") << "widgetTitle" << false << true;
        QTest::newRow("content area") << "widget" << false << false;
        QTest::newRow("title bar without max button") << "widgetTitle" << true << false;
    }
    void titleDoubleClick()
    {
        QFETCH(QString, target);
        QFETCH(bool, maxButtonHidden);
        QFETCH(bool, maximises);
        FrameWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *maxButton = child<QPushButton>(&window, "btnMenu_Max");
        maxButton->setHidden(maxButtonHidden);
        auto *clicked = window.findChild<QWidget *>(target);
        const QPoint point = clicked->mapToGlobal(QPoint(5, 5));
        const QRect big = maximises ? window.screen()->availableGeometry() : NormalGeometry;
        // Double-clicked twice: maximised and back, each time with the matching glyph.
        for (const QRect &geometry : {big, NormalGeometry}) {
            sendMouse(clicked, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
            sendMouse(clicked, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
            QTRY_COMPARE(window.geometry(), geometry);
            QCOMPARE(maxButton->text(),
                QString(geometry == NormalGeometry ? TitleGlyphs::GlyphMaximise
                                                   : TitleGlyphs::GlyphRestore));
        }
    }

    // Dragged from an edge or corner by hand, as on a platform that leaves the resize to the
    // window; never below the minimum, the opposite edges staying where they are.
    void edgeResize_data()
    {
        QTest::addColumn<QPoint>("grip");
        QTest::addColumn<QPoint>("moved");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QRect>("resized");
        const QRect n = NormalGeometry;
        QTest::newRow("right edge") << QPoint(n.width() - 2, 150) << QPoint(40, 9)
                                    << int(Qt::SizeHorCursor) << n.adjusted(0, 0, 40, 0);
        QTest::newRow("bottom left corner")
            << QPoint(1, n.height() - 1) << QPoint(-30, 20) << int(Qt::SizeBDiagCursor)
            << n.adjusted(-30, 0, 0, 20);
        QTest::newRow("top edge past the minimum")
            << QPoint(200, 0) << QPoint(0, 500) << int(Qt::SizeVerCursor)
            << n.adjusted(0, n.height() - 250, 0, 0);
        // Inside, the press drags the window instead.
        QTest::newRow("inside: moved, not resized")
            << QPoint(200, 150) << QPoint(40, 40) << -1 << n.translated(40, 40);
    }
    void edgeResize()
    {
        QFETCH(QPoint, grip);
        QFETCH(QPoint, moved);
        QFETCH(int, cursor);
        QFETCH(QRect, resized);
        FrameWindow window;
        window.setMinimumSize(300, 250);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWindow *handle = window.windowHandle();
        QTest::mouseMove(handle, grip);
        QTRY_COMPARE(QGuiApplication::overrideCursor()
                ? int(QGuiApplication::overrideCursor()->shape())
                : -1,
            cursor);
        const QPoint target = handle->mapToGlobal(grip + moved);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(handle, grip + moved);
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, handle->mapFromGlobal(target));
        QTRY_COMPARE(window.geometry(), resized);
        QTest::mouseMove(handle, QPoint(window.width() / 2, window.height() / 2));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void dragging_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("moved");
        QTest::newRow("left drag") << int(Qt::LeftButton) << QPoint(-15, 33);
        QTest::newRow("right drag") << int(Qt::RightButton) << QPoint();
    }
    void dragging()
    {
        QFETCH(int, button);
        QFETCH(QPoint, moved);
        const auto pressed = Qt::MouseButton(button);
        FrameWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget *grabbed = child(&window, "widgetTitle");
        const QPoint start = window.pos();
        const QPoint grip = grabbed->mapToGlobal(QPoint(50, 12));
        sendMouse(grabbed, QEvent::MouseButtonPress, grip, pressed, pressed);
        sendMouse(grabbed, QEvent::MouseMove, grip + QPoint(-15, 33), Qt::NoButton, pressed);
        QTRY_COMPARE(window.pos(), start + moved);
        sendMouse(grabbed, QEvent::MouseButtonRelease, grip, pressed, Qt::NoButton);
        // After the release the mouse moves freely again.
        sendMouse(grabbed, QEvent::MouseMove, grip + QPoint(60, 60), Qt::NoButton, Qt::NoButton);
        QCOMPARE(window.pos(), start + moved);
    }

    // Each title-bar button does its own job and no other's.
    void titleBarButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<bool>("visible");
        QTest::newRow("minimise") << "btnMenu_Min" << true << false << true;
        QTest::newRow("maximise") << "btnMenu_Max" << false << true << true;
        QTest::newRow("close") << "btnMenu_Close" << false << false << false;
    }
    void titleBarButtons()
    {
        QFETCH(QString, button);
        FrameWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy closing(&window, &MainAppWindow::closing);
        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
        QTEST(bool(window.windowState() & Qt::WindowMinimized), "minimised");
        QTEST(window.geometry() == window.screen()->availableGeometry(), "maximised");
        QTEST(window.isVisible(), "visible");
        QCOMPARE(closing.count(), window.isVisible() ? 0 : 1);
    }

    // A countdown names the seconds left and closes when they run out.
    void messageBoxCountdown()
    {
        QUIHelper::showInfo(QStringLiteral("info"), 2);
        QUIMessageBox *box = QUIMessageBox::instance();
        const auto *countdown = child<QLabel>(box, "labTime");
        QStringList shown;
        for (int tick = 0; tick < 4 && box->isVisible(); ++tick) {
            shown << countdown->text();
            QMetaObject::invokeMethod(box, "checkSec");
        }
        QCOMPARE(shown, QStringList({"关闭倒计时 2 s", "关闭倒计时 1 s"}));
        QVERIFY(!box->isVisible());
    }
    // Each kind of message box shows its title, its picture and its buttons, and each
    // button gives its answer: YES answers yes, NO and the close button no.
    void messageBoxKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<int>("answer");
        const auto row = [](const char *name, int kind, const char *title, const char *picture,
                             const char *pressed, int answer) {
            QTest::newRow(name) << kind << QString::fromUtf8(title) << QString(picture)
                                << QString(pressed) << answer;
        };
        row("information, YES", 0, "提示", "msg_info", "btnOk", QMessageBox::Yes);
        row("question, YES", 1, "询问", "msg_question", "btnOk", QMessageBox::Yes);
        row("question, NO", 1, "询问", "msg_question", "btnCancel", QMessageBox::No);
        row("question, close", 1, "询问", "msg_question", "btnMenu_Close", QMessageBox::No);
        row("error, close", 2, "错误", "msg_error", "btnMenu_Close", QMessageBox::No);
    }
    void messageBoxKinds()
    {
        QFETCH(int, kind);
        QFETCH(QString, picture);
        QFETCH(QString, pressed);
        QUIMessageBox box;
        box.setMessage(QStringLiteral("message"), kind);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTEST(child<QLabel>(&box, "labTitle")->text(), "title");
        QVERIFY(child<QLabel>(&box, "labIcoMain")->styleSheet().contains(picture));
        QVERIFY(child<QPushButton>(&box, "btnOk")->isVisible());
        QCOMPARE(child<QPushButton>(&box, "btnCancel")->isVisible(), kind == 1);
        QTimer::singleShot(
            0, &box, [&box, pressed] { child<QPushButton>(&box, qPrintable(pressed))->click(); });
        QTEST(box.exec(), "answer");
    }
};

QTEST_MAIN(TestFrameWindow)
#include "tst_framewindow.moc"
