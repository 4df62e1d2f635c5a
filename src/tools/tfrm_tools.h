#pragma once

#include "core/working_copy.h"
#include "widgets/window_services.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TfrmTools;
}
class FingerPage;
class IcmpEcho;
class PasswordOptionsPage;
class PasswordPage;
class PingOptionsPage;
class PingPage;
class Pop3OptionsPage;
class Pop3Page;
class SectionPages;
class WebNotifyFavouritesPage;
class WebNotifyOptionsPage;
class WebNotifyResultsPage;
class WebNotifyRun;

// The "Tools" window: web page change notification, the password keeper, finger, ping and
// the POP3 check, each a section of pages. It edits a working copy of the settings and
// lists; OK stores the tools' settings, lists and the password file, Cancel drops the copy.
// The ping tool sends its echoes through the echo service given.
class TfrmTools : public QDialog {
    Q_OBJECT
public:
    enum Section { WebNotification, PasswordDatabase, Finger, Ping, POP3 };

    TfrmTools(const WindowServices& services, std::unique_ptr<IcmpEcho> echo);
    ~TfrmTools() override;

    void selectSection(Section section);

    void cmdOKClick();
    void btnCancelClick();
    void btnHelpClick();

protected:
    // Escape is Cancel; the close box is neither OK nor Cancel.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    // Every way of closing ends here.
    void done(int result) override;

private:
    void addPages(std::unique_ptr<IcmpEcho> echo);
    void sectionSelected(int section);

    WindowServices s_;
    SettingsWorkingCopy copy_;
    std::unique_ptr<Ui::TfrmTools> ui;
    SectionPages* sections_ = nullptr;
    FingerPage* finger_ = nullptr;
    PingPage* ping_ = nullptr;
    Pop3Page* pop3_ = nullptr;
    PingOptionsPage* pingOptions_ = nullptr;
    Pop3OptionsPage* pop3Options_ = nullptr;
    WebNotifyRun* webNotifyRun_ = nullptr;
    WebNotifyFavouritesPage* webNotify_ = nullptr;
    WebNotifyResultsPage* webNotifyResults_ = nullptr;
    WebNotifyOptionsPage* webNotifyOptions_ = nullptr;
    PasswordPage* password_ = nullptr;
    PasswordOptionsPage* passwordOptions_ = nullptr;
    bool cancelled_ = false;
    bool closeBox_ = false;
};
