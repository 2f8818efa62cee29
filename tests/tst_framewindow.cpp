#include "imagecheck.h"
#include "mainframelesswindow.h"
#include "quihelper.h"
#include "titleglyphs.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char *const CloseChildArgument = "--close-child";
const QRect NormalGeometry(100, 80, 520, 300);

// The frame as the program's windows use it: the form built by initForm and
// its outer layout placed as the window's content.
class FrameWindow : public MainAppWindow
{
public:
    FrameWindow()
    {
        initForm();
        auto *central = new QWidget(this);
        central->setLayout(verticalLayout1);
        setCentralWidget(central);
    }
};

template<typename T = QWidget>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

QRect regionOf(QWidget *window, const char *name)
{
    QWidget *widget = child(window, name);
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

void sendMouse(QWidget *target, QEvent::Type type, const QPoint &global, Qt::MouseButton button,
    Qt::MouseButtons buttons)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void showAt(QWidget *window, const QRect &geometry)
{
    window->setGeometry(geometry);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

int runClosingChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainFramelessWindow window;
    window.show();
    QTimer::singleShot(
        0, &window, [&window] { child<QPushButton>(&window, "btnMenu_Close")->click(); });
    app.exec();
    // The close button must end the process before the event loop can return.
    return 3;
}

} // namespace

class TestFrameWindow : public QObject
{
    Q_OBJECT

private slots:
    void titleAndAlignmentIgnoreTheCurrentValue();
    void setIconOfTheMaximiseButton();
    void titleDoubleClick_data();
    void titleDoubleClick();
    void dragging_data();
    void dragging();
    void psBlackFromTheSkinMenu();
    void closeButtonEndsTheProcess();
    void screenshotOfDarkBlack2();
};

void TestFrameWindow::titleAndAlignmentIgnoreTheCurrentValue()
{
    FrameWindow window;
    window.setWindowTitle(QStringLiteral("before"));
    auto *label = child<QLabel>(&window, "labTitle");

    window.setTitle(QStringLiteral("VER Urid"));
    QCOMPARE(label->text(), QString());
    QCOMPARE(window.windowTitle(), QStringLiteral("before"));
    for (const QString &title :
        {QStringLiteral(" 电流表上位机管理软件"), QStringLiteral("VER Urid")}) {
        window.setTitle(title);
        QCOMPARE(label->text(), title);
        QCOMPARE(window.windowTitle(), title);
    }

    label->setAlignment(Qt::AlignRight);
    window.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QCOMPARE(label->alignment(), Qt::AlignRight);
    window.setAlignment(Qt::AlignCenter);
    QCOMPARE(label->alignment(), Qt::AlignCenter);
}

void TestFrameWindow::setIconOfTheMaximiseButton()
{
    const QChar original = TitleGlyphs::GlyphMaximise;
    const auto restoreGlyph = qScopeGuard([original] { TitleGlyphs::GlyphMaximise = original; });
    const QChar changed(0xF0E7);

    FrameWindow window;
    window.setIcon(QUIHelper::MaxButtonNormal, changed, 12);
    showAt(&window, NormalGeometry);
    auto *maxButton = child<QPushButton>(&window, "btnMenu_Max");
    maxButton->click();
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphRestore));
    maxButton->click();
    QCOMPARE(maxButton->text(), QString(changed));

    FrameWindow later;
    QCOMPARE(child<QPushButton>(&later, "btnMenu_Max")->text(), QString(changed));
}

void TestFrameWindow::titleDoubleClick_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("maxButtonHidden");
    QTest::addColumn<bool>("maximises");

    QTest::newRow("title bar") << "widgetTitle" << false << true;
    QTest::newRow("content area") << "widget" << false << false;
    QTest::newRow("title bar without max button") << "widgetTitle" << true << false;
}

void TestFrameWindow::titleDoubleClick()
{
    QFETCH(QString, target);
    QFETCH(bool, maxButtonHidden);
    QFETCH(bool, maximises);

    FrameWindow window;
    showAt(&window, NormalGeometry);
    auto *maxButton = child<QPushButton>(&window, "btnMenu_Max");
    maxButton->setHidden(maxButtonHidden);
    auto *clicked = window.findChild<QWidget *>(target);
    const QPoint point = clicked->mapToGlobal(QPoint(5, 5));
    auto doubleClick = [&] {
        sendMouse(clicked, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
        sendMouse(clicked, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
    };

    doubleClick();
    if (!maximises) {
        QCOMPARE(window.geometry(), NormalGeometry);
        QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphMaximise));
        return;
    }
    QTRY_COMPARE(window.geometry(), QGuiApplication::primaryScreen()->availableGeometry());
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphRestore));

    doubleClick();
    QTRY_COMPARE(window.geometry(), NormalGeometry);
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphMaximise));
}

