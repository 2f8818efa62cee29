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

// Publishing the window's measurements to an MQTT broker: on or off, the
// broker's address with the topic prefix, and the file with the credentials.
class ServicesSection : public QWidget
{
    Q_OBJECT

public:
    explicit ServicesSection(AppSettings *settings, QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void storeTypedUrl();
    void storeTypedPasswordFile();
    void browseForPasswordFile();
    void showProblem();
    void retranslate();

    AppSettings *m_settings;
    QFormLayout *m_form = nullptr;
    QCheckBox *chkMqtt = nullptr;
    QLabel *labMqttUrl = nullptr;
    QLineEdit *editMqttUrl = nullptr;
    QLabel *labPasswordFile = nullptr;
    QLineEdit *editPasswordFile = nullptr;
    QPushButton *btnBrowsePasswordFile = nullptr;
    QLabel *labMqttProblem = nullptr;
};

#endif // SERVICESSECTION_H
