#include "appinit.h"
#include "imagecheck.h"
#include "mainframelesswindow.h"
#include "quihelper.h"
#include "titleglyphs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>

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

    QVBoxLayout *contentLayout() const { return verticalLayout3; }
};

template<typename T>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

QString text(QWidget *window, const char *name)
{
    if (auto *label = child<QLabel>(window, name))
        return label->text();
    return child<QAbstractButton>(window, name)->text();
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

QRect workArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

int runClosingChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainFramelessWindow window;
    QObject::connect(&window, &MainAppWindow::closing, [] {
        std::fputs("closing\n", stdout);
        std::fflush(stdout);
    });
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
    void init();

    void setTitleIgnoresTheCurrentText();
    void setAlignmentIgnoresTheCurrentAlignment();
    void setIconStoresTheGlyph_data();
    void setIconStoresTheGlyph();
    void restoreShowsTheChangedMaximiseGlyph();

    void dragging_data();
    void dragging();
    void doubleClick_data();
    void doubleClick();
    void maximiseWithoutMatchingScreen();
    void appInitDragsWindowsThatCanMove_data();
    void appInitDragsWindowsThatCanMove();

    void skinMenu();
    void closeButtonEndsTheProcess();
    void screenshots_data();
    void screenshots();
};

void TestFrameWindow::init()
{
    qApp->setStyleSheet(QString());
}

void TestFrameWindow::setTitleIgnoresTheCurrentText()
{
    FrameWindow window;
    window.setWindowTitle(QStringLiteral("before"));
    auto *label = child<QLabel>(&window, "labTitle");

    window.setTitle(QStringLiteral("VER Urid"));
    QCOMPARE(label->text(), QString());
    QCOMPARE(window.windowTitle(), QStringLiteral("before"));

    window.setTitle(QStringLiteral(" 电流表上位机管理软件"));
    QCOMPARE(label->text(), QStringLiteral(" 电流表上位机管理软件"));
    QCOMPARE(window.windowTitle(), QStringLiteral(" 电流表上位机管理软件"));

    window.setWindowTitle(QStringLiteral("changed elsewhere"));
    window.setTitle(QStringLiteral(" 电流表上位机管理软件"));
    QCOMPARE(window.windowTitle(), QStringLiteral("changed elsewhere"));

    window.setTitle(QStringLiteral("VER Urid"));
    QCOMPARE(label->text(), QStringLiteral("VER Urid"));
    QCOMPARE(window.windowTitle(), QStringLiteral("VER Urid"));
}

void TestFrameWindow::setAlignmentIgnoresTheCurrentAlignment()
{
    FrameWindow window;
    auto *label = child<QLabel>(&window, "labTitle");
    QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);

    label->setAlignment(Qt::AlignRight);
    window.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QCOMPARE(label->alignment(), Qt::AlignRight);

    window.setAlignment(Qt::AlignCenter);
    QCOMPARE(label->alignment(), Qt::AlignCenter);
}

void TestFrameWindow::setIconStoresTheGlyph_data()
{
    QTest::addColumn<int>("widget");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<void *>("entry");

    QTest::newRow("title icon") << int(QUIHelper::TitleIcon) << "labIco"
                                << static_cast<void *>(&TitleGlyphs::GlyphMain);
    QTest::newRow("menu") << int(QUIHelper::MenuButton) << "btnMenu"
                          << static_cast<void *>(&TitleGlyphs::GlyphMenu);
    QTest::newRow("minimise") << int(QUIHelper::MinButton) << "btnMenu_Min"
                              << static_cast<void *>(&TitleGlyphs::GlyphMin);
    QTest::newRow("maximise") << int(QUIHelper::MaxButtonNormal) << "btnMenu_Max"
                              << static_cast<void *>(&TitleGlyphs::GlyphMaximise);
    QTest::newRow("close") << int(QUIHelper::CloseButton) << "btnMenu_Close"
                           << static_cast<void *>(&TitleGlyphs::GlyphClose);
    QTest::newRow("no such widget") << 6 << QString() << static_cast<void *>(nullptr);
}

