// SPDX-License-Identifier: GPL-3.0-or-later
// The first screen as a user meets it, on the screen size this run was given: the window
// inside the screen with its buttons, the title bar's texts whole where there is room, and
// zeros on the needle page however late the window is first painted.

#include "commoncurrentusbdevice.h"
#include "imagecheck.h"
#include "mainwindow.h"
#include "quihelper.h"
#include "titlebarfitter.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <QWindow>
#include <QtTest>

class tst_FirstScreen : public QObject
{
    Q_OBJECT

private slots:
    void titleBarFitsTheScreen_data();
    void titleBarFitsTheScreen();
    void needleShowsZeroWhenFirstPaintedLate();
    void narrowsToHalfAScreenAndBack_data();
    void narrowsToHalfAScreenAndBack();

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

namespace {
// Dragged by its bottom right corner, as a user would, to the size asked for.
void dragCorner(MainWindow &window, const QSize &size)
{
    QWindow *handle = window.windowHandle();
    const QPoint grip(window.width() - 1, window.height() - 1);
    const QPoint target
        = grip + QPoint(size.width() - window.width(), size.height() - window.height());
    QTest::mouseMove(handle, grip);
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(handle, target);
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, target);
}

// Every control of the title bar shown whole inside it, or an entry of the » menu; the
// connection state always on the bar; the title whole or whole in its tooltip.
QStringList unreachable(MainWindow &window)
{
    auto *title = window.findChild<QLabel *>("labTitle");
    QWidget *bar = title->parentWidget();
    QStringList entries;
    if (auto *more = bar->findChild<QToolButton *>("btnOverflow"); more && more->isVisible()) {
        emit more->menu()->aboutToShow();
        for (QAction *entry : more->menu()->actions())
            entries << entry->text();
    }
    QStringList missing;
    if (title->text() != window.windowTitle() && title->toolTip() != window.windowTitle().trimmed())
        missing << "title";
    for (QWidget *control : bar->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        auto *button = qobject_cast<QAbstractButton *>(control);
        if (control->isVisible()) {
            // Buttons and the state show their whole text, the title whole or in its tooltip.
            const bool texts = button || qobject_cast<QToolBar *>(control)
                || control->objectName() == "lblDeviceState";
            if (!bar->rect().contains(control->geometry())
                || (texts && control->width() < control->sizeHint().width()))
                missing << control->objectName() + " cut";
            continue;
        }
        if (control->objectName() == "btnOverflow")
            continue;
        QStringList wanted;
        if (auto *toolBar = qobject_cast<QToolBar *>(control))
            for (QAction *action : toolBar->actions())
                wanted << action->text();
        else if (button)
            wanted << button->text();
        if (control->objectName() == "lblDeviceState" || wanted.isEmpty())
            missing << control->objectName() + " hidden";
        for (const QString &text : wanted)
            if (!entries.contains(text))
                missing << control->objectName() + " not in »: " + text;
    }
    return missing;
}

} // namespace

// Beside another window on a full-HD screen: dragged down to half its width and to 600 px,
// folding as it goes, then back, everything shown again.
void tst_FirstScreen::narrowsToHalfAScreenAndBack_data()
{
    titleBarFitsTheScreen_data();
}

void tst_FirstScreen::narrowsToHalfAScreenAndBack()
{
    QFETCH(QString, language);
    if (QGuiApplication::primaryScreen()->availableGeometry().width() < 1920)
        QSKIP("a full-HD screen's half is asked of a full-HD screen");
    MainWindow window;
    start(window, language);
    window.move(0, 0);
    const QSize opened = window.size();
    auto *pages = window.findChild<QStackedWidget *>("stackedWidget");
    // Each page's numbers and words whole.
    const auto verifyPagesWhole = [&](const QString &context) {
        for (int page = 0; page < 3; ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();
            for (auto *label : pages->currentWidget()->findChildren<QLabel *>())
                QVERIFY2(!label->isVisible()
                        || label->fontMetrics().horizontalAdvance(label->text())
                            <= label->contentsRect().width(),
                    qPrintable(context + ": " + label->objectName() + " cut: " + label->text()));
        }
        pages->setCurrentIndex(1);
    };
    // Narrower than half a screen the window stops at its least size, everything folded.
    for (const QSize size :
        {QSize(1500, 800), QSize(1200, 700), QSize(960, 600), QSize(400, 300), opened}) {
        dragCorner(window, size);
        QTRY_COMPARE(window.size(), size.expandedTo(window.minimumSize()));
        QVERIFY(window.minimumWidth() <= 960 && window.minimumHeight() <= 600);
        QCoreApplication::processEvents();
        const QStringList missing = unreachable(window);
        QVERIFY2(missing.isEmpty(),
            qPrintable(QString("%1 px: ").arg(window.width()) + missing.join(", ")));
        if (size.width() != 960)
            continue;
        for (int page = 0; page < 3; ++page) {
            pages->setCurrentIndex(page);
            QCoreApplication::processEvents();
            ImageCheck::save(
                window.grab().toImage(), QString("narrow-960-page%1-%2").arg(page).arg(language));
        }
        verifyPagesWhole("960 px");
        if (QTest::currentTestFailed())
            return;
    }
    QVERIFY(!window.findChild<QWidget *>("btnOverflow")->isVisible());
    // However little room the bar is given, the connection state stays on it.
    auto *fitter = window.findChild<TitleBarFitter *>();
    fitter->refit(0);
    QVERIFY(window.findChild<QWidget *>("lblDeviceState")->isVisible());
    fitter->refit(window.width());
    // The other language's words are fitted too, without a resize.
    window.switchLanguage(language == "zh" ? "en" : "zh");
    verifyPagesWhole("other language");
}

QTEST_MAIN(tst_FirstScreen)
#include "tst_firstscreen.moc"
