#include "iconhelper.h"
#include "quihelper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QVector>

namespace {

const char *const ColourKeys[] = {"TextColor:", "PanelColor:", "BorderColor:", "NormalColorStart:",
    "NormalColorEnd:", "DarkColorStart:", "DarkColorEnd:", "HighColor:"};

QString readLatin1(const QString &path)
{
    QFile file(path);
    return file.open(QFile::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QFile::WriteOnly | QFile::Truncate));
    file.write(content);
}

// Qt reports a sheet it cannot parse only as a warning, while polishing.
QStringList parseWarnings;
void collectParseWarnings(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.contains(QLatin1String("parse")))
        parseWarnings << message;
}

using EightColours = void (*)(const QString &, QString &, QString &, QString &, QString &,
    QString &, QString &, QString &, QString &);

// Out-parameters start as "keep" so that the ones left alone stand out.
QStringList colours(EightColours call, const QString &argument)
{
    QVector<QString> c(8, QStringLiteral("keep"));
    call(argument, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
    return c.toList();
}

const QStringList Unchanged = QVector<QString>(8, QStringLiteral("keep")).toList();

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void applySkin_data();
    void applySkin();
    void applySkinFile();
    void sheetsFollowTheFormat_data();
    void sheetsFollowTheFormat();

    void configIsValid_data();
    void configIsValid();

    void styleNavButtons_data();
    void styleNavButtons();
    void styleNavPanelNeedsMatchingLists();
    void hoverSwapsStoredPixmaps();
};

void TestSkins::init()
{
    qApp->setStyleSheet(QString());
    qApp->setPalette(QPalette(QColor(QStringLiteral("#123456"))));
}

void TestSkins::applySkin_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("palette");
    QTest::addColumn<QString>("sheet");

    QTest::newRow("0") << 0 << QColor(0xF5F5F5) << ":/qss/silvery.css";
    QTest::newRow("10") << 10 << QColor(0x444444) << ":/qss/psblack.css";
    QTest::newRow("15") << 15 << QColor(0x0E141B) << ":/qss/darkblack2.css";
    QTest::newRow("-1 falls back to blue") << -1 << QColor(0xCFDDEE) << ":/qss/blue.css";
    QTest::newRow("16 falls back to blue") << 16 << QColor(0xCFDDEE) << ":/qss/blue.css";
}

void TestSkins::applySkin()
{
    QFETCH(int, index);
    QFETCH(QColor, palette);
    QFETCH(QString, sheet);

    QUIHelper::applySkin(index);

    const QString text = readLatin1(sheet);
    QVERIFY(!text.isEmpty());
    QCOMPARE(qApp->styleSheet(), text);
    QCOMPARE(qApp->palette().color(QPalette::Window), palette);
}

void TestSkins::applySkinFile()
{
    // An unreadable file leaves everything as it was.
    qApp->setStyleSheet(QStringLiteral("QLabel{color:red;}"));
    const QString missing = QStringLiteral(":/qss/missing.css");

    QString paletteColor = QStringLiteral("keep");
    QString textColor = QStringLiteral("keep");
    QUIHelper::applySkinFile(missing, paletteColor, textColor);
    QCOMPARE(QStringList({paletteColor, textColor}), QStringList({"keep", "keep"}));
    QCOMPARE(colours(QUIHelper::applySkinFile, missing), Unchanged);

    QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel{color:red;}"));
    QCOMPARE(qApp->palette().color(QPalette::Window), QColor(QStringLiteral("#123456")));

    // A sheet of the user's own, without HighColor in its trailer and with
    // garbage after a NUL byte that must never reach Qt.
    QString own = QStringLiteral("QPalette{background:#102030;}*{outline:0px;color:#A0B0C0;}\n"
                                 "QLabel{color:#A0B0C0;}\n");
    QStringList expected;
    for (int i = 0; i < 7; ++i) {
        expected << QStringLiteral("#00000%1").arg(i);
        own += QStringLiteral("/*%1%2*/\n").arg(QLatin1String(ColourKeys[i]), expected.last());
    }
    expected << QStringLiteral("keep");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("skin.css"));
    writeFile(path, own.toLatin1() + QByteArray("\0QLabel{color:red;}", 19));

    QUIHelper::applySkinFile(path, paletteColor, textColor);
    QCOMPARE(QStringList({paletteColor, textColor}), QStringList({"#102030", "#A0B0C0"}));
    QCOMPARE(qApp->styleSheet(), own);
    QCOMPARE(qApp->palette().color(QPalette::Window), QColor(paletteColor));
    init();
    QCOMPARE(colours(QUIHelper::applySkinFile, path), expected);
    QCOMPARE(qApp->styleSheet(), own);
    QCOMPARE(qApp->palette().color(QPalette::Window), QColor(expected.at(1)));
    QCOMPARE(colours(QUIHelper::parseSkinColours, own), expected);
}

