#include "iconhelper.h"
#include "quihelper.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <tuple>

namespace {

const char *const ColourKeys[] = {"TextColor:", "PanelColor:", "BorderColor:", "NormalColorStart:",
    "NormalColorEnd:", "DarkColorStart:", "DarkColorEnd:", "HighColor:"};

QString readLatin1(const QString &path)
{
    QFile file(path);
    if (!file.open(QFile::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll());
}

QStringList sheetsInResources()
{
    QStringList sheets;
    const QStringList names = QDir(QStringLiteral(":/qss")).entryList({QStringLiteral("*.css")});
    for (const QString &name : names)
        sheets << QStringLiteral(":/qss/") + name;
    return sheets;
}

// Qt reports a sheet it cannot parse only as a warning, while polishing.
QStringList parseWarnings;
void collectParseWarnings(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.contains(QLatin1String("parse")))
        parseWarnings << message;
}

QStringList polishWithCurrentSheet()
{
    parseWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectParseWarnings);
    QWidget widget;
    auto *button = new QPushButton(QStringLiteral("x"), &widget);
    widget.ensurePolished();
    button->ensurePolished();
    qInstallMessageHandler(previous);
    return parseWarnings;
}

struct Colours
{
    QString text, panel, border, normalStart, normalEnd, darkStart, darkEnd, high;

    QStringList list() const
    {
        return {text, panel, border, normalStart, normalEnd, darkStart, darkEnd, high};
    }
};

Colours unchangedColours()
{
    const QString keep = QStringLiteral("keep");
    return {keep, keep, keep, keep, keep, keep, keep, keep};
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QFile::WriteOnly | QFile::Truncate));
    file.write(content);
}

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void applySkin_data();
    void applySkin();
    void unreadableSheetChangesNothing();
    void applySkinFileReturnsColours_data();
    void applySkinFileReturnsColours();
    void parseSkinColours_data();
    void parseSkinColours();
    void sheetsFollowTheFormat_data();
    void sheetsFollowTheFormat();

    void configIsValid_data();
    void configIsValid();

    void glyphsUseTheIconFont();
    void styleNavButtons_data();
    void styleNavButtons();
    void styleNavPanelNeedsMatchingLists_data();
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
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("palette");

    const QStringList names = {"silvery", "blue", "lightblue", "darkblue", "gray", "lightgray",
        "darkgray", "black", "lightblack", "darkblack", "psblack", "flatblack", "flatwhite",
        "darkblue1", "darkblack1", "darkblack2"};
    const QStringList palettes
        = {"#F5F5F5", "#CFDDEE", "#EAF7FF", "#0E1A32", "#F0F0F0", "#F0F0F0", "#EBECF0", "#464646",
            "#616F76", "#1F2026", "#444444", "#2E2F30", "#FFFFFF", "#0E141B", "#0E141B", "#0E141B"};
    for (int index = 0; index < names.size(); ++index) {
        QTest::addRow("%d %s", index, qPrintable(names.at(index)))
            << index << QStringLiteral(":/qss/%1.css").arg(names.at(index)) << palettes.at(index);
    }
    QTest::newRow("-1 falls back to blue") << -1 << ":/qss/blue.css"
                                           << "#CFDDEE";
    QTest::newRow("16 falls back to blue") << 16 << ":/qss/blue.css"
                                           << "#CFDDEE";
}

void TestSkins::applySkin()
{
    QFETCH(int, index);
    QFETCH(QString, sheet);
    QFETCH(QString, palette);

    QUIHelper::applySkin(index);

    const QString text = readLatin1(sheet);
    QVERIFY(!text.isEmpty());
    QCOMPARE(QUIHelper::skinFile(index), sheet);
    QCOMPARE(qApp->styleSheet(), text);
    QCOMPARE(qApp->palette().color(QPalette::Window), QColor(palette));
    QCOMPARE(polishWithCurrentSheet(), QStringList());
}

