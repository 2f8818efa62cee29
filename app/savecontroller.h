// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SAVECONTROLLER_H
#define SAVECONTROLLER_H

#include <QObject>

class MeasurementHistory;
class QPushButton;
class QSettings;
class QWidget;

// "保存" in the title bar: every measurement the window holds as a CSV
// recording, or a picture of the window as it is, to a file the user picks.
class SaveController : public QObject
{
    Q_OBJECT

public:
    SaveController(QPushButton *button, const MeasurementHistory *history, QWidget *window,
        QSettings *settings, QObject *parent = nullptr);

    // What the dialog offers first: the recordings folder and the date and time.
    QString suggestedFileName() const;
    // A name ending in .png gets the picture, any other the CSV. False, after the
    // message box has said why, when the file cannot be written.
    bool saveTo(const QString &fileName);

private:
    void onClicked();
    bool saveCsv(const QString &fileName, QString *reason) const;

    const MeasurementHistory *m_history;
    QWidget *m_window;
    QSettings *m_settings;
};

#endif // SAVECONTROLLER_H
