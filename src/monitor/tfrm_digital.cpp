// The main window itself: its components, the creation steps, the fatal error handler,
// exit, dragging the LED window and the reaction to a changed screen.

#include "monitor/tfrm_digital.h"

#include "calllog/call_log_file.h"
#include "calllog/call_recorder.h"
#include "core/clock.h"
#include "core/connectoid_names.h"
#include "core/debug_log.h"
#include "core/lists.h"
#include "core/program_paths.h"
#include "core/prompts.h"
#include "core/regional.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "core/version.h"
#include "monitor/app_icons.h"
#include "monitor/tfrm_splash.h"
#include "monitor/vorn_timer.h"
#include "platform/byte_counters.h"
#include "platform/dial_up_service.h"
#include "tariff/tariff_context.h"
#include "widgets/lcd_label.h"
#include "widgets/taskbar_icon.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSystemTrayIcon>

#include <limits>

namespace {
const QString ProductKey;

QString title() {
    return QString::fromLatin1(VornApplicationTitle);
}

// Where the support sentence of the fatal error box sends the user.
const QString SupportPage = QStringLiteral("https://ostrandlabs.example/vorn/support");
const QString SupportAddress = QStringLiteral("vorn-support@ostrandlabs.example");
} // namespace

TfrmDigital::TfrmDigital(const MonitorServices& services, QWidget* parent)
    : QWidget(parent), s_(services) {
    setObjectName(QStringLiteral("frmDigital"));
    // Frameless, above every other window, no taskbar entry, never takes the focus.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(title() + QStringLiteral(" v") + QString::fromLatin1(VornVersion));
    setCursor(Qt::PointingHandCursor);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    createComponents();
}

TfrmDigital::~TfrmDigital() {
    // The trace is of no use once the window has gone; nothing is saved on exit.
    s_.debugLog.setEnabled(false);
}

void TfrmDigital::createComponents() {
    auto timer = [this](const char* name, int defaultInterval) {
        return new VornTimer(QString::fromLatin1(name), defaultInterval, this);
    };
    timerChecker = timer("timerChecker", 2000);
    timerAutoHide = timer("timerAutoHide", 100);
    timerDTR = timer("timerDTR", 5000);
    timerCost = timer("timerCost", 2000);
    timerDisplay = timer("timerDisplay", 1500);
    timerExecuteDelay = timer("timerExecuteDelay", 9000);
    timerExecuteDelay->setSingleShot(true);
    timerTransmitReceive = timer("timerTransmitReceive", 250);
    timerTimeout = timer("timerTimeout", 20000);
    // Every interval is 0 (never fires) until the settings give one.

    connect(timerChecker, &VornTimer::timeout, this, &TfrmDigital::timerCheckerTimer);
    connect(timerAutoHide, &VornTimer::timeout, this, &TfrmDigital::timerAutoHideTimer);
    connect(timerDTR, &VornTimer::timeout, this, &TfrmDigital::CalculateDTR);
    connect(timerCost, &VornTimer::timeout, this, &TfrmDigital::timerCostTimer);
    connect(timerDisplay, &VornTimer::timeout, this, &TfrmDigital::timerDisplayTimer);
    connect(timerExecuteDelay, &VornTimer::timeout, this, &TfrmDigital::timerExecuteDelayTimer);
    connect(timerTransmitReceive, &VornTimer::timeout, this, &TfrmDigital::UpdateLights);
    connect(timerTimeout, &VornTimer::timeout, this, &TfrmDigital::timerTimeoutTimer);

    lcdLights = new TLCDLabel(&s_.prompts, this);
    lcdLights->setObjectName(QStringLiteral("lcdLights"));
    lcdDigital = new TLCDLabel(&s_.prompts, this);
    lcdDigital->setObjectName(QStringLiteral("lcdDigital"));
    for (TLCDLabel* label : {lcdLights, lcdDigital}) {
        label->setDotMatrix(TLCDLabel::dos5x7);
        label->setBorderStyle(TLCDLabel::frNone);
        label->setBorderSpace(0);
        label->setCharSpacing(2);
        label->setBackGround(Qt::black);
        label->setPixelOff(Qt::black);
        label->installEventFilter(this);
    }
    lcdLights->setNoOfChars(1);
    lcdLights->setCaption(QString(QChar(250)));

    const AppIcons icons = makeAppIcons();
    imgIcon = icons.normal;
    imgIcon2 = icons.minimum;
    imgIcon3 = icons.maximum;
    imgIcon4 = icons.connected;
    imgIconMail = icons.mail;
    imgIconNoMail = icons.noMail;

    createTrayMenus();

    trayGeneral = new TantTaskbarIcon(this);
    trayGeneral->setObjectName(QStringLiteral("trayGeneral"));
    trayGeneral->setPopupMenu(popupTray);
    connect(trayGeneral, &TantTaskbarIcon::dblClick, this, &TfrmDigital::trayGeneralDblClick);

    trayMail = new TantTaskbarIcon(this);
    trayMail->setObjectName(QStringLiteral("trayMail"));
    trayMail->setPopupMenu(popupTrayMail);
    connect(trayMail, &TantTaskbarIcon::dblClick, this, &TfrmDigital::trayMailDblClick);

    trayUpdate = new TantTaskbarIcon(this);
    trayUpdate->setObjectName(QStringLiteral("trayUpdate"));
    trayUpdate->setHint(QStringLiteral("A new version of VORN is available"));
    trayUpdate->setIcon(imgIcon);
    trayUpdate->setPopupMenu(popupTrayUpdate);
    connect(trayUpdate, &TantTaskbarIcon::dblClick, this, [this] { mnuCloseUpdateClick(); });
}

