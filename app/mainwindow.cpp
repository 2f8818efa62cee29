// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appsettings.h"

#include "batterypanel.h"
#include "commoncurrentusbdevice.h"
#include "comparepage.h"
#include "currentandneedledevicewidget.h"
#include "currentdevicelinewidget.h"
#include "currentdevicewidget.h"
#include "devicestatelabel.h"
#include "kestravonsinglecurrentcustomplot.h"
#include "livesource.h"
#include "measurementfeed.h"
#include "metertiles.h"
#include "pagebuttons.h"
#include "pagesource.h"
#include "playbackpage.h"
#include "recordingcontroller.h"
#include "recordingpages.h"
#include "replaybar.h"
#include "replaycontroller.h"
#include "runfigures.h"
#include "runstatusbar.h"
#include "runview.h"
#include "savecontroller.h"
#include "servicessection.h"
#include "settingsdialog.h"
#include "settingslocation.h"
#include "skinnedicon.h"
#include "staleshade.h"
#include "titlebarfitter.h"
#include "windowmeters.h"
#include "windowpublisher.h"
#include "windowrecorder.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

namespace {

const char *const LanguageKey = "languagesIndex";
const int ToolAreaControlWidth = 76;
const int StateLabelWidth = 120;
const int ToolBarWidth = 350;
const QSize OpeningSize(1149, 652);

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : MainFramelessWindow(parent)
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    settings = openSettings();
    appSettings = new AppSettings(settings, this);

    bringInTitleBar();
    createStateLabel();
    createViewToolBar();
    ui->stackedWidget->setCurrentIndex(1);
    connectViewActions();
    createLanguageButton();
    createToolControls();
    createTitleBarFitter();
    retranslateControls();

    staleShade = new StaleShade(ui->stackedWidget);
    createDevice();
    connectPages();
    createRecording();
    clearPagesSoon();
    createRecordingPages();
    createReplay();
    createMeterTiles();
    connectPreferences();
    meters->start();

    switchLanguage(storedLanguage());
}

MainWindow::~MainWindow()
{
    // Written out now: the close button ends the program through here.
    delete settings;
    delete ui;
}

void MainWindow::showEvent(QShowEvent *event)
{
    fitToScreen();
    shownBefore = true;
    MainFramelessWindow::showEvent(event);
}

void MainWindow::switchLanguage(const QString &code)
{
    auto *translator = new QTranslator;
    // Empty search delimiters: "zh_CN" must not quietly fall back to zh.qm.
    if (translator->load(QStringLiteral(":/languages/") + code + QStringLiteral(".qm"), QString(),
            QStringLiteral(""))) {
        QCoreApplication::installTranslator(translator);
        storeLanguage(code);
    } else {
        delete translator;
    }

    if (code == QLatin1String("en"))
        setTitle(QStringLiteral("  Ampere meter upper computer management software"));
    else
        setTitle(QStringLiteral(" 电流表上位机管理软件"));
    ui->retranslateUi(this);
}

// A named pipe or a device in the file's place would block the first read for
// ever; such an entry is left alone and the language is simply not remembered.
QSettings *MainWindow::openSettings()
{
    const QString path = SettingsLocation::filePath();
    const QFileInfo entry(path);
    if (entry.exists() && !entry.isFile())
        return nullptr;
    return new QSettings(path, QSettings::IniFormat);
}

int MainWindow::storedSkinIndex() const
{
    return appSettings->skinIndex();
}

QString MainWindow::storedLanguage() const
{
    const QString fallback = QStringLiteral("zh");
    return settings ? settings->value(LanguageKey, fallback).toString() : fallback;
}

void MainWindow::storeLanguage(const QString &code)
{
    if (settings)
        settings->setValue(LanguageKey, code);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslateControls();
        if (isVisible())
            fitToScreen();
    }
    // A new skin arrives as a palette, then as a sheet; the icon is drawn in the skin's colours.
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::PaletteChange)
        showTitleIcon();
    MainFramelessWindow::changeEvent(event);
}