void TestSkins::sheetsFollowTheFormat_data()
{
    QTest::addColumn<QString>("sheet");

    const QStringList names = QDir(QStringLiteral(":/qss")).entryList({QStringLiteral("*.css")});
    QCOMPARE(names.size(), 18);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << QStringLiteral(":/qss/") + name;
}

void TestSkins::sheetsFollowTheFormat()
{
    QFETCH(QString, sheet);

    QFile file(sheet);
    QVERIFY(file.open(QFile::ReadOnly));
    const QByteArray bytes = file.readAll();
    for (char c : bytes)
        QVERIFY2(uchar(c) < 0x80 && c != 0, "sheets are plain ASCII text");

    const QString text = QString::fromLatin1(bytes);
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY(lines.size() > 9);
    // The palette and text colours are read at fixed offsets of the first line.
    const QRegularExpression firstLine(
        QStringLiteral("^QPalette\\{background:#[0-9A-Fa-f]{6};\\}\\*\\{outline:0px;color:#[0-"
                       "9A-Fa-f]{6};\\}$"));
    QVERIFY2(firstLine.match(lines.first()).hasMatch(), qPrintable(lines.first()));
    const QStringList trailer = lines.mid(lines.size() - 8);
    for (int i = 0; i < 8; ++i) {
        const QRegularExpression line(QStringLiteral("^/\\*%1#[0-9A-Fa-f]{6}\\*/$")
                                          .arg(QRegularExpression::escape(ColourKeys[i])));
        QVERIFY2(line.match(trailer.at(i)).hasMatch(), qPrintable(trailer.at(i)));
    }

    for (const char *selector : {"QWidget[form=\"true\"]", "QWidget[form=\"title\"]",
             "#btnMenu_Min", "#btnMenu_Max", "#btnMenu_Close"})
        QVERIFY2(text.contains(QLatin1String(selector)), selector);

    // Every picture a rule names must be embedded, or Qt silently draws nothing.
    const QRegularExpression url(QStringLiteral("url\\((:/[^)]+)\\)"));
    const QString skinFolder = QStringLiteral(":/qss/%1/").arg(QFileInfo(sheet).completeBaseName());
    auto urls = url.globalMatch(text);
    QVERIFY(urls.hasNext());
    while (urls.hasNext()) {
        const QString path = urls.next().captured(1);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QVERIFY2(!path.startsWith(QLatin1String(":/qss/")) || path.startsWith(skinFolder),
            qPrintable(path));
    }

    parseWarnings.clear();
    qApp->setStyleSheet(text);
    const QtMessageHandler previous = qInstallMessageHandler(collectParseWarnings);
    QPushButton button(QStringLiteral("x"));
    button.ensurePolished();
    qInstallMessageHandler(previous);
    QCOMPARE(parseWarnings, QStringList());
}

void TestSkins::configIsValid_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("valid");

    QTest::newRow("missing file") << false << QByteArray() << false;
    QTest::newRow("empty file") << true << QByteArray() << false;
    QTest::newRow("key without value") << true << QByteArray("[BaseConfig]\r\nkey=\r\n") << false;
    QTest::newRow("two equals signs") << true << QByteArray("[BaseConfig]\na=b=c\n") << true;
}