void TfrmDigital::createTrayMenus() {
    popupTray = new QMenu(this);
    popupTray->setObjectName(QStringLiteral("popupTray"));
    auto item = [this](QMenu* menu, const char* name, const char* text,
                       void (TfrmDigital::*handler)()) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        QAction* action = menu->addSeparator();
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuAbout = item(popupTray, "mnuAbout", "&About", &TfrmDigital::mnuAboutClick);
    mnuHelp = item(popupTray, "mnuHelp", "&Help", &TfrmDigital::mnuHelpClick);
    mnuSepD = separator(popupTray, "mnuSepD");
    mnuOptions = item(popupTray, "mnuOptions", "&Options", &TfrmDigital::mnuOptionsClick);
    mnuTools = item(popupTray, "mnuTools", "&Tools", &TfrmDigital::mnuToolsClick);
    mnuLog = item(popupTray, "mnuLog", "&Logs", &TfrmDigital::mnuLogClick);
    sepC = separator(popupTray, "sepC");
    mnuCheckForMail =
        item(popupTray, "mnuCheckForMail", "&Check For Mail", &TfrmDigital::mnuCheckForMailClick);
    mnuIPAddress = item(popupTray, "mnuIPAddress", "&IP Address", &TfrmDigital::mnuIPAddressClick);
    mnuHangUp = item(popupTray, "mnuHangUp", "&Hang Up", &TfrmDigital::mnuHangUpClick);
    mnuSepB = separator(popupTray, "mnuSepB");
    mnuExit = item(popupTray, "mnuExit", "E&xit", &TfrmDigital::mnuExitClick);
    mnuCheckForMail->setEnabled(false);
    mnuIPAddress->setEnabled(false);
    mnuHangUp->setEnabled(false);
    popupTray->setDefaultAction(mnuOptions);

    popupTrayMail = new QMenu(this);
    popupTrayMail->setObjectName(QStringLiteral("popupTrayMail"));
    mnuMailClose = item(popupTrayMail, "mnuMailClose", "&Close", &TfrmDigital::mnuMailCloseClick);

    popupTrayUpdate = new QMenu(this);
    popupTrayUpdate->setObjectName(QStringLiteral("popupTrayUpdate"));
    mnuCloseUpdate =
        item(popupTrayUpdate, "mnuCloseUpdate", "&Close", &TfrmDigital::mnuCloseUpdateClick);
}

