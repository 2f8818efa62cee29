// SPDX-License-Identifier: GPL-3.0-or-later
// The choices of "设置/服务" and the title bar, found again after a restart; a hand-edited
// "Settings.ini" falling back key by key; "个性色彩" recolouring the pages; and every text of
// the window and the dialog readable under every skin.

#include "appsettings.h"
#include "commoncurrentusbdevice.h"
#include "contrast.h"
#include "imagecheck.h"
#include "mainwindow.h"
#include "quihelper.h"
#include "quimessagebox.h"
#include "settingsdialog.h"
#include "temporaryappdir.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

namespace {

QString readAll(AppSettings &s, const QString &key)
{
    if (key == "skinIndex")
        return QString::number(s.skinIndex());
    if (key == "personalityColor")
        return s.personalityColor() ? "true" : "false";
    if (key == "voltageColor")
        return s.colour(AppSettings::Quantity::Voltage).name();
    if (key == "recordingsFolder")
        return s.recordingsFolder();
    if (key == "recordingFormat")
        return s.recordingFormat();
    if (key == "curveSecondsPerWidth")
        return QString::number(s.curveSecondsPerWidth());
    return s.reduceMotion() ? "true" : "false";
}

// Contrast of a widget's text or icon against what is behind it, as drawn: the window's pixels
// with the part and with the part made transparent differ exactly where it is, and the strongest
// of those differences is the part's full colour on its background.
double measuredContrast(QWidget *window, QWidget *widget, bool icon = false)
{
    const QRect area(widget->mapTo(window, QPoint()), widget->size());
    const QImage drawn = window->grab(area).toImage();
    auto *label = qobject_cast<QLabel *>(widget);
    auto *button = qobject_cast<QAbstractButton *>(widget);
    const QString sheet = widget->styleSheet();
    const QPixmap pixmap = label ? label->pixmap(Qt::ReturnByValue) : QPixmap();
    const QIcon shown = button ? button->icon() : QIcon();
    QPixmap clear(icon && label ? pixmap.size() : icon ? button->iconSize() : QSize(1, 1));
    clear.fill(Qt::transparent);
    if (!icon)
        widget->setStyleSheet(sheet + ";color: transparent;");
    else if (label)
        label->setPixmap(clear);
    else
        button->setIcon(QIcon(clear));
    const QImage bare = window->grab(area).toImage();
    widget->setStyleSheet(sheet);
    if (icon && label)
        label->setPixmap(pixmap);
    else if (icon)
        button->setIcon(shown);
    double best = 1.0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (drawn.pixel(x, y) != bare.pixel(x, y))
                best = std::max(
                    best, Contrast::ratio(drawn.pixelColor(x, y), bare.pixelColor(x, y)));
    return best;
}

// The title bar's pictures: its icon and the icons of its buttons.
QList<QWidget *> visibleIcons(QWidget *window)
{
    QList<QWidget *> icons;
    QWidget *bar = window->findChild<QWidget *>("widgetTitle");
    for (QWidget *widget : bar->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<QLabel *>(widget);
        const auto *button = qobject_cast<QAbstractButton *>(widget);
        if (((label && !label->pixmap(Qt::ReturnByValue).isNull())
                || (button && !button->icon().isNull()))
            && widget->isVisibleTo(window))
            icons << widget;
    }
    return icons;
}

// The dialog's edge, pixel by pixel around it, against the panel both it and the window
// behind it are drawn on: the weakest edge pixel.
double edgeContrast(QWidget *dialog)
{
    const QImage image = dialog->grab().toImage();
    const QColor panel = qApp->palette().color(QPalette::Window);
    double weakest = 21.0;
    const QRect edge = image.rect();
    for (int x = 0; x < edge.width(); ++x)
        for (int y : {0, edge.height() - 1})
            weakest = std::min(weakest, Contrast::ratio(image.pixelColor(x, y), panel));
    for (int y = 0; y < edge.height(); ++y)
        for (int x : {0, edge.width() - 1})
            weakest = std::min(weakest, Contrast::ratio(image.pixelColor(x, y), panel));
    return weakest;
}

QList<QWidget *> visibleTexts(QWidget *window)
{
    QList<QWidget *> texts;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        const auto *label = qobject_cast<QLabel *>(widget);
        const auto *button = qobject_cast<QAbstractButton *>(widget);
        const bool hasText
            = (label && !label->text().isEmpty()) || (button && !button->text().isEmpty());
        // A control that cannot be used yet is greyed on purpose; the usual rule exempts it.
        if (hasText && widget->isEnabled() && widget->isVisibleTo(window) && widget->width() > 0)
            texts << widget;
    }
    return texts;
}

} // namespace