void TestSkins::configIsValid()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(bool, valid);

    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    if (exists)
        writeFile(QUIHelper::ConfigFile, content);

    const bool result = QUIHelper::configIsValid();
    const QByteArray after = readLatin1(QUIHelper::ConfigFile).toLatin1();
    const bool validAfterwards = QUIHelper::configIsValid();
    QDir::setCurrent(previous);

    QCOMPARE(result, valid);
    // A broken file is replaced by a fresh one that passes the check.
    QCOMPARE(after, valid ? content : QByteArray("[BaseConfig]\n"));
    QVERIFY(validAfterwards);
}

void TestSkins::styleNavButtons_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("border");

    QTest::newRow("top") << "top"
                         << "border-width:3px 0px 0px 0px;padding:3px 6px 6px 6px;";
    QTest::newRow("left") << "left"
                          << "border-width:0px 0px 0px 3px;padding:6px 6px 6px 3px;";
    QTest::newRow("unknown type") << "middle" << QString();
}

void TestSkins::styleNavButtons()
{
    QFETCH(QString, type);
    QFETCH(QString, border);

    QWidget widget;
    IconHelper::styleNavButtons(
        &widget, type, 3, "#333333", "#222222", "#555555", "#111111", "#444444");
    QCOMPARE(widget.styleSheet(),
        QStringLiteral("QWidget[flag=\"%1\"] QAbstractButton{border-style:none;border-radius:0px;"
                       "padding:5px;color:#111111;background:#222222;}QWidget[flag=\"%1\"] "
                       "QAbstractButton:hover,QWidget[flag=\"%1\"] QAbstractButton:pressed,"
                       "QWidget[flag=\"%1\"] QAbstractButton:checked{border-style:solid;%2"
                       "border-color:#333333;color:#444444;background:#555555;}")
            .arg(type, border));
}

void TestSkins::styleNavPanelNeedsMatchingLists()
{
    for (const QList<int> &glyphs : {QList<int> {0xF015, 0xF0E4, 0xF013}, QList<int> {0xF015}}) {
        QWidget panel;
        panel.setStyleSheet(QStringLiteral("QWidget{}"));
        const QList<QToolButton *> buttons = {new QToolButton(&panel), new QToolButton(&panel)};

        IconHelper::instance()->styleNavPanel(&panel, buttons, glyphs, 12, 20, 20, "left", 2,
            "#333333", "#222222", "#555555", "#111111", "#444444");
        QFrame frame;
        IconHelper::instance()->styleToolPanel(
            &frame, buttons, glyphs, 12, 20, 20, "#222222", "#555555", "#111111", "#444444");

        QCOMPARE(panel.styleSheet(), QStringLiteral("QWidget{}"));
        QCOMPARE(frame.styleSheet(), QString());
        for (QToolButton *button : buttons) {
            QVERIFY(button->icon().isNull());
            QVERIFY(IconHelper::instance()->storedPixmap(button, true).isNull());
        }
    }
}

void TestSkins::hoverSwapsStoredPixmaps()
{
    QWidget panel;
    panel.setObjectName(QStringLiteral("navPanel"));
    auto *plain = new QToolButton(&panel);
    auto *checked = new QToolButton(&panel);
    checked->setCheckable(true);
    checked->setChecked(true);

    IconHelper *icons = IconHelper::instance();
    icons->styleNavPanel(&panel, {plain, checked}, {0xF015, 0xF013}, 12, 20, 20, "top", 2,
        "#333333", "#222222", "#555555", "#FF0000", "#00FF00");

    auto image = [](const QPixmap &pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    auto shown = [&](QToolButton *button) { return image(button->icon().pixmap(QSize(20, 20))); };
    auto stored = [&](QToolButton *button, bool normal) {
        return image(icons->storedPixmap(button, normal));
    };
    QVERIFY(stored(plain, true) != stored(plain, false));
    QCOMPARE(shown(plain), stored(plain, true));

    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    for (QToolButton *button : {plain, checked}) {
        QApplication::sendEvent(button, &enter);
        QCOMPARE(shown(button), stored(button, false));
        QApplication::sendEvent(button, &leave);
        QCOMPARE(shown(button), stored(button, !button->isChecked()));
    }
}

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"
