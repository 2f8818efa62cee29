// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef REPLAYBAR_H
#define REPLAYBAR_H

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

// The controls of a replay through the live pages: pause, speed, position, and the way back to
// the meter.
class ReplayBar : public QWidget
{
    Q_OBJECT

public:
    explicit ReplayBar(QWidget *parent = nullptr);

    static const QList<int> &speeds();

public slots:
    void setFileName(const QString &fileName);
    void setDuration(double seconds);
    void setPosition(double seconds);
    void setPaused(bool paused);

signals:
    void pauseToggled(bool paused);
    void speedChosen(int factor);
    void seekRequested(double seconds);
    void backToLive();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void showPosition();

    QLabel *m_file;
    QPushButton *m_pause;
    QComboBox *m_speed;
    QSlider *m_slider;
    QLabel *m_position;
    QPushButton *m_live;
    double m_duration = 0;
    double m_seconds = 0;
    bool m_paused = false;
};

#endif // REPLAYBAR_H