void TestSkins::unreadableSheetChangesNothing()
{
    qApp->setStyleSheet(QStringLiteral("QLabel{color:red;}"));
    const QString missing = QStringLiteral(":/qss/missing.css");

    QString paletteColor = QStringLiteral("keep");
    QString textColor = QStringLiteral("keep");
    QUIHelper::applySkinFile(missing, paletteColor, textColor);
    QCOMPARE(paletteColor, QStringLiteral("keep"));
    QCOMPARE(textColor, QStringLiteral("keep"));

    Colours colours = unchangedColours();
    QUIHelper::applySkinFile(missing, colours.text, colours.panel, colours.border,
        colours.normalStart, colours.normalEnd, colours.darkStart, colours.darkEnd, colours.high);
    QCOMPARE(colours.list(), unchangedColours().list());

    QCOMPARE(qApp->styleSheet(), QStringLiteral("QLabel{color:red;}"));
    QCOMPARE(qApp->palette().color(QPalette::Window), QColor(QStringLiteral("#123456")));
}

void TestSkins::applySkinFileReturnsColours_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("appliedSheet");
    QTest::addColumn<QString>("palette");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("trailer");

    const QString darkblack2 = readLatin1(QStringLiteral(":/qss/darkblack2.css"));
    QTest::newRow("darkblack2") << darkblack2.toLatin1() << darkblack2 << "#0E141B"
                                << "#D7E2E9"
                                << QStringList {"#D7E2E9", "#0E141B", "#111214", "#242629",
                                       "#141518", "#007DC4", "#0074BF", "#00BB9E"};

    const QByteArray own = "QPalette{background:#102030;}*{outline:0px;color:#A0B0C0;}\n"
                           "QLabel{color:#A0B0C0;}\n/*PanelColor:#112233*/\n/*HighColor:#445566*/";
    QStringList partial = unchangedColours().list();
    partial[1] = QStringLiteral("#112233");
    partial[7] = QStringLiteral("#445566");
    QTest::newRow("own sheet, two colours in its trailer")
        << own << QString::fromLatin1(own) << "#102030"
        << "#A0B0C0" << partial;

    const QByteArray cut = own + QByteArray("\0QLabel{color:red;}", 19);
    QTest::newRow("nothing after a NUL byte") << cut << QString::fromLatin1(own) << "#102030"
                                              << "#A0B0C0" << partial;
}

void TestSkins::applySkinFileReturnsColours()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, appliedSheet);
    QFETCH(QString, palette);
    QFETCH(QString, text);
    QFETCH(QStringList, trailer);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("skin.css"));
    writeFile(path, content);

    QString paletteColor;
    QString textColor;
    QUIHelper::applySkinFile(path, paletteColor, textColor);
    QCOMPARE(paletteColor, palette);
    QCOMPARE(textColor, text);
    QCOMPARE(qApp->styleSheet(), appliedSheet);
    QCOMPARE(qApp->palette().color(QPalette::Window), QColor(palette));

    init();
    Colours colours = unchangedColours();
    QUIHelper::applySkinFile(path, colours.text, colours.panel, colours.border, colours.normalStart,
        colours.normalEnd, colours.darkStart, colours.darkEnd, colours.high);
    QCOMPARE(colours.list(), trailer);
    QCOMPARE(qApp->styleSheet(), appliedSheet);
    QCOMPARE(qApp->palette().color(QPalette::Window), QColor(colours.panel));
}

void TestSkins::parseSkinColours_data()
{
    QTest::addColumn<QString>("qss");
    QTest::addColumn<QStringList>("expected");

    QStringList all;
    QString trailer;
    for (int i = 0; i < 8; ++i) {
        const QString colour = QStringLiteral("#00000%1").arg(i);
        all << colour;
        trailer += QStringLiteral("/*%1%2*/\n").arg(QLatin1String(ColourKeys[i]), colour);
    }
    QTest::newRow("all eight") << trailer << all;

    QStringList withoutHigh = all;
    withoutHigh[7] = QStringLiteral("keep");
    QString noHigh = trailer;
    noHigh.remove(QRegularExpression(QStringLiteral("/\\*HighColor:[^*]*\\*/")));
    QTest::newRow("HighColor missing") << noHigh << withoutHigh;

    QTest::newRow("no trailer") << "QLabel{}" << unchangedColours().list();
    QTest::newRow("keys are case-sensitive")
        << "/*highcolor:#FFFFFF*/" << unchangedColours().list();

    QStringList first = unchangedColours().list();
    first[0] = QStringLiteral("#AAAAAA");
    QTest::newRow("first occurrence wins") << "/*TextColor:#AAAAAA*//*TextColor:#BBBBBB*/" << first;
}

