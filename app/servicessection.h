// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SERVICESSECTION_H
#define SERVICESSECTION_H

#include <QWidget>

class AppSettings;
class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class WindowPublisher;

// Publishing the window's measurements to an MQTT broker: on or off, the
// broker's address with the topic prefix, the file with the credentials, the
// CA certificate for an mqtts:// broker, and how the connection fares.
class ServicesSection : public QWidget
{
    Q_OBJECT

public:
    explicit ServicesSection(AppSettings *settings, QWidget *parent = nullptr);

    // Shows the publisher's connection below the fields, as it changes.
    void follow(WindowPublisher *publisher);

protected:
    void changeEvent(QEvent *event) override;

private:
    void storeTypedUrl();
    QLineEdit *addFileRow(
        const QString &name, const QString &fileName, void (AppSettings::*store)(const QString &));
    void browseForFile(QLineEdit *edit, void (AppSettings::*store)(const QString &));
    void showProblem();
    void showStatus();
    void retranslate();

    AppSettings *m_settings;
    QFormLayout *m_form = nullptr;
    QCheckBox *chkMqtt = nullptr;
    QLabel *labMqttUrl = nullptr;
    QLineEdit *editMqttUrl = nullptr;
    QLabel *labPasswordFile = nullptr;
    QLineEdit *editPasswordFile = nullptr;
    QLabel *labCaFile = nullptr;
    QLineEdit *editCaFile = nullptr;
    QList<QPushButton *> m_browseButtons;
    QLabel *labMqttProblem = nullptr;
    QLabel *labMqttStatus = nullptr;
    WindowPublisher *m_publisher = nullptr;
};

#endif // SERVICESSECTION_H
