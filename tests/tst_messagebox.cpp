#include "imagecheck.h"
#include "quihelper.h"
#include "quimessagebox.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>

namespace {

template<typename T>
T *child(QWidget *box, const char *name)
{
    return box->findChild<T *>(QLatin1String(name));
}

QString labelText(QWidget *box, const char *name)
{
    return child<QLabel>(box, name)->text();
}

QString countdown(int seconds)
{
    return QStringLiteral("关闭倒计时 %1 s").arg(seconds);
}

QTimer *tickTimer(QUIMessageBox *box)
{
    return box->findChild<QTimer *>();
}

// Acts on the question box once its own event loop runs. Should no box ever
// show, it ends every event loop rather than leave the test hanging in exec().
void whenQuestionShows(const std::function<void(QUIMessageBox *)> &act, int attemptsLeft = 500)
{
    QTimer::singleShot(10, [act, attemptsLeft] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QUIMessageBox *>(widget);
            if (box && box != QUIMessageBox::instance() && box->isVisible()) {
                act(box);
                return;
            }
        }
        if (attemptsLeft > 0)
            whenQuestionShows(act, attemptsLeft - 1);
        else
            QCoreApplication::exit(1);
    });
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void informationWithoutCountdown();
    void countdown_data();
    void countdown();
    void types_data();
    void types();
    void questionAnswers_data();
    void questionAnswers();
    void englishTexts();
    void dragging_data();
    void dragging();
    void screenshots_data();
    void screenshots();
};

void TestMessageBox::init()
{
    QUIMessageBox::instance()->close();
}

void TestMessageBox::informationWithoutCountdown()
{
    QUIMessageBox *box = QUIMessageBox::instance();
    QUIHelper::showInfo(QStringLiteral("参数已保存"));
    QVERIFY(box->isVisible());
    QVERIFY(!box->isModal());
    QCOMPARE(child<QLabel>(box, "labIcoMain")->styleSheet(),
        QStringLiteral("border-image: url(:/image/msg_info.png);"));
    QCOMPARE(labelText(box, "labTitle"), QStringLiteral("提示"));
    QCOMPARE(box->windowTitle(), QStringLiteral("提示"));
    QCOMPARE(labelText(box, "labInfo"), QStringLiteral("参数已保存"));
    QVERIFY(child<QPushButton>(box, "btnCancel")->isHidden());
    QCOMPARE(labelText(box, "labTime"), QString());

    QSignalSpy ticks(tickTimer(box), &QTimer::timeout);
    QVERIFY(ticks.wait(5000));
    QVERIFY(box->isVisible());
    QCOMPARE(labelText(box, "labTime"), QString());
}

void TestMessageBox::countdown_data()
{
    QTest::addColumn<int>("closeSec");
    QTest::addColumn<bool>("error");

    QTest::newRow("error, 1 s") << 1 << true;
    QTest::newRow("information, 3 s") << 3 << false;
}

void TestMessageBox::countdown()
{
    QFETCH(int, closeSec);
    QFETCH(bool, error);

    QUIMessageBox *box = QUIMessageBox::instance();
    if (error)
        QUIHelper::showError(QStringLiteral("设备未连接"), closeSec);
    else
        QUIHelper::showInfo(QStringLiteral("设备已连接"), closeSec);
    QCOMPARE(labelText(box, "labTime"), ::countdown(closeSec));

    QSignalSpy ticks(tickTimer(box), &QTimer::timeout);
    for (int remaining = closeSec - 1; remaining > 0; --remaining) {
        QVERIFY(ticks.wait(5000));
        QVERIFY(box->isVisible());
        QCOMPARE(labelText(box, "labTime"), ::countdown(remaining));
    }
    QVERIFY(ticks.wait(5000));
    QVERIFY(!box->isVisible());
    QCOMPARE(labelText(box, "labTime"), ::countdown(1));

    // Closing ended the countdown: shown again, the box stays open.
    box->show();
    QVERIFY(ticks.wait(5000));
    QVERIFY(box->isVisible());
}

void TestMessageBox::types_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("cancelShown");

    QTest::newRow("information") << 0 << ":/image/msg_info.png"
                                 << "提示" << false;
    QTest::newRow("question") << 1 << ":/image/msg_question.png"
                              << "询问" << true;
    QTest::newRow("error") << 2 << ":/image/msg_error.png"
                           << "错误" << false;
    QTest::newRow("unknown keeps the question look") << 7 << ":/image/msg_question.png"
                                                     << "询问" << true;
}