void TestFrameWindow::dragging_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<QPoint>("moved");

    QTest::newRow("left drag") << int(Qt::LeftButton) << false << QPoint(-15, 33);
    QTest::newRow("right drag") << int(Qt::RightButton) << false << QPoint();
    QTest::newRow("left drag while maximised") << int(Qt::LeftButton) << true << QPoint();
}

void TestFrameWindow::dragging()
{
    QFETCH(int, button);
    QFETCH(bool, maximised);
    QFETCH(QPoint, moved);
    const auto pressed = Qt::MouseButton(button);

    FrameWindow window;
    showAt(&window, NormalGeometry);
    if (maximised)
        child<QPushButton>(&window, "btnMenu_Max")->click();
    QWidget *title = child(&window, "widgetTitle");
    const QPoint start = window.pos();
    const QPoint grip = title->mapToGlobal(QPoint(50, 12));

    sendMouse(title, QEvent::MouseButtonPress, grip, pressed, pressed);
    sendMouse(title, QEvent::MouseMove, grip + QPoint(-15, 33), Qt::NoButton, pressed);
    QTRY_COMPARE(window.pos(), start + moved);
    sendMouse(title, QEvent::MouseButtonRelease, grip, pressed, Qt::NoButton);
    // After the release the mouse moves freely again.
    sendMouse(title, QEvent::MouseMove, grip + QPoint(60, 60), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.pos(), start + moved);
}

void TestFrameWindow::psBlackFromTheSkinMenu()
{
    FrameWindow window;
    QAction *psblack = nullptr;
    for (QAction *action : child<QToolButton>(&window, "btnMenu")->actions()) {
        if (action->text() == QStringLiteral("PS黑色"))
            psblack = action;
    }
    QVERIFY(psblack);

    QSignalSpy changed(&window, SIGNAL(changeStyle(QString)));
    psblack->trigger();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral(":/qss/psblack.css"));
    QFile sheet(QStringLiteral(":/qss/psblack.css"));
    QVERIFY(sheet.open(QFile::ReadOnly));
    QCOMPARE(qApp->styleSheet(), QString::fromLatin1(sheet.readAll()));
    QCOMPARE(qApp->palette().color(QPalette::Window), QColor(QStringLiteral("#444444")));
}

void TestFrameWindow::closeButtonEndsTheProcess()
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {QLatin1String(CloseChildArgument)});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

void TestFrameWindow::screenshotOfDarkBlack2()
{
    QUIHelper::applySkin(15);
    FrameWindow window;
    window.setTitle(QStringLiteral("电流表上位机管理软件"));
    showAt(&window, QRect(0, 0, 640, 300));

    const QImage image = ImageCheck::grab(&window);
    QVERIFY(!ImageCheck::save(image, QStringLiteral("frame_darkblack2")).isEmpty());
    const QColor text(QStringLiteral("#D7E2E9"));
    QVERIFY(ImageCheck::isColorAt(
        image, regionOf(&window, "widgetTitle").center() + QPoint(0, 8), QColor("#0E141B"), 6));
    QVERIFY(ImageCheck::isColorAt(image, QPointF(0, image.height() / 2), QColor("#111214"), 6));
    QVERIFY(ImageCheck::countColorIn(image, regionOf(&window, "labTitle"), text, 30) > 30);
    QVERIFY(ImageCheck::countColorIn(image, regionOf(&window, "labIco"), text, 30) > 10);
    for (const char *button : {"btnMenu", "btnMenu_Min", "btnMenu_Max", "btnMenu_Close"})
        QVERIFY2(ImageCheck::countColorIn(image, regionOf(&window, button), text, 30) > 3, button);
}

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], CloseChildArgument) == 0)
        return runClosingChild(argc, argv);

    QApplication app(argc, argv);
    TestFrameWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_framewindow.moc"