// "回放" and "对比" open recordings on pages of their own, which the window's description left
// without function: users asked to look at yesterday's run in the same window.
void MainWindow::createRecordingPages()
{
    recordingPages = new RecordingPages(ui->stackedWidget, settings, this);
    connect(btnPlayback, &QPushButton::clicked, recordingPages, &RecordingPages::choosePlayback);
    connect(btnCompare, &QPushButton::clicked, recordingPages, &RecordingPages::chooseCompare);

    auto *pageButtons = new PageButtons(ui->stackedWidget);
    pageButtons->add(actionCurve, ui->page);
    pageButtons->add(actionNeedle, ui->page_3);
    pageButtons->add(actionCurveNeedle, ui->page_2);
    pageButtons->add(btnPlayback, recordingPages->playbackPage());
    pageButtons->add(btnCompare, recordingPages->comparePage());
    connect(recordingPages->playbackPage()->batteryPanel(), &BatteryPanel::batteryChanged,
        appSettings, [this](double capacityMah, double usableFraction) {
            appSettings->setBatteryCapacityMah(capacityMah);
            appSettings->setBatteryUsableFraction(usableFraction);
        });
}

// A replay runs through the live pages in the meter's place; the state label says so, and the
// way back is the bar's "返回实时" or any view button.
void MainWindow::createReplay()
{
    auto *bar = new ReplayBar(ui->centralwidget);
    bar->setObjectName(QStringLiteral("replayBar"));
    ui->verticalLayout_3->addWidget(bar);
    replayController = new ReplayController(pageSource, liveSource, bar, this);
    PlaybackPage *playback = recordingPages->playbackPage();
    connect(playback, &PlaybackPage::replayRequested, this, [this, playback] {
        replayController->start(&playback->run());
        ui->stackedWidget->setCurrentIndex(liveView);
    });
    connect(playback, &PlaybackPage::runChanged, replayController, &ReplayController::stop);
    for (QAction *action : {actionCurve, actionNeedle, actionCurveNeedle})
        connect(action, &QAction::triggered, replayController, &ReplayController::stop);
    connect(replayController, &ReplayController::replayingChanged, lblDeviceState,
        &DeviceStateLabel::setReplaying);
}

bool MainWindow::openRecordings(const QStringList &fileNames)
{
    return recordingPages->open(fileNames);
}

void MainWindow::onActionClicked()
{
    if (auto *action = qobject_cast<QAction *>(sender())) {
        liveView = action->data().toInt();
        ui->stackedWidget->setCurrentIndex(liveView);
    }
}

void MainWindow::onLanguageActionClicked()
{
    if (auto *action = qobject_cast<QAction *>(sender()))
        switchLanguage(action->data().toString());
}

void MainWindow::onDeviceOnline()
{
    showDeviceState(DeviceStateLabel::Online);
}

void MainWindow::onDeviceOffline()
{
    showDeviceState(DeviceStateLabel::Offline);
}

void MainWindow::onDeviceNotResponding()
{
    showDeviceState(DeviceStateLabel::NotResponding);
}

void MainWindow::showDeviceState(int state)
{
    lblDeviceState->setState(DeviceStateLabel::State(state));
    staleShade->setStale(state == DeviceStateLabel::NotResponding);
    fitToScreen();
}

void MainWindow::bringInTitleBar()
{
    widgetMain->setFixedHeight(46);
    ui->lblSplitter1->setProperty("form", "splitter");
    ui->verticalLayout_3->insertWidget(0, widgetMain);

    labIco->setMinimumWidth(43);
    showTitleIcon();
    labIco->setMargin(3);
}

void MainWindow::showTitleIcon()
{
    labIco->setPixmap(SkinnedIcon::pixmap(QStringLiteral(":/current_src/current_39x27.png")));
}

void MainWindow::createStateLabel()
{
    lblDeviceState = new DeviceStateLabel(this);
    lblDeviceState->setMinimumWidth(StateLabelWidth);
    toolLayout->setSpacing(16);
    toolLayout->addWidget(lblDeviceState);
}

