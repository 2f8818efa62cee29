// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef QUIMESSAGEBOX_H
#define QUIMESSAGEBOX_H

#include <QDialog>

class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTimer;
class QVBoxLayout;

// The framework's own message box: frameless and always on top, in the look of
// the frame, with an optional auto-close countdown in its title bar.
// Information and error messages share one non-modal instance; questions open
// a fresh modal box (QUIHelper::askQuestion).
class QUIMessageBox : public QDialog
{
    Q_OBJECT

public:
    explicit QUIMessageBox(QWidget *parent = nullptr);
    ~QUIMessageBox() override;

    static QUIMessageBox *instance();

public slots:
    void setIconMain(QChar str, quint32 size = 9);
    void setMessage(const QString &msg, int type, int closeSec = 0);
    // Escape answers like the close button, so a question never yields a third value.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void initControl();
    void initForm();
    void checkSec();
    void on_btnOk_clicked();
    void on_btnMenu_Close_clicked();

private:
    void createTitleBar();
    void createBody();
    void applyType(int type);

    QVBoxLayout *verticalLayout1 = nullptr;
    QWidget *widgetTitle = nullptr;
    QHBoxLayout *horizontalLayout3 = nullptr;
    QLabel *labIco = nullptr;
    QLabel *labTitle = nullptr;
    QLabel *labTime = nullptr;
    QWidget *widgetMenu = nullptr;
    QHBoxLayout *horizontalLayout4 = nullptr;
    QPushButton *btnMenu_Close = nullptr;
    QWidget *widgetMain = nullptr;
    QVBoxLayout *verticalLayout2 = nullptr;
    QFrame *frame = nullptr;
    QVBoxLayout *verticalLayout4 = nullptr;
    QHBoxLayout *horizontalLayout1 = nullptr;
    QLabel *labIcoMain = nullptr;
    QLabel *labInfo = nullptr;
    QHBoxLayout *horizontalLayout2 = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

    int closeSec = 0;
    int currentSec = 0;
    QTimer *timer = nullptr;
};

#endif // QUIMESSAGEBOX_H