void TestFrameWindow::setIconStoresTheGlyph()
{
    QFETCH(int, widget);
    QFETCH(QString, objectName);
    QFETCH(void *, entry);

    auto *glyph = static_cast<QChar *>(entry);
    const QChar original = glyph ? *glyph : QChar();
    const QChar changed(0xF0E7);

    FrameWindow window;
    const QStringList before = {text(&window, "labIco"), text(&window, "btnMenu"),
        text(&window, "btnMenu_Min"), text(&window, "btnMenu_Max"), text(&window, "btnMenu_Close")};
    window.setIcon(QUIHelper::Widget(widget), changed, 12);

    if (!glyph) {
        const QStringList after
            = {text(&window, "labIco"), text(&window, "btnMenu"), text(&window, "btnMenu_Min"),
                text(&window, "btnMenu_Max"), text(&window, "btnMenu_Close")};
        QCOMPARE(after, before);
        return;
    }

    const QByteArray name = objectName.toLatin1();
    QCOMPARE(text(&window, name), QString(changed));
    QCOMPARE(child<QWidget>(&window, name)->font().pointSize(), 12);
    QCOMPARE(child<QWidget>(&window, name)->font().family(), QStringLiteral("FontAwesome"));
    QCOMPARE(*glyph, changed);

    FrameWindow later;
    const QString laterText = text(&later, name);
    *glyph = original;
    QCOMPARE(laterText, QString(changed));
}

void TestFrameWindow::restoreShowsTheChangedMaximiseGlyph()
{
    const QChar original = TitleGlyphs::GlyphMaximise;
    const QChar changed(0xF065);

    FrameWindow window;
    showAt(&window, NormalGeometry);
    auto *maxButton = child<QPushButton>(&window, "btnMenu_Max");
    maxButton->click();
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphRestore));

    window.setIcon(QUIHelper::MaxButtonNormal, changed);
    maxButton->click();
    const QString restored = maxButton->text();
    FrameWindow later;
    const QString laterText = text(&later, "btnMenu_Max");
    TitleGlyphs::GlyphMaximise = original;

    QCOMPARE(restored, QString(changed));
    QCOMPARE(laterText, QString(changed));
}

void TestFrameWindow::dragging_data()
{
    QTest::addColumn<int>("buttonValue");
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<QPoint>("moved");

    QTest::newRow("left drag moves") << int(Qt::LeftButton) << false << QPoint(37, 21);
    QTest::newRow("right drag does nothing") << int(Qt::RightButton) << false << QPoint(0, 0);
    QTest::newRow("left drag while maximised does nothing")
        << int(Qt::LeftButton) << true << QPoint(0, 0);
}

void TestFrameWindow::dragging()
{
    QFETCH(int, buttonValue);
    const auto button = Qt::MouseButton(buttonValue);
    QFETCH(bool, maximised);
    QFETCH(QPoint, moved);

    FrameWindow window;
    showAt(&window, NormalGeometry);
    if (maximised)
        child<QPushButton>(&window, "btnMenu_Max")->click();
    const QPoint start = window.pos();
    auto *title = child<QWidget>(&window, "widgetTitle");
    const QPoint grip = title->mapToGlobal(QPoint(60, 12));

    sendMouse(title, QEvent::MouseButtonPress, grip, button, button);
    sendMouse(title, QEvent::MouseMove, grip + QPoint(37, 21), Qt::NoButton, button);
    QTRY_COMPARE(window.pos(), start + moved);
    sendMouse(title, QEvent::MouseButtonRelease, grip + QPoint(37, 21), button, Qt::NoButton);

    // After the release the mouse moves freely again.
    sendMouse(title, QEvent::MouseMove, grip + QPoint(90, 90), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.pos(), start + moved);
}

void TestFrameWindow::doubleClick_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("maxButtonHidden");
    QTest::addColumn<bool>("maximises");

    QTest::newRow("title bar") << "widgetTitle" << false << true;
    QTest::newRow("title text, passed on to the bar") << "labTitle" << false << true;
    QTest::newRow("content area") << "widget" << false << false;
    QTest::newRow("title bar without max button") << "widgetTitle" << true << false;
}