QString TfrmDigital::logsFolder() const {
    return logsFolderOf(s_.programFolder);
}

QString TfrmDigital::callLogPath() const {
    return calllog::logFilePath(logsFolder());
}

TariffContext TfrmDigital::tariffContext() const {
    return TariffContext{s_.lists.Costings, s_.lists.CostingFurtherDetails, s_.regional,
                         s_.debugLog, s_.settings.No_Charge_Bands};
}

void TfrmDigital::FormCreate() {
    s_.debugLog.add(QStringLiteral("Digital-FormCreate-Start"));
    resize(0, 0);

    QDir().mkpath(logsFolder());
    moveOldFilesIntoLogs();
    QDir logs(logsFolder());
    for (const QString& page : logs.entryList({QStringLiteral("*.htm")}, QDir::Files))
        logs.remove(page);

    trayGeneral->setIcon(imgIcon);
    trayGeneral->setHint(HintNotConnected);
    timerChecker->setEnabled(true);

    EnumConnectoids(s_.dialUp, s_.connectoidNames);

    const bool newVersion = s_.store.readString(ProductKey, QStringLiteral("Version"), {}) !=
                            QString::fromLatin1(VornVersion);
    CheckSettingsVersion(s_.store, s_.prompts);
    LoadProgramSettings();

    if (newVersion || s_.settings.Show_Splash)
        mnuAboutClick();

    SetDefaultMenuItem();
    if (s_.settings.Intelligent_Display != 0 && s_.settings.Show_Digital_Display != 2)
        timerAutoHide->setEnabled(true);
    state_.displayVisible = false;

    if (s_.settings.Show_Digital_Display == 0)
        ShowDigitalDisplay();
    SetDigitalText(NoCallText, s_.settings.Color_LED_Idle);

    ApplyTimerIntervals();
    trayGeneral->setVisible(!s_.settings.Hide_Tray_Icon);

    state_.readjustPending = false;
    state_.dtrCurrent = 0;
    state_.dtrPrevious = 0;
    state_.connected = false;
    globals_.flashToggle = true;

    move(s_.settings.Window_Left, s_.settings.Window_Top);
    lcdDigital->move(lcdDigital->x(), FrameWidth);

    const int size = s_.settings.Character_Size;
    const int spacing = s_.settings.Pixel_Spacing;
    const int textHeight = DigitalTextHeight(size, spacing);
    resize(width(), textHeight + 2 * FrameWidth);
    const QSize screen = screenSize();
    const qint64 right =
        qint64(DigitalTextWidth(size, s_.settings.Number_Of_Characters + 6, spacing)) +
        s_.settings.Window_Left + 2 * FrameWidth;
    const qint64 bottom = qint64(textHeight) + s_.settings.Window_Top + 2 * FrameWidth;
    if (right >= screen.width() || bottom >= screen.height())
        ReadjustDigitalDisplay();

    startUpLogMaintenance();
    LayoutDigitalDisplay();
    watchScreens();
    s_.debugLog.add(QStringLiteral("Digital-FormCreate-Finish"));
}

void TfrmDigital::LoadProgramSettings() {
    const SettingsEnvironment environment{
        s_.regional,
        s_.clock,
        PlatformCapabilities{s_.byteCounters.IsDataRateAvailable(), s_.dialUp.knowsConnectSpeed()},
        QDir(logsFolder()).filePath(QStringLiteral("password.bin")),
        QString(),
        s_.applyPriority};
    LoadSettings(s_.store, s_.settings, s_.lists, environment);
    s_.debugLog.setEnabled(s_.settings.Debug_Logging);
    if (s_.settings.Alternative_Detector)
        s_.debugLog.add(QStringLiteral("LoadSettings - Alternative_Detector ignored: no program "
                                       "here announces a call by a window title"));
}

