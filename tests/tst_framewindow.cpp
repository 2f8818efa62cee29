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
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>
#include <memory>

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

template<typename T = QWidget>
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

    void titleAndAlignmentIgnoreTheCurrentValue();
    void setIconStoresTheGlyph_data();
    void setIconStoresTheGlyph();
    void maximiseAndRestore_data();
    void maximiseAndRestore();
    void dragging_data();
    void dragging();
    void skinMenu();
    void closeButtonEndsTheProcess();
    void screenshots_data();
    void screenshots();
};

void TestFrameWindow::init()
{
    qApp->setStyleSheet(QString());
}

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
    QTest::newRow("maximise, shown again on restore")
        << int(QUIHelper::MaxButtonNormal) << "btnMenu_Max"
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
    const auto restoreGlyph = qScopeGuard([glyph, original] {
        if (glyph)
            *glyph = original;
    });
    const QChar changed(0xF0E7);
    auto allTexts = [](QWidget *window) {
        QStringList texts;
        for (const char *name :
            {"labIco", "btnMenu", "btnMenu_Min", "btnMenu_Max", "btnMenu_Close"})
            texts << text(window, name);
        return texts;
    };

    FrameWindow window;
    const QStringList before = allTexts(&window);
    window.setIcon(QUIHelper::Widget(widget), changed, 12);
    if (!glyph) {
        QCOMPARE(allTexts(&window), before);
        return;
    }

    const QByteArray name = objectName.toLatin1();
    if (widget == QUIHelper::MaxButtonNormal) {
        showAt(&window, NormalGeometry);
        child<QPushButton>(&window, name)->click();
        QCOMPARE(text(&window, name), QString(TitleGlyphs::GlyphRestore));
        child<QPushButton>(&window, name)->click();
    }
    QCOMPARE(text(&window, name), QString(changed));
    QCOMPARE(
        child(&window, name)->font().pointSize(), widget == QUIHelper::MaxButtonNormal ? 9 : 12);
    QCOMPARE(child(&window, name)->font().family(), QStringLiteral("FontAwesome"));
    FrameWindow later;
    QCOMPARE(text(&later, name), QString(changed));
}

void TestFrameWindow::maximiseAndRestore_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("maxButtonHidden");
    QTest::addColumn<QRect>("start");
    QTest::addColumn<QRect>("maximised");

    const QRect offScreen(workArea().right() + 2000, workArea().bottom() + 2000, 520, 300);
    QTest::newRow("double-click on the title bar")
        << "widgetTitle" << false << NormalGeometry << workArea();
    QTest::newRow("double-click on the title text, passed on to the bar")
        << "labTitle" << false << NormalGeometry << workArea();
    QTest::newRow("double-click on the content area")
        << "widget" << false << NormalGeometry << QRect();
    QTest::newRow("double-click without max button")
        << "widgetTitle" << true << NormalGeometry << QRect();
    // No work area holds the window, yet it counts as maximised until the next click.
    QTest::newRow("button, off every screen") << "btnMenu_Max" << false << offScreen << offScreen;
}

void TestFrameWindow::maximiseAndRestore()
{
    QFETCH(QString, target);
    QFETCH(bool, maxButtonHidden);
    QFETCH(QRect, start);
    QFETCH(QRect, maximised);

    FrameWindow window;
    window.contentLayout()->addWidget(new QLabel(QStringLiteral("content")));
    showAt(&window, start);
    auto *maxButton = child<QPushButton>(&window, "btnMenu_Max");
    maxButton->setHidden(maxButtonHidden);
    auto *clicked = window.findChild<QWidget *>(target);
    const QPoint point = clicked->mapToGlobal(QPoint(5, 5));
    auto activate = [&] {
        if (clicked == maxButton) {
            maxButton->click();
            return;
        }
        sendMouse(clicked, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
        sendMouse(clicked, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
    };

    activate();
    if (maximised.isNull()) {
        QCOMPARE(window.geometry(), start);
        QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphMaximise));
        return;
    }
    QTRY_COMPARE(window.geometry(), maximised);
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphRestore));
    QVERIFY(!window.isMaximized());

    activate();
    QTRY_COMPARE(window.geometry(), start);
    QCOMPARE(maxButton->text(), QString(TitleGlyphs::GlyphMaximise));
}

void TestFrameWindow::dragging_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("moves");

    QTest::newRow("frame, left drag") << "frame" << int(Qt::LeftButton) << true;
    QTest::newRow("frame, right drag") << "frame" << int(Qt::RightButton) << false;
    QTest::newRow("frame, left drag while maximised")
        << "maximised" << int(Qt::LeftButton) << false;
    QTest::newRow("canMove, left drag") << "canMove" << int(Qt::LeftButton) << true;
    QTest::newRow("canMove, right drag") << "canMove" << int(Qt::RightButton) << false;
    QTest::newRow("without canMove") << "plain" << int(Qt::LeftButton) << false;
}

