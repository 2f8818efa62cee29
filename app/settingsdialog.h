// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef SETTINGSDIALOG_H
#define SETTINGSDIALOG_H

#include <QDialog>

class AppSettings;
class QLabel;
class QPushButton;
class QTabWidget;
class ServicesSection;

// "设置/服务": the choices a user makes once, in the window's own frameless, skinned look, one
// tab a section. Each section stores its choices the moment they are made; the dialog only
// frames them. A section is any widget whose window title names it (and follows the language),
// so a new one is one addSection() call.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    SettingsDialog(AppSettings *settings, const QString &language, QWidget *parent = nullptr);

    void addSection(QWidget *section);
    ServicesSection *servicesSection() const { return m_services; }

signals:
    void languageChosen(const QString &code);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *createTitleBar();
    void retranslate();

    QWidget *widgetTitle = nullptr;
    QLabel *labIco = nullptr;
    QLabel *labTitle = nullptr;
    QPushButton *btnMenu_Close = nullptr;
    QTabWidget *tabSections = nullptr;
    ServicesSection *m_services = nullptr;
};

#endif // SETTINGSDIALOG_H