void TfrmDigital::moveOldFilesIntoLogs() {
    QDir program(s_.programFolder);
    QDir logs(logsFolder());
    const QStringList masks = {QStringLiteral("*.bin"), QStringLiteral("log.*"),
                               QStringLiteral("awlog.*"), QStringLiteral("notify.*")};
    const QString date = QLocale::c().toString(datetime::toQDateTime(s_.clock.now()).date(),
                                               QStringLiteral("yyyy-MM-dd"));
    for (const QFileInfo& file : program.entryInfoList(masks, QDir::Files)) {
        QString target = logs.filePath(file.fileName());
        // The file in Logs is the live one (the call log, the passwords): a copy left in the
        // program folder never replaces it, it is kept beside it under a name of its own.
        if (QFileInfo::exists(target)) {
            const QString kept = target + QStringLiteral(".old-") + date;
            target = kept;
            for (int n = 2; QFileInfo::exists(target); ++n)
                target = kept + u'-' + QString::number(n);
            s_.debugLog.add(QStringLiteral("Digital-FormCreate - ") + file.fileName() +
                            QStringLiteral(" is in Logs already; the program folder's copy is "
                                           "kept as ") +
                            QFileInfo(target).fileName());
        }
        // Renamed, never copied and deleted: a failed move leaves the file where it was.
        QFile::rename(file.filePath(), target);
    }
}

void TfrmDigital::startUpLogMaintenance() {
    if (s_.settings.Backup_Log)
        calllog::backupDataFiles(logsFolder());
    if (s_.settings.Compact_Call_Log)
        CompactCallLog(logsFolder());
    const TariffContext tariff = tariffContext();
    ProcessLogEntry(CallRecordingContext{s_.store, s_.prompts, tariff}, callLogPath(), true, false,
                    0, UnknownConnectoid, UnknownConnectoid);
}

void TfrmDigital::ApplyTimerIntervals() {
    const typSettings& st = s_.settings;
    timerChecker->setInterval(st.Interval_Call_Checker);
    timerCost->setInterval(st.Interval_Calculate_Cost);
    timerDisplay->setInterval(st.Interval_Display_Changer);
    timerAutoHide->setInterval(st.Interval_Auto_Hide);
    timerDTR->setInterval(st.Interval_DTR);
    timerTransmitReceive->setInterval(st.Interval_Transmit_Receive);
    timerExecuteDelay->setInterval(ExecuteDelayInterval(st.Applications_Delay));
}

void TfrmDigital::SetDefaultMenuItem() {
    QAction* items[] = {mnuOptions, mnuTools, mnuLog, mnuCheckForMail, mnuIPAddress, mnuHangUp};
    const int index = s_.settings.Default_Menu;
    if (index >= 0 && index < int(std::size(items)))
        popupTray->setDefaultAction(items[index]);
}

QString TfrmDigital::FatalErrorText(const QString& message) {
    const QString br = QStringLiteral("\n\r");
    return QStringLiteral("A fatal error has occurred :-") + br + br + message + br + br +
           QStringLiteral("v") + QString::fromLatin1(VornVersion) + br + br +
           QStringLiteral("If you can reproduce this problem and it is not already listed with "
                          "a possible solution on the VORN support page (") +
           SupportPage + QStringLiteral("), please e-mail ") + SupportAddress +
           QStringLiteral(" with the error message and program version given above together "
                          "with") +
           QStringLiteral(" as many details as possible on the circumstances which caused the "
                          "problem to occur.") +
           QStringLiteral(" Ideally send a screenshot of the error message but please use a "
                          "compressed image format.") +
           br + br +
           QStringLiteral("Please ensure you include your regional settings, for example, "
                          "English (United States) or Italian (Standard).");
}