void MainWindow::createViewToolBar()
{
    toolBar = new QToolBar(this);
    toolBar->setMinimumHeight(40);
    toolBar->setMinimumWidth(ToolBarWidth);
    toolBar->setContentsMargins(0, 9, 0, 0);
    toolBar->setStyleSheet(
        QStringLiteral("QToolBar { spacing: 10px; margin-top: 9px; margin-bottom: 0px; }"));

    auto addView = [this](const QString &name, int page) {
        QAction *action = toolBar->addAction(QString());
        action->setObjectName(name);
        action->setCheckable(true);
        action->setData(page);
        return action;
    };
    actionCurve = addView(QStringLiteral("actionCurve"), 0);
    actionNeedle = addView(QStringLiteral("actionNeedle"), 1);
    actionCurveNeedle = addView(QStringLiteral("actionCurveNeedle"), 2);
    actionNeedle->setChecked(true);
}

void MainWindow::connectViewActions()
{
    auto *views = new QActionGroup(toolBar);
    for (QAction *action : {actionCurve, actionNeedle, actionCurveNeedle}) {
        connect(action, &QAction::triggered, this, &MainWindow::onActionClicked);
        views->addAction(action);
    }
    toolLayout->addWidget(toolBar);
}

void MainWindow::createLanguageButton()
{
    btnLanguage = new QToolButton(this);
    btnLanguage->setObjectName(QStringLiteral("btnLanguage"));
    btnLanguage->setMinimumWidth(ToolAreaControlWidth);
    btnLanguage->setMinimumHeight(40);
    btnLanguage->setPopupMode(QToolButton::InstantPopup);
    btnLanguage->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolLayout->addWidget(btnLanguage);

    auto *menu = new QMenu(this);
    auto addLanguage = [this, menu](const QString &name, const QString &code) {
        auto *action = new QAction(this);
        action->setObjectName(name);
        action->setData(code);
        menu->addAction(action);
        connect(action, &QAction::triggered, this, &MainWindow::onLanguageActionClicked);
        return action;
    };
    actionChinese = addLanguage(QStringLiteral("actionChinese"), QStringLiteral("zh"));
    actionEnglish = addLanguage(QStringLiteral("actionEnglish"), QStringLiteral("en"));
    btnLanguage->setMenu(menu);
}

// The title bar's tool controls with their icons and skin; what each does is wired where its
// function lives: recording and saving in createRecording(), playback and comparison in
// createRecordingPages(), the settings and the colours in connectPreferences().
void MainWindow::createToolControls()
{
    auto addButton = [this](const QString &name, const QString &icon) {
        auto *button = new QPushButton(this);
        button->setObjectName(name);
        if (!icon.isEmpty())
            button->setIcon(SkinnedIcon::icon(icon));
        button->setMinimumWidth(ToolAreaControlWidth);
        toolLayout->addWidget(button);
        return button;
    };
    btnRecord
        = addButton(QStringLiteral("btnRecord"), QStringLiteral(":/current_src/start12x12.png"));
    btnSave = addButton(QStringLiteral("btnSave"), QStringLiteral(":/current_src/save12x12.png"));
    btnPlayback
        = addButton(QStringLiteral("btnPlayback"), QStringLiteral(":/current_src/return12x12.png"));
    btnCompare
        = addButton(QStringLiteral("btnCompare"), QStringLiteral(":/current_src/compare12x12.png"));
    btnSettings = addButton(QStringLiteral("btnSettings"), QString());

    chkColor = new QCheckBox(this);
    chkColor->setObjectName(QStringLiteral("chkColor"));
    chkColor->setProperty("form", "color");
    chkColor->setMinimumWidth(ToolAreaControlWidth);
    toolLayout->addWidget(chkColor);
}

