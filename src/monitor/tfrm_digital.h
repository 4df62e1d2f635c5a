#pragma once

#include "core/datetime.h"
#include "monitor/deferred_prompts.h"
#include "monitor/main_window_state.h"
#include "monitor/monitor_services.h"

#include <QIcon>
#include <QSize>
#include <QStringList>
#include <QWidget>

#include <array>

class QAction;
class QMenu;
class QMouseEvent;
class TLCDLabel;
class TantTaskbarIcon;
class VornTimer;
class TPop3Cli;
enum TPop3Request : quint8;
enum class ProgramWindow;
struct TariffContext;
struct typApplicationInformation;

// The main window: the LED window that floats above the desktop, the tray icons with their
// menus, and the eight timers that watch the connection. It exists from start to exit and
// becomes visible only through ShowDigitalDisplay.
//
// Each concern lives in its own file: start-up, exit, dragging and the about window here
// (tfrm_digital.cpp), the connection checker (connection_checker.cpp), the LED display
// (display.cpp), data rate and lights (data_rate.cpp), auto-disconnect
// (auto_disconnect.cpp), applications (applications.cpp), the tray (tray_mail.cpp), sounds
// (sounds.cpp) and the background mail check (mail_check.cpp).
class TfrmDigital : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDigital(const MonitorServices& services, QWidget* parent = nullptr);
    ~TfrmDigital() override;

    // The frame around the LED labels: the window is 6 pixels wider and higher.
    static constexpr int FrameWidth = 3;
    // What the window and the tray say between calls (start-up and the end of a call).
    static inline const QString HintNotConnected = QStringLiteral("VORN - [Not Connected]");
    static inline const QString NoCallText = QStringLiteral("NO CALL");

    // ---- Start-up, exit and window (tfrm_digital.cpp) ----

    // The creation steps in their order; call once, after construction.
    void FormCreate();
    // An error nothing handled: trace, debug file, error box, end of the program.
    void HandleException(const QString& message);
    // The fatal error box text for a message.
    static QString FatalErrorText(const QString& message);
    void mnuExitClick();
    void mnuAboutClick();
    void WMDisplayChange();
    void ReadjustDigitalDisplay();
    // Makes the tray menu item that Default_Menu names the default (bold) one.
    void SetDefaultMenuItem();
    // Timer intervals from the settings (start-up and after the options dialog).
    void ApplyTimerIntervals();
    // LoadSettings with this program's environment; also switches the debug log.
    void LoadProgramSettings();
    // What pricing and recording read, built afresh from the live tables.
    TariffContext tariffContext() const;
    // The full size of the primary screen.
    QSize screenSize() const;

    // ---- Connection checker (connection_checker.cpp) ----

    void timerCheckerTimer();
    void CheckRasConnection();
    void GetConnectoidName(QString& name);
    void HangUp(bool autoHangUp);
    void mnuHangUpClick();
    TDateTime GetCallStartTime() const;
    quint32 GetConnectSpeed();
    void UpdateCost();
    // Writes the crash-recovery values and pushes them to disk.
    void WriteCrashRecoveryValues(bool withDataTransfer, bool withUserName);

    // ---- LED display (display.cpp) ----

    void timerDisplayTimer();
    void timerCostTimer();
    void timerAutoHideTimer();
    void FirstDisplayMode();
    void NextDisplayMode();
    void SetDigitalText(const QString& text, qint32 colour);
    void LayoutDigitalDisplay();
    void ShowDigitalDisplay();
    void HideDigitalDisplay();
    static int DigitalTextWidth(int size, int count, int spacing);
    static int DigitalTextHeight(int size, int spacing);
    void FlashIconMinimum();
    void FlashIconConnected();
    void FlashIconMaximum();
    void PopulateTime();
    void PopulateCost();
    void PopulateCostPerMinute();
    void PopulateDTR();
    void PopulateDataTransferred();
    void PopulateConnectSpeed();
    // Corners are "TL", "TR", "BL" and "BR".
    bool IsCursorNearDisplay(int left, int top) const;
    void MoveDisplayToCorner(const QString& corner);
    // The desktop's work area and the mouse position, through the services when given.
    QRect workArea() const;
    QPoint cursorPosition() const;

    // ---- Data rate and lights (data_rate.cpp) ----

    void SetByteBaselines();
    // Points the byte counters at the interface the dial-up service names for the call now;
    // a link that becomes known or changes is counted from its first reading on.
    void FollowCallInterface(const QString& interfaceName);
    quint64 GetDataTransferred();
    void CalculateDTR();
    void UpdateLights();

    // ---- Auto-disconnect (auto_disconnect.cpp) ----

    void CheckCallLength();
    // The user's call-length limit that the main window keeps while the running call's
    // length rule has fired (the live value is 0 then); null at any other time.
    qint32* keptCallLengthLimit();
    void CheckCallCost();
    void CheckIdle();
    void CheckDisconnectTime();
    void CheckFreeMinutes();
    void CheckMinimumPeriod();
    void CheckConnectSpeed();
    void DoOperationAfterAutoDisconnecting();
    void DoOperationAfterDisconnecting();
    // Opens a countdown window for the reason text set before; it hangs up unless cancelled.
    void StartAutoDisconnect();
    // Consecutive checks with traffic after which an idle call counts as active again.
    static int IdleActivityThreshold(int interval);

    // ---- Applications (applications.cpp) ----

    void ApplicationsAtConnect();
    void ApplicationsAtDisconnect();
    void CloseApplications();
    void EmptyApplicationProcesses();
    void StartApplication(const typApplicationInformation& record, int slot);
    // Opens a document, program or web address; a failure shows the error box.
    void OpenDocument(const QString& file, const QString& parameters);

    // ---- Tray, sounds and mail (tray_mail.cpp, sounds.cpp, mail_check.cpp) ----

    void SetConnectedHint();
    void CheckChargeSounds();
    void PlaySoundEvent(const QString& eventName);
    void CheckForMail(bool all);
    void AbortMailCheck();
    void timerExecuteDelayTimer();
    void timerTimeoutTimer();
    void mnuHelpClick();
    // Opens a program window modally with the tray commands guarded meanwhile.
    void RunProgramWindow(ProgramWindow window);
    // Whether a program window (options, tools, call log) is open now.
    bool programWindowOpen() const { return programWindowOpen_; }
    void mnuOptionsClick();
    void mnuToolsClick();
    void mnuLogClick();
    void mnuCheckForMailClick();
    void mnuIPAddressClick();
    void trayGeneralDblClick();
    void trayMailDblClick();
    void mnuMailCloseClick();
    void mnuCloseUpdateClick();
    // The interval of timerExecuteDelay for Applications_Delay seconds; a delay of 0 runs
    // the delayed actions as soon as the connect sequence has finished.
    static int ExecuteDelayInterval(qint32 applicationsDelay);
    void pop3GeneralRequestDone(TPop3Request request, quint16 error);
    // The local address as dotted text: of the call's interface when the dial-up service
    // names one, else of this host; empty when there is none.
    QString GetIPAddress();
    // Returns after the given seconds, handling events meanwhile.
    void WaitSeconds(int seconds);
    // A wave file from the program folder, else from the installed share/vorn/.
    void PlayWave(const QString& fileName);

    // ---- Access for the concerns and for tests ----

    MainWindowState& state() { return state_; }
    const MainWindowState& state() const { return state_; }
    MonitorGlobals& globals() { return globals_; }
    const MonitorGlobals& globals() const { return globals_; }
    const MonitorServices& services() const { return s_; }

    // Records the name of every operation that is still a placeholder, and of the
    // sequence steps tests follow; nothing is recorded without a journal.
    void setCallJournal(QStringList* journal) { journal_ = journal; }
    void journal(const QString& operation) const {
        if (journal_)
            journal_->append(operation);
    }

    // Where the call log lives: <program folder>/Logs/log070.bin.
    QString callLogPath() const;
    QString logsFolder() const;

    TLCDLabel* lcdDigital = nullptr;
    TLCDLabel* lcdLights = nullptr;
    TantTaskbarIcon* trayGeneral = nullptr;
    TantTaskbarIcon* trayMail = nullptr;
    TantTaskbarIcon* trayUpdate = nullptr;

    QMenu* popupTray = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuHelp = nullptr;
    QAction* mnuSepD = nullptr;
    QAction* mnuOptions = nullptr;
    QAction* mnuTools = nullptr;
    QAction* mnuLog = nullptr;
    QAction* sepC = nullptr;
    QAction* mnuCheckForMail = nullptr;
    QAction* mnuIPAddress = nullptr;
    QAction* mnuHangUp = nullptr;
    QAction* mnuSepB = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* popupTrayMail = nullptr;
    QAction* mnuMailClose = nullptr;
    QMenu* popupTrayUpdate = nullptr;
    QAction* mnuCloseUpdate = nullptr;

    VornTimer* timerChecker = nullptr;
    VornTimer* timerAutoHide = nullptr;
    VornTimer* timerDTR = nullptr;
    VornTimer* timerCost = nullptr;
    VornTimer* timerDisplay = nullptr;
    VornTimer* timerExecuteDelay = nullptr;
    VornTimer* timerTransmitReceive = nullptr;
    VornTimer* timerTimeout = nullptr;

    QIcon imgIcon, imgIcon2, imgIcon3, imgIcon4, imgIconMail, imgIconNoMail;

    // The background mail check's client; made at the first check.
    TPop3Cli* pop3General = nullptr;