void TfrmDigital::HandleException(const QString& message) {
    // An error raised while the box of an earlier one is up changes nothing: the program
    // is ending already.
    if (handlingFatalError_)
        return;
    handlingFatalError_ = true;
    for (VornTimer* t : {timerChecker, timerAutoHide, timerDTR, timerCost, timerDisplay,
                         timerExecuteDelay, timerTransmitReceive, timerTimeout})
        t->setEnabled(false);

    s_.debugLog.add(QStringLiteral("Digital-HandleException-Start"));
    if (s_.settings.Debug_Logging) {
        QString error;
        if (!s_.debugLog.writeFile(debugFilePath(s_.programFolder), title(), s_.regional, &error))
            qWarning("vorn: the debug file could not be written: %s", qPrintable(error));
    }
    s_.prompts.error(FatalErrorText(message));
    s_.terminate(1);
}

void TfrmDigital::mnuExitClick() {
    if (state_.connected &&
        !s_.prompts.askYesNo(QStringLiteral("Are you sure you want to exit VORN during a call?")))
        return;
    // The call in progress is not recorded now: the next start recovers it from the
    // crash-recovery values.
    Q_EMIT quitRequested(0);
}

void TfrmDigital::mnuAboutClick() {
    TfrmSplash splash(*this);
    splash.exec();
}

void TfrmDigital::setCallMenuItemsEnabled(bool enabled) {
    mnuCheckForMail->setEnabled(enabled);
    mnuIPAddress->setEnabled(enabled);
    mnuHangUp->setEnabled(enabled);
}

bool TfrmDigital::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lcdDigital || watched == lcdLights) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            lcdDigitalMouseDown(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseMove:
            lcdDigitalMouseMove(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseButtonRelease:
            lcdDigitalMouseUp(static_cast<QMouseEvent*>(event));
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmDigital::lcdDigitalMouseDown(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    state_.dragX = at.x();
    state_.dragY = at.y();
}

void TfrmDigital::lcdDigitalMouseMove(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = event->position().toPoint();
    move(x() + at.x() - state_.dragX, y() + at.y() - state_.dragY);
}

void TfrmDigital::lcdDigitalMouseUp(QMouseEvent* event) {
    // A desktop without a notification area would leave no way to the menu (not even to
    // Exit): the LED window offers it on the right button instead.
    if (event->button() == Qt::RightButton && !QSystemTrayIcon::isSystemTrayAvailable())
        popupTray->popup(event->globalPosition().toPoint());
    s_.store.writeInteger(ProductKey, QStringLiteral("Window_Left"), x());
    s_.store.writeInteger(ProductKey, QStringLiteral("Window_Top"), y());
    s_.store.sync();
    s_.settings.Window_Left = x();
    s_.settings.Window_Top = y();
}

QSize TfrmDigital::screenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(640, 480);
}

void TfrmDigital::watchScreens() {
    auto follow = [this](QScreen* screen) {
        if (screen)
            connect(screen, &QScreen::geometryChanged, this, &TfrmDigital::WMDisplayChange,
                    Qt::UniqueConnection);
    };
    follow(QGuiApplication::primaryScreen());
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this, follow](QScreen* s) {
        follow(s);
        WMDisplayChange();
    });
}

void TfrmDigital::WMDisplayChange() {
    if (s_.settings.Adjust_Display_After_Resolution_Change)
        state_.readjustPending = true;
}

void TfrmDigital::ReadjustDigitalDisplay() {
    if (s_.settings.Adjust_Intelligence_After_Resolution_Change)
        s_.settings.Intelligent_Display = 0;
    s_.settings.Window_Left = 0;
    s_.settings.Window_Top = 0;
    move(0, 0);
    s_.store.writeInteger(ProductKey, QStringLiteral("Intelligent_Display"),
                          s_.settings.Intelligent_Display);
    s_.store.writeInteger(ProductKey, QStringLiteral("Window_Left"), 0);
    s_.store.writeInteger(ProductKey, QStringLiteral("Window_Top"), 0);
    s_.store.sync();
}