class tst_Settings : public QObject
{
    Q_OBJECT

private slots:
    void handEditedValues_data();
    void handEditedValues();
    void dialogChoicesAreFoundAgain();
    void skinMenuChoiceSurvivesRestart();
    void personalityColorRecoloursPages_data();
    void personalityColorRecoloursPages();
    void everyTextIsReadable_data();
    void everyTextIsReadable();

private:
    QTemporaryDir m_dir;
};

void tst_Settings::handEditedValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::addColumn<bool>("fallsBack");
    const QString folder = QDir::tempPath();
    QTest::newRow("skin") << "skinIndex"
                          << "3"
                          << "3" << false;
    QTest::newRow("no skin") << "skinIndex"
                             << ""
                             << "15" << false;
    QTest::newRow("unknown skin") << "skinIndex"
                                  << "16"
                                  << "15" << true;
    QTest::newRow("skin by name") << "skinIndex"
                                  << "dark"
                                  << "15" << true;
    QTest::newRow("colour on") << "personalityColor"
                               << "true"
                               << "true" << false;
    QTest::newRow("colour maybe") << "personalityColor"
                                  << "yes"
                                  << "false" << true;
    QTest::newRow("own voltage colour") << "voltageColor"
                                        << "#123ABC"
                                        << "#123abc" << false;
    QTest::newRow("short colour") << "voltageColor"
                                  << "#12345"
                                  << "#e69f00" << true;
    QTest::newRow("colour by name") << "voltageColor"
                                    << "red"
                                    << "#e69f00" << true;
    QTest::newRow("folder") << "recordingsFolder" << folder << folder << false;
    QTest::newRow("gone folder") << "recordingsFolder" << folder + "/gone/away"
                                 << AppSettings::defaultRecordingsFolder() << true;
    QTest::newRow("jsonl") << "recordingFormat"
                           << "jsonl"
                           << "jsonl" << false;
    QTest::newRow("xml") << "recordingFormat"
                         << "xml"
                         << "csv" << true;
    QTest::newRow("30 s a width") << "curveSecondsPerWidth"
                                  << "30"
                                  << "30" << false;
    QTest::newRow("negative seconds") << "curveSecondsPerWidth"
                                      << "-5"
                                      << "0" << true;
    QTest::newRow("past an hour") << "curveSecondsPerWidth"
                                  << "3601"
                                  << "0" << true;
    QTest::newRow("calm") << "reduceMotion"
                          << "true"
                          << "true" << false;
    QTest::newRow("calm as a number") << "reduceMotion"
                                      << "1"
                                      << "false" << true;
}

void tst_Settings::handEditedValues()
{
    QFETCH(QString, key);
    QFETCH(QString, written);
    QFETCH(QString, read);
    QFETCH(bool, fallsBack);
    // A file of its own per row: the settings of one path are cached within the second.
    const QString path = m_dir.filePath(QString(QTest::currentDataTag()) + ".ini");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QString("[General]\nlanguagesIndex=en\n%1=%2\n").arg(key, written).toUtf8());
    file.close();
    QSettings store(path, QSettings::IniFormat);
    AppSettings settings(&store);
    if (fallsBack)
        QTest::ignoreMessage(QtDebugMsg,
            QRegularExpression(
                QString("AppSettings %1 .*%2").arg(key, QRegularExpression::escape(written))));
    QCOMPARE(readAll(settings, key), read);
    // The other keys keep their values.
    QCOMPARE(store.value("languagesIndex").toString(), QString("en"));
}