void TestFrameWindow::doubleClick()
{
    QFETCH(QString, target);
    QFETCH(bool, maxButtonHidden);
    QFETCH(bool, maximises);

    FrameWindow window;
    window.contentLayout()->addWidget(new QLabel(QStringLiteral("content")));
    showAt(&window, NormalGeometry);
    auto *maxButton = child<QPushButton>(&window, "btnMenu_Max");
    maxButton->setHidden(maxButtonHidden);
    auto *clicked = window.findChild<QWidget *>(target);
    const QPoint point = clicked->mapToGlobal(QPoint(5, 5));

    sendMouse(clicked, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
    sendMouse(clicked, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
    if (!maximises) {
        QCOMPARE(window.geometry(), NormalGeometry);
        QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphMaximise));
        return;
    }
    QTRY_COMPARE(window.geometry(), workArea());
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphRestore));
    QVERIFY(!window.isMaximized());

    sendMouse(clicked, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
    QTRY_COMPARE(window.geometry(), NormalGeometry);
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphMaximise));
}

void TestFrameWindow::maximiseWithoutMatchingScreen()
{
    FrameWindow window;
    const QRect offScreen(workArea().right() + 2000, workArea().bottom() + 2000, 520, 300);
    showAt(&window, offScreen);
    auto *maxButton = child<QPushButton>(&window, "btnMenu_Max");

    maxButton->click();
    QCOMPARE(window.geometry(), offScreen);
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphRestore));

    // Still counts as maximised: dragging stays off until the next click.
    auto *title = child<QWidget>(&window, "widgetTitle");
    const QPoint grip = title->mapToGlobal(QPoint(60, 12));
    sendMouse(title, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
    sendMouse(title, QEvent::MouseMove, grip + QPoint(30, 30), Qt::NoButton, Qt::LeftButton);
    sendMouse(title, QEvent::MouseButtonRelease, grip, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(window.geometry(), offScreen);

    maxButton->click();
    QCOMPARE(window.geometry(), offScreen);
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphMaximise));
}

void TestFrameWindow::appInitDragsWindowsThatCanMove_data()
{
    QTest::addColumn<bool>("canMove");
    QTest::addColumn<int>("buttonValue");
    QTest::addColumn<QPoint>("moved");

    QTest::newRow("canMove, left drag") << true << int(Qt::LeftButton) << QPoint(-15, 33);
    QTest::newRow("canMove, right drag") << true << int(Qt::RightButton) << QPoint(0, 0);
    QTest::newRow("without canMove") << false << int(Qt::LeftButton) << QPoint(0, 0);
}

void TestFrameWindow::appInitDragsWindowsThatCanMove()
{
    QFETCH(bool, canMove);
    QFETCH(int, buttonValue);
    QFETCH(QPoint, moved);
    const auto button = Qt::MouseButton(buttonValue);

    AppInit::instance()->start();
    QWidget window;
    window.setProperty("canMove", canMove);
    showAt(&window, QRect(200, 150, 200, 120));
    const QPoint start = window.pos();
    const QPoint grip = window.mapToGlobal(QPoint(50, 50));

    sendMouse(&window, QEvent::MouseButtonPress, grip, button, button);
    sendMouse(&window, QEvent::MouseMove, grip + QPoint(-15, 33), Qt::NoButton, button);
    QTRY_COMPARE(window.pos(), start + moved);
    sendMouse(&window, QEvent::MouseButtonRelease, grip, button, Qt::NoButton);
    sendMouse(&window, QEvent::MouseMove, grip + QPoint(60, 60), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.pos(), start + moved);
}

void TestFrameWindow::skinMenu()
{
    FrameWindow window;
    auto *menuButton = child<QToolButton>(&window, "btnMenu");
    QCOMPARE(menuButton->popupMode(), QToolButton::InstantPopup);
    QStringList offered;
    for (QAction *action : menuButton->actions())
        offered << action->text();
    QCOMPARE(offered, QUIHelper::skinNames().mid(0, 13));
    QCOMPARE(offered.at(10), QStringLiteral("PS黑色"));

    QSignalSpy changed(&window, SIGNAL(changeStyle(QString)));
    menuButton->actions().at(10)->trigger();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.takeFirst().at(0).toString(), QStringLiteral(":/qss/psblack.css"));
    QFile psblack(QStringLiteral(":/qss/psblack.css"));
    QVERIFY(psblack.open(QFile::ReadOnly));
    QCOMPARE(qApp->styleSheet(), QString::fromLatin1(psblack.readAll()));
    QCOMPARE(qApp->palette().color(QPalette::Window), QColor(QStringLiteral("#444444")));

    // A menu entry whose name is not in the skin table applies nothing.
    qApp->setStyleSheet(QStringLiteral("QLabel{}"));
    QAction stranger(QStringLiteral("紫色"), &window);
    connect(&stranger, SIGNAL(triggered(bool)), &window, SLOT(changeStyle()));
    stranger.trigger();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.takeFirst().at(0).toString(), QStringLiteral(":/qss/blue.css"));
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel{}"));
}

