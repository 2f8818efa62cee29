// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's pictures and writes the skin sheets into the resource
// tree given as the only argument (scripts/draw-artwork passes resources/).
// The output is committed, so the build itself needs none of this.

#include "pictures.h"
#include "skinsheets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

namespace {

class Writer
{
public:
    explicit Writer(const QString &root)
        : m_root(root)
    { }

    void image(const QString &path, const QImage &image)
    {
        const QString target = prepare(path);
        if (!image.save(target, "PNG"))
            fail(target);
    }

    void text(const QString &path, const QString &text)
    {
        const QString target = prepare(path);
        QFile file(target);
        // Sheets are read back as Latin-1, so they must stay plain ASCII.
        if (!file.open(QFile::WriteOnly | QFile::Truncate) || file.write(text.toLatin1()) < 0)
            fail(target);
    }

    bool failed() const { return m_failed; }

private:
    QString prepare(const QString &path)
    {
        const QString target = m_root.filePath(path);
        QDir().mkpath(QFileInfo(target).absolutePath());
        return target;
    }

    void fail(const QString &target)
    {
        QTextStream(stderr) << "artwork: cannot write " << target << '\n';
        m_failed = true;
    }

    QDir m_root;
    bool m_failed = false;
};

void drawProgramPictures(Writer &out)
{
    out.image(QStringLiteral("current_src/current_39x27.png"), Pictures::logo());
    out.image(QStringLiteral("current_src/start12x12.png"), Pictures::startButton());
    out.image(QStringLiteral("current_src/stop12x12.png"), Pictures::stopButton());
    out.image(QStringLiteral("current_src/save12x12.png"), Pictures::saveButton());
    out.image(QStringLiteral("current_src/return12x12.png"), Pictures::returnButton());
    out.image(QStringLiteral("current_src/compare12x12.png"), Pictures::compareButton());
    out.image(QStringLiteral("current_src/color.png"), Pictures::colourWheel());
}

void drawMessagePictures(Writer &out)
{
    out.image(QStringLiteral("image/msg_info.png"), Pictures::messageInfo());
    out.image(QStringLiteral("image/msg_question.png"), Pictures::messageQuestion());
    out.image(QStringLiteral("image/msg_error.png"), Pictures::messageError());
    out.image(QStringLiteral("image/btn_ok.png"), Pictures::okButton());
    out.image(QStringLiteral("image/btn_close.png"), Pictures::closeButton());
}

void drawAppIcons(Writer &out)
{
    for (int size : {16, 32, 48, 64, 128, 256})
        out.image(QStringLiteral("icons/ammeter-%1.png").arg(size), Pictures::appIcon(size));
}

void drawSkinPictures(Writer &out, const SkinColours &skin)
{
    using Pictures::Direction;
    const QString folder = QStringLiteral("qss/") + skin.name + QLatin1Char('/');
    const QColor text(skin.text);
    const QColor high(skin.high);
    QColor frame(text);
    frame.setAlpha(170);

    out.image(folder + "add_top.png", Pictures::arrow(Direction::Up, text));
    out.image(folder + "add_bottom.png", Pictures::arrow(Direction::Down, text));
    out.image(folder + "add_left.png", Pictures::arrow(Direction::Left, text));
    out.image(folder + "add_right.png", Pictures::arrow(Direction::Right, text));
    out.image(folder + "branch_close.png", Pictures::arrow(Direction::Right, text));
    out.image(folder + "branch_open.png", Pictures::arrow(Direction::Down, text));
    out.image(folder + "checkbox_unchecked.png", Pictures::checkBox(false, frame, high));
    out.image(folder + "checkbox_checked.png", Pictures::checkBox(true, frame, high));
    out.image(folder + "radiobutton_unchecked.png", Pictures::radioButton(false, frame, high));
    out.image(folder + "radiobutton_checked.png", Pictures::radioButton(true, frame, high));
}

bool writeSkins(Writer &out)
{
    QFile templateFile(QStringLiteral(":/artwork/skin.qss.in"));
    if (!templateFile.open(QFile::ReadOnly)) {
        QTextStream(stderr) << "artwork: the sheet template is missing\n";
        return false;
    }
    const QString bodyTemplate = QString::fromLatin1(templateFile.readAll());
    const QVector<SkinColours> skins = SkinSheets::skins();
    for (const SkinColours &skin : skins) {
        out.text(
            QStringLiteral("qss/%1.css").arg(skin.name), SkinSheets::sheet(skin, bodyTemplate));
        drawSkinPictures(out, skin);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: artwork <resources directory>\n";
        return 2;
    }

    Writer out(arguments.at(1));
    drawProgramPictures(out);
    drawMessagePictures(out);
    drawAppIcons(out);
    const bool skinsWritten = writeSkins(out);
    return skinsWritten && !out.failed() ? 0 : 1;
}