// The controls' minimum widths are floors: an English label is wider than 76 pixels, and a
// control held at its floor would cut its text off on both sides. The view tool bar's floor is
// its whole width, so it folds as one control into the bar's "»" rather than into an extension
// menu of its own: one "»" for everything that does not fit, not two side by side.
void MainWindow::createTitleBarFitter()
{
    titleBarFitter = new TitleBarFitter(widgetTitle, labTitle, toolLayout);
    titleBarFitter->pin(lblDeviceState);
    titleBarFitter->addControl(lblDeviceState, StateLabelWidth);
    titleBarFitter->addControl(toolBar, ToolBarWidth);
    for (QWidget *control : std::initializer_list<QWidget *> {
             btnLanguage, btnRecord, btnSave, btnPlayback, btnCompare, btnSettings, chkColor})
        titleBarFitter->addControl(control, ToolAreaControlWidth);
}

// The window opens as wide as its title bar needs to show everything, as far as the screen
// allows, and can then be made as narrow as half a full-HD screen: the title bar folds what no
// longer fits. A window showing everything keeps doing so when a text grows, where the screen
// has room; one the user narrowed keeps its width and folds.
void MainWindow::fitToScreen()
{
    if (!titleBarFitter || !isVisible())
        return;
    const QRect area = screen()->availableGeometry();
    const bool wasWhole = titleBarFitter->isWhole();
    titleBarFitter->fit(title(), width());
    // Set outright: the layouts above the title bar would otherwise keep the minimum of its
    // previous fit until a later pass.
    setMinimumWidth(std::min(area.width(),
        std::max(titleBarFitter->leastWidth(), ui->stackedWidget->minimumSizeHint().width())));
    QSize opening = size();
    if (!shownBefore)
        opening = OpeningSize.expandedTo(QSize(titleBarFitter->wholeWidth(), 0));
    else if (wasWhole)
        opening.setWidth(std::max(width(), titleBarFitter->wholeWidth()));
    opening = opening.expandedTo(minimumSize()).boundedTo(area.size());
    if (opening == size() && area.contains(frameGeometry())) {
        titleBarFitter->refit(width());
        return;
    }
    resize(opening);
    // Kept whole on the screen, window buttons included.
    QRect placed(pos(), opening);
    placed.moveRight(std::min(placed.right(), area.right()));
    placed.moveBottom(std::min(placed.bottom(), area.bottom()));
    placed.moveLeft(std::max(placed.left(), area.left()));
    placed.moveTop(std::max(placed.top(), area.top()));
    move(placed.topLeft());
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    if (titleBarFitter)
        titleBarFitter->refit(event->size().width());
    MainFramelessWindow::resizeEvent(event);
}

// One device object per meter rather than the window's one: a bench with several meters is
// seen, recorded and published whole, and the pages follow the meter the user picks.
void MainWindow::createDevice()
{
    meters = new WindowMeters(this);
    device = meters->picked();
    connect(device, &CommonCurrentUSBDevice::deviceOnline, this, &MainWindow::onDeviceOnline);
    connect(device, &CommonCurrentUSBDevice::deviceOffline, this, &MainWindow::onDeviceOffline);
    connect(device, &CommonCurrentUSBDevice::deviceNotResponding, this,
        &MainWindow::onDeviceNotResponding);
    connect(device, &CommonCurrentUSBDevice::deviceResponding, this, &MainWindow::onDeviceOnline);
    connect(device, &USBSerialDevice::openFailed, this,
        [this](const QString &location, USBSerialDevice::OpenError error) {
            lblDeviceState->setRefusal(location, error);
            fitToScreen();
        });
}

void MainWindow::createMeterTiles()
{
    meterTiles = new MeterTiles(meters, appSettings, ui->centralwidget);
    meterTiles->setObjectName(QStringLiteral("meterTiles"));
    ui->verticalLayout_3->insertWidget(
        ui->verticalLayout_3->indexOf(ui->stackedWidget), meterTiles);
    connect(meters, &WindowMeters::pickedChanged, this, &MainWindow::showPickedMeter);
}

// The live source follows the pick by itself; a replay gives way to the meter picked.
void MainWindow::showPickedMeter()
{
    replayController->stop();
}