void tst_Settings::dialogChoicesAreFoundAgain()
{
    const QString path = m_dir.filePath("chosen.ini");
    {
        QSettings store(path, QSettings::IniFormat);
        AppSettings settings(&store);
        SettingsDialog dialog(&settings, "zh");
        dialog.findChild<QComboBox *>("cmbSkin")->setCurrentIndex(2);
        QCOMPARE(qApp->palette().color(QPalette::Window), QColor(0xEAF7FF));
        dialog.findChild<QCheckBox *>("chkPersonalityColor")->setChecked(true);
        auto *folder = dialog.findChild<QLineEdit *>("editFolder");
        folder->setText(m_dir.path());
        emit folder->editingFinished();
        dialog.findChild<QComboBox *>("cmbFormat")->setCurrentIndex(1);
        dialog.findChild<QSpinBox *>("spinCurveSeconds")->setValue(45);
        dialog.findChild<QCheckBox *>("chkReduceMotion")->setChecked(true);
        QSignalSpy language(&dialog, &SettingsDialog::languageChosen);
        dialog.findChild<QComboBox *>("cmbLanguage")->setCurrentIndex(1);
        QCOMPARE(language.value(0).value(0).toString(), QString("en"));
        // Written at once, as a person editing the file expects to find it.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        for (const char *line : {"skinIndex=2", "personalityColor=true", "recordingFormat=jsonl",
                 "curveSecondsPerWidth=45", "reduceMotion=true"})
            QVERIFY2(text.contains(line), line);
    }
    QSettings store(path, QSettings::IniFormat);
    AppSettings again(&store);
    QCOMPARE(again.skinIndex(), 2);
    QVERIFY(again.personalityColor());
    QCOMPARE(again.recordingsFolder(), m_dir.path());
    QCOMPARE(again.recordingFormat(), QString("jsonl"));
    QCOMPARE(again.curveSecondsPerWidth(), 45);
    QVERIFY(again.reduceMotion());
}

void tst_Settings::skinMenuChoiceSurvivesRestart()
{
    {
        MainWindow window;
        QCOMPARE(window.storedSkinIndex(), 15);
        auto *menu = window.findChild<QToolButton *>("btnMenu");
        QCOMPARE(menu->actions().size(), 16);
        menu->actions().at(13)->trigger();
    }
    MainWindow restarted;
    QCOMPARE(restarted.storedSkinIndex(), 13);
}

void tst_Settings::personalityColorRecoloursPages_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("index");
    QTest::newRow("curve") << "currentLineWidget" << 0;
    QTest::newRow("needle") << "widget" << 1;
    QTest::newRow("curve and needle") << "widget_2" << 2;
}

void tst_Settings::personalityColorRecoloursPages()
{
    QFETCH(QString, page);
    QFETCH(int, index);
    MainWindow window;
    window.findChild<QStackedWidget *>("stackedWidget")->setCurrentIndex(index);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    emit window.findChild<CommonCurrentUSBDevice *>()->parameterChanged(5, 0.25, 1.25);
    QWidget *shown = window.findChild<QWidget *>(page);
    const QColor own(0x8B, 0x00, 0xFF);
    const QColor standard(43, 234, 175);
    auto *check = window.findChild<QCheckBox *>("chkColor");
    for (bool on : {true, false, true}) {
        if (on)
            window.findChild<AppSettings *>()->setColour(AppSettings::Quantity::Voltage, own);
        check->setChecked(on);
        QCoreApplication::processEvents();
        const QImage image = ImageCheck::grab(shown);
        ImageCheck::save(image, QString("personality-%1-%2").arg(page, on ? "on" : "off"));
        QVERIFY2((ImageCheck::countColor(image, own, 8) > 500) == on, qPrintable(page));
        QVERIFY2((ImageCheck::countColor(image, standard, 8) > 500) == !on, qPrintable(page));
    }
}

