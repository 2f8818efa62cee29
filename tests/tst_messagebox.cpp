#include "imagecheck.h"
#include "quihelper.h"
#include "quimessagebox.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace {

template<typename T = QLabel>
T *child(QWidget *box, const char *name)
{
    return box->findChild<T *>(QLatin1String(name));
}

QString countdown(int seconds)
{
    return QStringLiteral("关闭倒计时 %1 s").arg(seconds);
}

QRect regionOf(QWidget *box, const char *name)
{
    QWidget *widget = child<QWidget>(box, name);
    return QRect(widget->mapTo(box, QPoint(0, 0)), widget->size());
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void sharedBoxCountdown_data();
    void sharedBoxCountdown();
    void types_data();
    void types();
    void questionAnswers_data();
    void questionAnswers();
    void dragging_data();
    void dragging();
};

void TestMessageBox::init()
{
    QUIMessageBox::instance()->close();
}

void TestMessageBox::sharedBoxCountdown_data()
{
    QTest::addColumn<bool>("error");
    QTest::addColumn<int>("closeSec");

    QTest::newRow("information without countdown") << false << 0;
    QTest::newRow("error, 1 s") << true << 1;
    // Only a longer countdown shows that the box stays open while it counts.
    QTest::newRow("information, 2 s") << false << 2;
}

void TestMessageBox::sharedBoxCountdown()
{
    QFETCH(bool, error);
    QFETCH(int, closeSec);

    QUIMessageBox *box = QUIMessageBox::instance();
    if (error)
        QUIHelper::showError(QStringLiteral("设备未连接"), closeSec);
    else
        QUIHelper::showInfo(QStringLiteral("参数已保存"), closeSec);
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(
        child(box, "labTitle")->text(), error ? QStringLiteral("错误") : QStringLiteral("提示"));
    QVERIFY(child<QPushButton>(box, "btnCancel")->isHidden());
    QCOMPARE(child(box, "labTime")->text(), closeSec ? countdown(closeSec) : QString());

    QSignalSpy ticks(box->findChild<QTimer *>(), &QTimer::timeout);
    for (int remaining = closeSec - 1; remaining > 0; --remaining) {
        QVERIFY(ticks.wait(5000));
        QVERIFY(box->isVisible());
        QCOMPARE(child(box, "labTime")->text(), countdown(remaining));
    }
    if (closeSec > 0) {
        QVERIFY(ticks.wait(5000));
        QVERIFY(!box->isVisible());
        QCOMPARE(child(box, "labTime")->text(), countdown(1));
        box->show();
    }

    // Without a countdown, or once closing has ended it, the box stays open.
    QVERIFY(ticks.wait(5000));
    QVERIFY(box->isVisible());
}

void TestMessageBox::types_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("englishTitle");
    QTest::addColumn<bool>("cancelShown");
    QTest::addColumn<QColor>("badge");

    auto row = [](const char *tag, int type, const char *picture, const char *title,
                   const char *english, bool cancelShown, QRgb badge) {
        QTest::newRow(tag) << type << QStringLiteral(":/image/msg_%1.png").arg(picture) << title
                           << english << cancelShown << QColor(badge);
    };
    row("info", 0, "info", "提示", "Prompt", false, 0x2F84E6);
    row("question", 1, "question", "询问", "Inquire", true, 0x27B582);
    row("error", 2, "error", "错误", "Error", false, 0xE4464C);
    row("unknown keeps the question look", 7, "question", "询问", "Inquire", true, 0x27B582);
}