// The live curves draw from the page source's history rather than each keeping every
// measurement of its own: the picked meter's, or the replay's while it runs.
void MainWindow::setPlotHistory(const MeasurementHistory *history, double zero)
{
    for (QWidget *page : std::initializer_list<QWidget *> {ui->currentLineWidget, ui->widget_2}) {
        for (auto *plot : page->findChildren<KestravonSingleCurrentCustomPlot *>())
            plot->setHistory(history, zero);
    }
}

// The pages are not handed the device, as they were built to be, but follow the page source: the
// picked meter or a replay in its place, so that a replay is a change of source and not a
// rewiring of the pages.
void MainWindow::connectPages()
{
    liveSource = new LiveSource(meters, this);
    pageSource = new PageSource(this);
    connect(pageSource, &PageSource::historyChanged, this, &MainWindow::setPlotHistory);
    connect(pageSource, &PageSource::shown, ui->widget, &CurrentDeviceWidget::onParameterChanged);
    connect(pageSource, &PageSource::shown, ui->currentLineWidget,
        &CurrentDeviceLineWidget::onParameterChanged);
    connect(pageSource, &PageSource::shown, ui->widget_2,
        &CurrentAndNeedleDeviceWidget::onParameterChanged);
    pageSource->follow(liveSource);
}

// Without a meter the pages would keep their placeholder texts; a zero
// measurement shortly after start puts every page into its idle look. A meter
// that answered first keeps its reading.
void MainWindow::clearPagesSoon()
{
    QTimer::singleShot(100, this, [this] {
        const MeasurementFeed *feed = meters->feed(meters->pickedMeter());
        if (!feed || !feed->isOnline())
            emit device->parameterChanged(0, 0, 0);
    });
}

// The measurements, the run's figures in the status bar, the recording, the
// saving and the publishing all follow the one feed of real measurements.
void MainWindow::createRecording()
{
    auto *figures = new RunFigures(meters, this);
    recordingController = new RecordingController(btnRecord, meters, appSettings, this);
    new SaveController(btnSave, liveSource, this, appSettings, this);
    // Each meter under its own name, on a connection of its own. They all go to the one broker,
    // so the first meter's connection speaks for them on the status line and in the settings.
    connect(meters, &WindowMeters::meterAdded, this, [this](const QString &meter) {
        auto *publisher
            = new WindowPublisher(meters->feed(meter), meters->device(meter), appSettings, this);
        if (windowPublisher)
            return;
        windowPublisher = publisher;
        connect(publisher, &WindowPublisher::statusChanged, this, &MainWindow::showPublishing);
        showPublishing();
    });
    runStatus = new RunStatusBar(figures, recordingController->recorder(), this);
    runStatus->setObjectName(QStringLiteral("runStatusBar"));
    connectRecordingEvents();
    ui->statusbar->addWidget(runStatus, 1);
    lblPublishing = new QLabel(this);
    lblPublishing->setObjectName(QStringLiteral("lblPublishing"));
    // A library's long message is clipped here, whole in the tooltip, and never widens the window.
    lblPublishing->setMinimumWidth(1);
    ui->statusbar->addPermanentWidget(lblPublishing);
    showPublishing();
    connect(runStatus, &RunStatusBar::clockChanged, ui->widget_2,
        &CurrentAndNeedleDeviceWidget::showClock);
    connect(this, &MainAppWindow::closing, recordingController, &RecordingController::stop);
    // "停止录制" is wider than "开始录制" in English.
    for (auto signal : {&WindowRecorder::started, &WindowRecorder::stopped})
        connect(recordingController->recorder(), signal, this, [this] { fitToScreen(); });
}

// What happens to each meter during a recording goes into that meter's events file.
void MainWindow::connectRecordingEvents()
{
    WindowRecorder *recorder = recordingController->recorder();
    connect(meters, &WindowMeters::meterAdded, recorder, [this, recorder](const QString &meter) {
        const auto noting = [recorder, meter](RunEvent::Kind kind) {
            return [recorder, meter, kind] { recorder->noteFor(meter, kind); };
        };
        MeasurementFeed *feed = meters->feed(meter);
        CommonCurrentUSBDevice *meterDevice = meters->device(meter);
        connect(feed, &MeasurementFeed::meterLeft, recorder, noting(RunEvent::Unplugged));
        connect(feed, &MeasurementFeed::meterArrived, recorder, noting(RunEvent::Plugged));
        connect(meterDevice, &CommonCurrentUSBDevice::deviceNotResponding, recorder,
            noting(RunEvent::Silent));
        connect(meterDevice, &CommonCurrentUSBDevice::deviceResponding, recorder,
            noting(RunEvent::Answering));
    });
}