void tst_Settings::everyTextIsReadable_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("Chinese") << "zh";
    QTest::newRow("English") << "en";
}

void tst_Settings::everyTextIsReadable()
{
    QFETCH(QString, language);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *settings = window.findChild<AppSettings *>();
    // A dark violet of the user's, as unreadable on the dark pages as a colour can be.
    settings->setColour(AppSettings::Quantity::Voltage, QColor(0x5A, 0x00, 0xA0));
    // Publishing asked for without a broker: the longest text, its problem, is shown.
    settings->setMqttEnabled(true);
    auto *pages = window.findChild<QStackedWidget *>("stackedWidget");
    SettingsDialog dialog(settings, language);
    // After the window's own stored language, so that this one decides the texts.
    QTranslator translator;
    QVERIFY(translator.load(":/languages/" + language + ".qm"));
    QCoreApplication::installTranslator(&translator);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(150); // the window's own zero reading, so that the pages show numbers
    emit window.findChild<CommonCurrentUSBDevice *>()->parameterChanged(5.012f, 0.251f, 1.258f);
    QStringList unreadable;
    const auto report
        = [&unreadable](const QString &where, const QString &what, double contrast, double least) {
              if (contrast < least)
                  unreadable << QString("%1 %2: %3").arg(where, what).arg(contrast, 0, 'f', 2);
          };
    const auto measure = [&report](QWidget *window, const QString &where) {
        for (QWidget *text : visibleTexts(window))
            report(where,
                QString("%1 \"%2\"").arg(text->objectName(), text->property("text").toString()),
                measuredContrast(window, text), Contrast::NormalText);
    };
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    QUIMessageBox message;
    message.setMessage("?", 1);
    for (int skin = 0; skin < AppSettings::SkinCount; ++skin) {
        settings->setSkinIndex(skin);
        QUIHelper::applySkin(skin);
        for (bool personal : {false, true}) {
            settings->setPersonalityColor(personal);
            for (int page = 0; page < pages->count(); ++page) {
                pages->setCurrentIndex(page);
                QCoreApplication::processEvents();
                measure(&window,
                    QString("skin %1 %2 page %3")
                        .arg(skin)
                        .arg(personal ? "own" : "standard")
                        .arg(page));
            }
            // A light and a dark skin, for a person to look at.
            if (skin == 0 || skin == 15)
                ImageCheck::save(window.grab().toImage(),
                    QString("skin-%1-%2-%3")
                        .arg(skin)
                        .arg(personal ? "own" : "standard")
                        .arg(language));
        }
        for (QWidget *icon : visibleIcons(&window))
            report(QString("skin %1 icon").arg(skin), icon->objectName(),
                measuredContrast(&window, icon, true), Contrast::Graphics);
        for (QWidget *edged : std::initializer_list<QWidget *> {&dialog, &files, &message})
            report(QString("skin %1 edge").arg(skin), edged->metaObject()->className(),
                edgeContrast(edged), Contrast::Graphics);
        measure(&dialog, QString("skin %1 dialog").arg(skin));
        if (skin == 0 || skin == 15)
            ImageCheck::save(
                dialog.grab().toImage(), QString("settings-dialog-%1-%2").arg(skin).arg(language));
        auto *tabs = dialog.findChild<QTabWidget *>();
        for (int tab = 1; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            measure(&dialog, QString("skin %1 dialog tab %2").arg(skin).arg(tab));
            if (skin == 0 || skin == 15)
                ImageCheck::save(dialog.grab().toImage(),
                    QString("settings-dialog-%1-%2-tab%3").arg(skin).arg(language).arg(tab));
        }
        tabs->setCurrentIndex(0);
    }
    QCoreApplication::removeTranslator(&translator);
    QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join('\n')));
}

int main(int argc, char *argv[])
{
    // The window keeps Settings.ini beside the executable: a copy of this test in a fresh
    // folder starts without one and leaves none behind.
    if (!isInTemporaryAppDir())
        return runInTemporaryAppDir(argc, argv);
    QApplication app(argc, argv);
    tst_Settings test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settings.moc"