void TestFrameWindow::dragging()
{
    QFETCH(QString, window);
    QFETCH(int, button);
    QFETCH(bool, moves);
    const auto pressed = Qt::MouseButton(button);

    AppInit::instance()->start();
    std::unique_ptr<QWidget> shown;
    QWidget *target = nullptr;
    if (window == QLatin1String("frame") || window == QLatin1String("maximised")) {
        shown = std::make_unique<FrameWindow>();
        showAt(shown.get(), NormalGeometry);
        if (window == QLatin1String("maximised"))
            child<QPushButton>(shown.get(), "btnMenu_Max")->click();
        target = child(shown.get(), "widgetTitle");
    } else {
        shown = std::make_unique<QWidget>();
        shown->setProperty("canMove", window == QLatin1String("canMove"));
        showAt(shown.get(), QRect(200, 150, 200, 120));
        target = shown.get();
    }
    const QPoint start = shown->pos();
    const QPoint grip = target->mapToGlobal(QPoint(50, 12));
    const QPoint moved = moves ? QPoint(-15, 33) : QPoint();

    sendMouse(target, QEvent::MouseButtonPress, grip, pressed, pressed);
    sendMouse(target, QEvent::MouseMove, grip + QPoint(-15, 33), Qt::NoButton, pressed);
    QTRY_COMPARE(shown->pos(), start + moved);
    sendMouse(target, QEvent::MouseButtonRelease, grip, pressed, Qt::NoButton);
    // After the release the mouse moves freely again.
    sendMouse(target, QEvent::MouseMove, grip + QPoint(60, 60), Qt::NoButton, Qt::NoButton);
    QCOMPARE(shown->pos(), start + moved);
}

void TestFrameWindow::skinMenu()
{
    FrameWindow window;
    auto *menuButton = child<QToolButton>(&window, "btnMenu");
    QStringList offered;
    for (QAction *action : menuButton->actions())
        offered << action->text();
    QCOMPARE(offered.join(QLatin1Char(' ')),
        QStringLiteral("银色 蓝色 浅蓝色 深蓝色 灰色 浅灰色 深灰色 黑色 浅黑色 深黑色 PS黑色 "
                       "黑色扁平 白色扁平"));

    QSignalSpy changed(&window, SIGNAL(changeStyle(QString)));
    menuButton->actions().at(10)->trigger();
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
    QCOMPARE(changed.takeFirst().at(0).toString(), QStringLiteral(":/qss/blue.css"));
    QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel{}"));
    QVERIFY(changed.isEmpty());
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

    const std::pair<int, const char *> skins[] = {{15, "darkblack2"}, {0, "silvery"}, {1, "blue"},
        {3, "darkblue"}, {10, "psblack"}, {12, "flatwhite"}};
    for (const auto &skin : skins)
        QTest::newRow(skin.second) << skin.first;
}

void TestFrameWindow::screenshots()
{
    QFETCH(int, skin);

    QUIHelper::applySkin(skin);
    FrameWindow window;
    window.setTitle(QStringLiteral("电流表上位机管理软件"));

    auto *content = new QWidget;
    auto *rows = new QVBoxLayout(content);
    auto *colour = new QCheckBox(QStringLiteral("个性色彩"));
    colour->setProperty("form", "color");
    auto *toolRow = new QHBoxLayout;
    toolRow->addWidget(new QPushButton(
        QIcon(QStringLiteral(":/current_src/save12x12.png")), QStringLiteral("保存")));
    toolRow->addWidget(colour);
    rows->addLayout(toolRow);

    auto *group = new QGroupBox(QStringLiteral("设备"));
    auto *form = new QHBoxLayout(group);
    auto *combo = new QComboBox;
    combo->addItems({QStringLiteral("0-300 mA"), QStringLiteral("0-2 A")});
    auto *checked = new QCheckBox(QStringLiteral("checked"));
    checked->setChecked(true);
    auto *progress = new QProgressBar;
    progress->setValue(60);
    for (QWidget *widget : {static_cast<QWidget *>(new QLineEdit(QStringLiteral("0.125 A"))),
             static_cast<QWidget *>(combo), static_cast<QWidget *>(checked),
             static_cast<QWidget *>(progress)})
        form->addWidget(widget);
    rows->addWidget(group);
    window.contentLayout()->addWidget(content);
    showAt(&window, QRect(0, 0, 640, 300));

    const QImage image = ImageCheck::grab(&window);
    QVERIFY(!ImageCheck::save(image, QStringLiteral("frame_") + QTest::currentDataTag()).isEmpty());
    if (skin != 15)
        return;

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