void TestMessageBox::types()
{
    QFETCH(int, type);
    QFETCH(QString, picture);
    QFETCH(QString, title);
    QFETCH(QString, englishTitle);
    QFETCH(bool, cancelShown);
    QFETCH(QColor, badge);

    QUIHelper::applySkin(15);
    const auto plainAgain = qScopeGuard([] { qApp->setStyleSheet(QString()); });
    QUIMessageBox box;
    box.setMessage(QStringLiteral("first"), 1);
    box.setMessage(QStringLiteral("设备已断开，请检查 USB 连接。"), type, type == 2 ? 5 : 0);

    QVERIFY(QFile::exists(picture));
    QCOMPARE(child(&box, "labIcoMain")->styleSheet(),
        QStringLiteral("border-image: url(%1);").arg(picture));
    QCOMPARE(child(&box, "labTitle")->text(), title);
    QCOMPARE(box.windowTitle(), title);
    QCOMPARE(child(&box, "labInfo")->text(), QStringLiteral("设备已断开，请检查 USB 连接。"));
    QCOMPARE(child<QPushButton>(&box, "btnCancel")->isHidden(), !cancelShown);

    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QImage image = ImageCheck::grab(&box);
    if (type <= 2)
        QVERIFY(!ImageCheck::save(image, QStringLiteral("messagebox_") + QTest::currentDataTag())
                     .isEmpty());
    const QRect pictureRect = regionOf(&box, "labIcoMain");
    QVERIFY2(ImageCheck::countColorIn(image, pictureRect, badge, 40) > 150,
        qPrintable(ImageCheck::describe(image, pictureRect.center() + QPoint(0, 10))));
    const QColor text(QStringLiteral("#D7E2E9"));
    QVERIFY(ImageCheck::countColorIn(image, regionOf(&box, "labTitle"), text, 30) > 20);
    QVERIFY(ImageCheck::countColorIn(image, regionOf(&box, "btnMenu_Close"), text, 30) > 3);

    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/languages/en.qm")));
    QApplication::installTranslator(&english);
    box.setMessage(QStringLiteral("first"), 1);
    box.setMessage(QStringLiteral("second"), type, 3);
    const QString translatedTitle = child(&box, "labTitle")->text();
    const QString countdownText = child(&box, "labTime")->text();
    QApplication::removeTranslator(&english);

    QCOMPARE(translatedTitle, englishTitle);
    QVERIFY2(countdownText.contains(QLatin1String("3")), qPrintable(countdownText));
    QVERIFY2(!countdownText.contains(QStringLiteral("关闭")), qPrintable(countdownText));
}

void TestMessageBox::questionAnswers_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("answer");

    QTest::newRow("YES") << "btnOk" << 0x4000;
    QTest::newRow("NO") << "btnCancel" << 0x10000;
    QTest::newRow("title-bar close") << "btnMenu_Close" << 0x10000;
    QTest::newRow("Escape") << "escape" << 0x10000;
}

void TestMessageBox::questionAnswers()
{
    QFETCH(QString, action);
    QFETCH(int, answer);

    // Answers once the question box runs its own event loop.
    bool bothButtonsShown = false;
    QString title;
    QTimer answerer;
    answerer.setInterval(10);
    connect(&answerer, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QUIMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        answerer.stop();
        bothButtonsShown = child<QPushButton>(box, "btnOk")->isVisible()
            && child<QPushButton>(box, "btnCancel")->isVisible();
        title = child(box, "labTitle")->text();
        if (action == QLatin1String("escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->findChild<QPushButton *>(action)->click();
    });
    answerer.start();

    QCOMPARE(QUIHelper::askQuestion(QStringLiteral("确定删除?")), answer);
    QVERIFY(bothButtonsShown);
    QCOMPARE(title, QStringLiteral("询问"));
}

void TestMessageBox::dragging_data()
{
    QTest::addColumn<int>("button");

    QTest::newRow("left drag moves") << int(Qt::LeftButton);
    QTest::newRow("right drag does nothing") << int(Qt::RightButton);
}

void TestMessageBox::dragging()
{
    QFETCH(int, button);
    const auto pressed = Qt::MouseButton(button);
    const QPoint moved = pressed == Qt::LeftButton ? QPoint(25, 40) : QPoint();

    QUIMessageBox box;
    box.move(120, 90);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPoint start = box.pos();
    const QPoint grip = box.mapToGlobal(QPoint(140, 140));
    auto send = [&box](QEvent::Type type, const QPoint &global, Qt::MouseButton changed,
                    Qt::MouseButtons held) {
        QMouseEvent event(type, box.mapFromGlobal(global), global, changed, held, Qt::NoModifier);
        QApplication::sendEvent(&box, &event);
    };
    send(QEvent::MouseButtonPress, grip, pressed, pressed);
    send(QEvent::MouseMove, grip + QPoint(25, 40), Qt::NoButton, pressed);
    QTRY_COMPARE(box.pos(), start + moved);
    send(QEvent::MouseButtonRelease, grip + QPoint(25, 40), pressed, Qt::NoButton);
    send(QEvent::MouseMove, grip + QPoint(80, 80), Qt::NoButton, Qt::NoButton);
    QCOMPARE(box.pos(), start + moved);
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