void MainWindow::showPublishing()
{
    const QString status = windowPublisher ? windowPublisher->statusText() : QString();
    lblPublishing->setText(status);
    lblPublishing->setToolTip(status);
    lblPublishing->setVisible(!status.isEmpty());
}

void MainWindow::retranslateControls()
{
    if (windowPublisher)
        showPublishing();
    lblDeviceState->retranslate();
    if (meterTiles)
        meterTiles->retranslate();
    actionCurve->setText(tr("曲线显示"));
    actionNeedle->setText(tr("指针显示"));
    actionCurveNeedle->setText(tr("曲线/指针电流显示"));
    btnLanguage->setText(tr("切换语言"));
    if (recordingController)
        recordingController->showState();
    btnSave->setText(tr("保存"));
    btnPlayback->setText(tr("回放"));
    btnCompare->setText(tr("对比"));
    btnSettings->setText(tr("设置/服务"));
    chkColor->setText(tr("个性色彩"));
    actionChinese->setText(tr("中文"));
    actionEnglish->setText(tr("英文"));
}

// "设置/服务" and "个性色彩" work, and the title bar's skin menu (which the frame hides)
// is shown: a skin chosen there is remembered like one chosen in the dialog.
void MainWindow::connectPreferences()
{
    btnMenu->show();
    connect(this, &MainAppWindow::skinChosen, appSettings, &AppSettings::setSkinIndex);
    connect(btnSettings, &QPushButton::clicked, this, &MainWindow::openSettingsDialog);
    connect(chkColor, &QCheckBox::toggled, appSettings, &AppSettings::setPersonalityColor);
    connect(appSettings, &AppSettings::changed, this, &MainWindow::applyPreferences);
    applyPreferences();
}

void MainWindow::applyPreferences()
{
    {
        const QSignalBlocker blocker(chkColor);
        chkColor->setChecked(appSettings->personalityColor());
    }
    const QuantityColours colours = appSettings->personalityColor()
        ? QuantityColours::chosen(appSettings->colour(AppSettings::Quantity::Voltage),
            appSettings->colour(AppSettings::Quantity::Current),
            appSettings->colour(AppSettings::Quantity::Power))
        : QuantityColours::standard();
    ui->currentLineWidget->setQuantityColours(colours);
    ui->widget->setQuantityColours(colours);
    ui->widget_2->setQuantityColours(colours);
    recordingPages->playbackPage()->setQuantityColours(colours);
    recordingPages->comparePage()->view()->setQuantityColours(colours);
    ui->currentLineWidget->setCurveSecondsPerWidth(appSettings->curveSecondsPerWidth());
    ui->widget_2->setCurveSecondsPerWidth(appSettings->curveSecondsPerWidth());
    ui->widget->setReduceMotion(appSettings->reduceMotion());
    ui->widget_2->setReduceMotion(appSettings->reduceMotion());
    recordingController->recorder()->setStopCondition(appSettings->stopCondition());
    runStatus->setBattery(appSettings->batteryCapacityMah(), appSettings->batteryUsableFraction());
    recordingPages->playbackPage()->batteryPanel()->setBattery(
        appSettings->batteryCapacityMah(), appSettings->batteryUsableFraction());
}

void MainWindow::openSettingsDialog()
{
    auto *dialog = new SettingsDialog(appSettings, storedLanguage(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &SettingsDialog::languageChosen, this, &MainWindow::switchLanguage);
    if (windowPublisher)
        dialog->servicesSection()->follow(windowPublisher);
    dialog->open();
}