void TestMessageBox::types()
{
    QFETCH(int, type);
    QFETCH(QString, picture);
    QFETCH(QString, title);
    QFETCH(bool, cancelShown);

    QUIMessageBox box;
    box.setMessage(QStringLiteral("first"), 1);
    box.setMessage(QStringLiteral("second"), type);

    QVERIFY(QFile::exists(picture));
    QCOMPARE(child<QLabel>(&box, "labIcoMain")->styleSheet(),
        QStringLiteral("border-image: url(%1);").arg(picture));
    QCOMPARE(labelText(&box, "labTitle"), title);
    QCOMPARE(box.windowTitle(), title);
    QCOMPARE(labelText(&box, "labInfo"), QStringLiteral("second"));
    QCOMPARE(child<QPushButton>(&box, "btnCancel")->isHidden(), !cancelShown);
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

    bool acted = false;
    bool bothButtonsShown = false;
    QString title;
    whenQuestionShows([&](QUIMessageBox *box) {
        acted = true;
        bothButtonsShown = child<QPushButton>(box, "btnOk")->isVisible()
            && child<QPushButton>(box, "btnCancel")->isVisible();
        title = labelText(box, "labTitle");
        if (action == QLatin1String("escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->findChild<QPushButton *>(action)->click();
    });

    const int result = QUIHelper::askQuestion(QStringLiteral("确定删除?"));
    QVERIFY(acted);
    QCOMPARE(result, answer);
    QVERIFY(bothButtonsShown);
    QCOMPARE(title, QStringLiteral("询问"));
}

void TestMessageBox::englishTexts()
{
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/languages/en.qm")));
    QApplication::installTranslator(&english);

    QUIMessageBox box;
    box.setMessage(QStringLiteral("x"), 2, 3);
    const QString errorTitle = labelText(&box, "labTitle");
    const QString countdownText = labelText(&box, "labTime");
    box.setMessage(QStringLiteral("x"), 0);
    const QString infoTitle = labelText(&box, "labTitle");
    box.setMessage(QStringLiteral("x"), 1);
    const QString questionTitle = labelText(&box, "labTitle");
    QApplication::removeTranslator(&english);

    QCOMPARE(errorTitle, QStringLiteral("Error"));
    QCOMPARE(infoTitle, QStringLiteral("Prompt"));
    QCOMPARE(questionTitle, QStringLiteral("Inquire"));
    QVERIFY2(countdownText.contains(QLatin1String("3")), qPrintable(countdownText));
    QVERIFY2(!countdownText.contains(QStringLiteral("关闭")), qPrintable(countdownText));
}

void TestMessageBox::dragging_data()
{
    QTest::addColumn<int>("buttonValue");
    QTest::addColumn<QPoint>("moved");

    QTest::newRow("left drag moves") << int(Qt::LeftButton) << QPoint(25, 40);
    QTest::newRow("right drag does nothing") << int(Qt::RightButton) << QPoint(0, 0);
}

void TestMessageBox::dragging()
{
    QFETCH(int, buttonValue);
    QFETCH(QPoint, moved);
    const auto button = Qt::MouseButton(buttonValue);

    QUIMessageBox box;
    box.setMessage(QStringLiteral("drag me"), 0);
    box.move(120, 90);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    const QPoint start = box.pos();
    const QPoint grip = box.mapToGlobal(QPoint(140, 140));

    auto send = [&box](QEvent::Type type, const QPoint &global, Qt::MouseButton pressed,
                    Qt::MouseButtons held) {
        QMouseEvent event(type, box.mapFromGlobal(global), global, pressed, held, Qt::NoModifier);
        QApplication::sendEvent(&box, &event);
    };
    send(QEvent::MouseButtonPress, grip, button, button);
    send(QEvent::MouseMove, grip + QPoint(25, 40), Qt::NoButton, button);
    QTRY_COMPARE(box.pos(), start + moved);
    send(QEvent::MouseButtonRelease, grip + QPoint(25, 40), button, Qt::NoButton);
    send(QEvent::MouseMove, grip + QPoint(80, 80), Qt::NoButton, Qt::NoButton);
    QCOMPARE(box.pos(), start + moved);
}

void TestMessageBox::screenshots_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("badge");

    QTest::newRow("information") << 0 << "info" << QColor(0x2F, 0x84, 0xE6);
    QTest::newRow("question") << 1 << "question" << QColor(0x27, 0xB5, 0x82);
    QTest::newRow("error") << 2 << "error" << QColor(0xE4, 0x46, 0x4C);
}

void TestMessageBox::screenshots()
{
    QFETCH(int, type);
    QFETCH(QString, name);
    QFETCH(QColor, badge);

    QUIHelper::applySkin(15);
    QUIMessageBox box;
    box.setMessage(QStringLiteral("设备已断开，请检查 USB 连接。"), type, type == 2 ? 5 : 0);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    const QImage image = ImageCheck::grab(&box);
    QVERIFY(!ImageCheck::save(image, QStringLiteral("messagebox_%1").arg(name)).isEmpty());

    auto *picture = child<QLabel>(&box, "labIcoMain");
    const QRect pictureRect(picture->mapTo(&box, QPoint(0, 0)), picture->size());
    QVERIFY2(ImageCheck::countColorIn(image, pictureRect, badge, 40) > 150,
        qPrintable(ImageCheck::describe(image, pictureRect.center() + QPoint(0, 10))));

    auto *title = child<QLabel>(&box, "labTitle");
    const QRect titleRect(title->mapTo(&box, QPoint(0, 0)), title->size());
    QVERIFY(ImageCheck::countColorIn(image, titleRect, QColor("#D7E2E9"), 30) > 20);
    auto *close = child<QPushButton>(&box, "btnMenu_Close");
    const QRect closeRect(close->mapTo(&box, QPoint(0, 0)), close->size());
    QVERIFY(ImageCheck::countColorIn(image, closeRect, QColor("#D7E2E9"), 30) > 3);
    qApp->setStyleSheet(QString());
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