void TestSkins::parseSkinColours()
{
    QFETCH(QString, qss);
    QFETCH(QStringList, expected);

    Colours colours = unchangedColours();
    QUIHelper::parseSkinColours(qss, colours.text, colours.panel, colours.border,
        colours.normalStart, colours.normalEnd, colours.darkStart, colours.darkEnd, colours.high);
    QCOMPARE(colours.list(), expected);
}

void TestSkins::sheetsFollowTheFormat_data()
{
    QTest::addColumn<QString>("sheet");

    const QStringList sheets = sheetsInResources();
    QCOMPARE(sheets.size(), 18);
    QVERIFY(sheets.contains(QStringLiteral(":/qss/bf.css")));
    QVERIFY(sheets.contains(QStringLiteral(":/qss/test.css")));
    for (int index = 0; index < 16; ++index)
        QVERIFY2(
            sheets.contains(QUIHelper::skinFile(index)), qPrintable(QUIHelper::skinFile(index)));
    for (const QString &sheet : sheets)
        QTest::newRow(qPrintable(sheet)) << sheet;
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

    const QRegularExpression firstLine(
        QStringLiteral("^QPalette\\{background:(#[0-9A-Fa-f]{6});\\}\\*\\{outline:0px;color:(#[0-"
                       "9A-Fa-f]{6});\\}$"));
    const QRegularExpressionMatch match = firstLine.match(lines.first());
    QVERIFY2(match.hasMatch(), qPrintable(lines.first()));
    QCOMPARE(match.capturedStart(1), 20);
    QCOMPARE(match.capturedStart(2), 49);

    const QStringList trailer = lines.mid(lines.size() - 8);
    for (int i = 0; i < 8; ++i) {
        const QRegularExpression line(QStringLiteral("^/\\*%1#[0-9A-Fa-f]{6}\\*/$")
                                          .arg(QRegularExpression::escape(ColourKeys[i])));
        QVERIFY2(line.match(trailer.at(i)).hasMatch(), qPrintable(trailer.at(i)));
    }

    const QStringList selectors = {"QWidget[form=\"true\"]", "QWidget[form=\"title\"]",
        "QWidget[form=\"bottom\"]", "QWidget[nav=\"left\"]", "QWidget[nav=\"top\"]", "#btnMenu,",
        "#btnMenu_Min", "#btnMenu_Max", "#btnMenu_Close", "#gboxDeviceTitle", "#gboxDevicePanel"};
    for (const QString &selector : selectors)
        QVERIFY2(text.contains(selector), qPrintable(selector));

    const bool splitter = sheet.endsWith(QLatin1String("/darkblack1.css"))
        || sheet.endsWith(QLatin1String("/darkblack2.css"));
    QCOMPARE(text.contains(QLatin1String("QLabel[form=\"splitter\"]")), splitter);
    const bool colourCheck = sheet.endsWith(QLatin1String("/darkblack2.css"));
    QCOMPARE(text.contains(QLatin1String("QCheckBox[form=\"color\"]")), colourCheck);

    // Every picture a rule names must be embedded, or Qt silently draws nothing.
    const QRegularExpression url(QStringLiteral("url\\((:/[^)]+)\\)"));
    const QString skinFolder = QFileInfo(sheet).completeBaseName();
    auto urls = url.globalMatch(text);
    int pictures = 0;
    while (urls.hasNext()) {
        const QString path = urls.next().captured(1);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        if (path.startsWith(QStringLiteral(":/qss/")))
            QVERIFY2(
                path.startsWith(QStringLiteral(":/qss/%1/").arg(skinFolder)), qPrintable(path));
        ++pictures;
    }
    QVERIFY(pictures > 0);
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
    QTest::newRow("key with value") << true << QByteArray("[BaseConfig]\nkey=1\n") << true;
    QTest::newRow("group header only") << true << QByteArray("[BaseConfig]\n") << true;
}