Q_SIGNALS:
    // The program should end now with this exit code (exit from the menu, Exit_VORN).
    void quitRequested(int exitCode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createComponents();
    void createTrayMenus();
    void moveOldFilesIntoLogs();
    void startUpLogMaintenance();
    void setCallMenuItemsEnabled(bool enabled);
    void lcdDigitalMouseDown(QMouseEvent* event);
    void lcdDigitalMouseMove(QMouseEvent* event);
    void lcdDigitalMouseUp(QMouseEvent* event);
    void watchScreens();

    // One check and the sequence it chooses.
    void runCheck();
    // Sequences of the connection checker.
    void callStarted();
    void callStillRunning();
    void callEnded();

    // Steps of the background mail check (mail_check.cpp).
    bool runMailStep(const std::function<void()>& command, const std::function<bool()>& reached,
                     const std::function<bool()>& finished);
    void endMailSession();
    void waitForMail(const std::function<bool()>& done, int limitMs);
    void startMailApplication();

    MonitorServices s_;
    MainWindowState state_;
    MonitorGlobals globals_;
    QStringList* journal_ = nullptr;
    // A checker firing that arrives while the previous one is still in its sequence is
    // dropped, so a call is never ended twice. The sequences' boxes wait until it is over.
    bool checkerBusy_ = false;
    bool programWindowOpen_ = false;
    DeferredPrompts checkerBoxes_{s_.prompts};
    bool handlingFatalError_ = false;
    // A mail check runs (its waits handle events, so a second one could start inside it),
    // and whether the end of the call has called it off.
    bool mailCheckRunning_ = false;
    bool mailCheckCancelled_ = false;
};
