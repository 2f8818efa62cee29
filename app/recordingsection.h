// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef RECORDINGSECTION_H
#define RECORDINGSECTION_H

#include <QWidget>

class AppSettings;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// Where recordings go, whether as CSV or as JSON lines, and what ends one by itself.
class RecordingSection : public QWidget
{
    Q_OBJECT

public:
    explicit RecordingSection(AppSettings *settings, QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void storeTypedFolder();
    void browseForFolder();
    void retranslate();
    void createStopCondition();
    void showStopCondition();
    void storeStopCondition();

    AppSettings *m_settings;
    QFormLayout *m_form = nullptr;
    QLabel *labFolder = nullptr;
    QLineEdit *editFolder = nullptr;
    QPushButton *btnBrowse = nullptr;
    QComboBox *cmbFormat = nullptr;
    QLabel *labStop = nullptr;
    QComboBox *cmbStop = nullptr;
    QDoubleSpinBox *spinThreshold = nullptr;
    QDoubleSpinBox *spinHold = nullptr;
};

#endif // RECORDINGSECTION_H
