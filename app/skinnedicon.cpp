// SPDX-License-Identifier: GPL-3.0-or-later
#include "skinnedicon.h"

#include "contrast.h"
#include "quihelper.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

namespace {

QImage tinted(const QImage &shape, const QColor &colour)
{
    QImage image = shape.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), colour);
    return image;
}

class SkinnedIconEngine : public QIconEngine
{
public:
    explicit SkinnedIconEngine(const QString &picture)
        : m_shape(picture)
    { }

    QIconEngine *clone() const override { return new SkinnedIconEngine(*this); }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        QColor colour = SkinnedIcon::colour();
        if (mode == QIcon::Disabled)
            colour.setAlphaF(0.4);
        const QImage shape = m_shape.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return QPixmap::fromImage(tinted(shape, colour));
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return m_shape.size().scaled(size, Qt::KeepAspectRatio).boundedTo(m_shape.size());
    }

private:
    QImage m_shape;
};

} // namespace

QIcon SkinnedIcon::icon(const QString &picture)
{
    return QIcon(new SkinnedIconEngine(picture));
}

QPixmap SkinnedIcon::pixmap(const QString &picture)
{
    return QPixmap::fromImage(tinted(QImage(picture), colour()));
}

// The skin's text colour from its sheet; without a skin, the palette's.
QColor SkinnedIcon::colour()
{
    const QPalette palette = QApplication::palette();
    QString text = palette.color(QPalette::WindowText).name();
    QString panel, border, normalStart, normalEnd, darkStart, darkEnd, high;
    QUIHelper::parseSkinColours(
        qApp->styleSheet(), text, panel, border, normalStart, normalEnd, darkStart, darkEnd, high);
    return Contrast::readableOn(QColor(text), palette.color(QPalette::Window), Contrast::Graphics);
}
