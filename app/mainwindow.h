// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "mainframelesswindow.h"

class AppSettings;
class CommonCurrentUSBDevice;
class LiveSource;
class MeasurementHistory;
class PageSource;
class MeterTiles;
class WindowMeters;
class DeviceStateLabel;
class StaleShade;
class QAction;
class QCheckBox;
class QEvent;
class QPushButton;
class QSettings;
class QToolBar;
class QToolButton;
class RecordingPages;
class ReplayController;
class RecordingController;
class RunStatusBar;
class TitleBarFitter;
class QLabel;
class WindowPublisher;

namespace Ui {
class MainWindow;
}

// The program's only window: the frame's title bar carries the connection
// state, the view switch, the language menu and the tool controls (record,
// save, playback, compare, settings, colours); below it
// a tile per meter when there are several, and the three device pages showing the picked
// meter; the status bar the run's figures.
class MainWindow : public MainFramelessWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void switchLanguage(const QString &code);
    // The skin to start in: the stored choice, by default the dark instrument skin.
    int storedSkinIndex() const;
    // One recording is played back, two to four compared (the command line's files).
    bool openRecordings(const QStringList &fileNames);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void onActionClicked();
    void onLanguageActionClicked();
    void onDeviceOnline();
    void onDeviceOffline();
    void openSettingsDialog();
    void onDeviceNotResponding();

private:
    static QSettings *openSettings();
    QString storedLanguage() const;
    void storeLanguage(const QString &code);
    void bringInTitleBar();
    void showTitleIcon();
    void createStateLabel();
    void createViewToolBar();
    void connectViewActions();
    void createLanguageButton();
    void createToolControls();
    void createTitleBarFitter();
    void fitToScreen();
    void createDevice();
    void createMeterTiles();
    void showPickedMeter();
    void setPlotHistory(const MeasurementHistory *history, double zero);
    void createRecording();
    void connectRecordingEvents();
    void showPublishing();
    void connectPages();
    void clearPagesSoon();
    void createRecordingPages();
    void createReplay();
    void retranslateControls();
    void connectPreferences();
    void applyPreferences();
    void showDeviceState(int state);

    Ui::MainWindow *ui;
    // Null when something other than a file stands where "Settings.ini" belongs.
    QSettings *settings;
    AppSettings *appSettings = nullptr;

    DeviceStateLabel *lblDeviceState = nullptr;
    StaleShade *staleShade = nullptr;
    QToolBar *toolBar = nullptr;
    QAction *actionCurve = nullptr;
    QAction *actionNeedle = nullptr;
    QAction *actionCurveNeedle = nullptr;
    QToolButton *btnLanguage = nullptr;
    QAction *actionChinese = nullptr;
    QAction *actionEnglish = nullptr;
    QPushButton *btnRecord = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnPlayback = nullptr;
    QPushButton *btnCompare = nullptr;
    QPushButton *btnSettings = nullptr;
    QCheckBox *chkColor = nullptr;
    WindowMeters *meters = nullptr;
    MeterTiles *meterTiles = nullptr;
    // The picked meter's, as the pages see it.
    CommonCurrentUSBDevice *device = nullptr;
    RecordingPages *recordingPages = nullptr;
    ReplayController *replayController = nullptr;
    LiveSource *liveSource = nullptr;
    PageSource *pageSource = nullptr;
    RecordingController *recordingController = nullptr;
    RunStatusBar *runStatus = nullptr;
    WindowPublisher *windowPublisher = nullptr;
    // How publishing fares, while it is on.
    QLabel *lblPublishing = nullptr;
    TitleBarFitter *titleBarFitter = nullptr;
    bool shownBefore = false;
    // The live view a replay shows, the one last chosen: on a recording's page none is checked.
    int liveView = 1;
};

#endif // MAINWINDOW_H