void TestFrameWindow::closeButtonEndsTheProcess()
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {QLatin1String(CloseChildArgument)});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(process.readAllStandardOutput().contains("closing"));
}

void TestFrameWindow::screenshots_data()
{
    QTest::addColumn<int>("skin");
    QTest::addColumn<QString>("name");

    QTest::newRow("dark black 2") << 15 << "darkblack2";
    QTest::newRow("silvery") << 0 << "silvery";
    QTest::newRow("blue") << 1 << "blue";
    QTest::newRow("dark blue") << 3 << "darkblue";
    QTest::newRow("PS black") << 10 << "psblack";
    QTest::newRow("flat white") << 12 << "flatwhite";
}

void TestFrameWindow::screenshots()
{
    QFETCH(int, skin);
    QFETCH(QString, name);

    QUIHelper::applySkin(skin);
    FrameWindow window;
    window.setTitle(QStringLiteral("电流表上位机管理软件"));

    auto *colour = new QCheckBox(QStringLiteral("个性色彩"));
    colour->setProperty("form", "color");
    auto *tools = new QWidget;
    auto *toolRow = new QHBoxLayout(tools);
    toolRow->addWidget(new QPushButton(
        QIcon(QStringLiteral(":/current_src/save12x12.png")), QStringLiteral("保存")));
    toolRow->addWidget(colour);

    auto *group = new QGroupBox(QStringLiteral("设备"));
    auto *form = new QVBoxLayout(group);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLineEdit(QStringLiteral("0.125 A")));
    row->addWidget(new QSpinBox);
    auto *combo = new QComboBox;
    combo->addItems({QStringLiteral("0-300 mA"), QStringLiteral("0-2 A")});
    row->addWidget(combo);
    form->addLayout(row);
    auto *checks = new QHBoxLayout;
    auto *checked = new QCheckBox(QStringLiteral("checked"));
    checked->setChecked(true);
    checks->addWidget(checked);
    checks->addWidget(new QCheckBox(QStringLiteral("unchecked")));
    auto *radio = new QRadioButton(QStringLiteral("radio"));
    radio->setChecked(true);
    checks->addWidget(radio);
    auto *progress = new QProgressBar;
    progress->setValue(60);
    checks->addWidget(progress);
    form->addLayout(checks);
    auto *content = new QWidget;
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(9, 9, 9, 9);
    contentLayout->addWidget(tools);
    contentLayout->addWidget(group);
    window.contentLayout()->addWidget(content);
    showAt(&window, QRect(0, 0, 640, 300));

    const QImage image = ImageCheck::grab(&window);
    QVERIFY(!ImageCheck::save(image, QStringLiteral("frame_%1").arg(name)).isEmpty());
    if (skin != 15)
        return;

    const QColor panel(QStringLiteral("#0E141B"));
    const QColor text(QStringLiteral("#D7E2E9"));
    auto *title = child<QWidget>(&window, "widgetTitle");
    const QRect titleRect(title->mapTo(&window, QPoint(0, 0)), title->size());
    QVERIFY(ImageCheck::isColorAt(image, titleRect.center() + QPoint(0, 8), panel, 6));
    QVERIFY(ImageCheck::isColorAt(image, QPointF(0, image.height() / 2), QColor("#111214"), 6));

    auto regionOf = [&window](const char *name) {
        QWidget *widget = child<QWidget>(&window, name);
        return QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
    };
    QVERIFY(ImageCheck::countColorIn(image, regionOf("labTitle"), text, 30) > 30);
    QVERIFY(ImageCheck::countColorIn(image, regionOf("labIco"), text, 30) > 10);
    for (const char *button : {"btnMenu", "btnMenu_Min", "btnMenu_Max", "btnMenu_Close"})
        QVERIFY2(ImageCheck::countColorIn(image, regionOf(button), text, 30) > 3, button);
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