void TestSkins::configIsValid()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(bool, valid);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    if (exists)
        writeFile(QUIHelper::ConfigFile, content);

    const bool result = QUIHelper::configIsValid();
    const QByteArray after = readLatin1(QUIHelper::ConfigFile).toLatin1();
    const bool validAfterwards = QUIHelper::configIsValid();
    QDir::setCurrent(previous);

    QCOMPARE(result, valid);
    if (valid) {
        QCOMPARE(after, content);
    } else {
        // A broken file is replaced by a fresh one that passes the check.
        QCOMPARE(after, QByteArray("[BaseConfig]\n"));
        QVERIFY(validAfterwards);
    }
}

void TestSkins::glyphsUseTheIconFont()
{
    IconHelper *icons = IconHelper::instance();
    QLabel label;
    QToolButton button;
    icons->setGlyph(&label, QChar(0xF072), 13);
    icons->setGlyph(&button, QChar(0xF00D), 9);
    for (const auto &[widget, glyph, size] : {std::make_tuple<QWidget *>(&label, 0xF072, 13),
             std::make_tuple<QWidget *>(&button, 0xF00D, 9)}) {
        QCOMPARE(widget->property("text").toString(), QString(QChar(glyph)));
        QCOMPARE(widget->font().family(), QStringLiteral("FontAwesome"));
        QCOMPARE(widget->font().pointSize(), size);
    }

    // The glyph must be painted in its colour, centred: a missing font would
    // leave a box or nothing at all.
    const QImage image = icons->glyphPixmap("#FF0000", QChar(0xF00D), 20, 40, 30).toImage();
    QCOMPARE(image.size(), QSize(40, 30));
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    QRect drawn;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() == 255) {
                QCOMPARE(colour, QColor(Qt::red));
                drawn |= QRect(x, y, 1, 1);
            }
        }
    }
    QVERIFY(drawn.width() > 8 && drawn.height() > 8);
    QVERIFY(qAbs(drawn.center().x() - 20) <= 2);
    QVERIFY(qAbs(drawn.center().y() - 15) <= 2);
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

void TestSkins::styleNavPanelNeedsMatchingLists_data()
{
    QTest::addColumn<int>("buttonCount");
    QTest::addColumn<QList<int>>("glyphs");

    QTest::newRow("two buttons, three glyphs") << 2 << QList<int> {0xF015, 0xF0E4, 0xF013};
    QTest::newRow("two buttons, no glyphs") << 2 << QList<int> {};
    QTest::newRow("no buttons, one glyph") << 0 << QList<int> {0xF015};
}

void TestSkins::styleNavPanelNeedsMatchingLists()
{
    QFETCH(int, buttonCount);
    QFETCH(QList<int>, glyphs);

    QWidget panel;
    panel.setStyleSheet(QStringLiteral("QWidget{}"));
    QList<QToolButton *> buttons;
    for (int i = 0; i < buttonCount; ++i)
        buttons << new QToolButton(&panel);

    IconHelper::instance()->styleNavPanel(&panel, buttons, glyphs, 12, 20, 20, "left", 2, "#333333",
        "#222222", "#555555", "#111111", "#444444");
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
    QVERIFY(panel.styleSheet().contains(QLatin1String("QWidget#navPanel{background:#222222;}")));
    QVERIFY(panel.styleSheet().endsWith(
        QLatin1String("QToolButton:hover,QToolButton:pressed,QToolButton:checked{"
                      "background-color:#555555;color:#00FF00;}")));

    auto iconImage = [](QToolButton *button) {
        return button->icon()
            .pixmap(QSize(20, 20))
            .toImage()
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    auto stored = [icons](QToolButton *button, bool normal) {
        return icons->storedPixmap(button, normal)
            .toImage()
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    QVERIFY(stored(plain, true) != stored(plain, false));
    QCOMPARE(plain->iconSize(), QSize(20, 20));
    QCOMPARE(iconImage(plain), stored(plain, true));

    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    for (QToolButton *button : {plain, checked}) {
        QApplication::sendEvent(button, &enter);
        QCOMPARE(iconImage(button), stored(button, false));
        QApplication::sendEvent(button, &leave);
        QCOMPARE(iconImage(button), stored(button, !button->isChecked()));
    }
}

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"
