// SPDX-License-Identifier: GPL-3.0-or-later
#include "appinit.h"
#include "mainwindow.h"
#include "quihelper.h"

#include <QApplication>

int main(int argc, char *argv[])
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    // Qt 6 always scales and always uses high-DPI pixmaps.
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, true);
#endif
    // Fractional screen scales (125 %, 150 %) are used as they are; rounding
    // them to whole numbers would draw the window far too small or too large.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

    // Nothing in the program draws with OpenGL, yet on X11 Qt would load its GLX integration
    // and with it the software OpenGL stack of a machine without a GPU: some 48 MB resident
    // for nothing. A user who sets the variable still decides.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    QApplication app(argc, argv);
    // Lets a Wayland compositor match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.c_seed_3f57febf.ammeter"));
    AppInit::instance()->start();

    // Declared after the application so that it is destroyed first: its meters'
    // devices stop their worker threads while the application object still exists.
    MainWindow window;
    window.setTitle(window.windowTitle());
    window.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The skin the user chose last, not always the dark one: a choice is meant to last.
    QUIHelper::applySkin(window.storedSkinIndex());
    window.show();
    // Files given to the program (a file manager's "Open with" too) are recordings to look at.
    const QStringList files = QCoreApplication::arguments().mid(1);
    if (!files.isEmpty())
        window.openRecordings(files);

    return app.exec();
}
