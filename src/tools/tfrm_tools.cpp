#include "tools/tfrm_tools.h"

#include "ui_tfrm_tools.h"

#include "core/password_file.h"
#include "core/prompts.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "platform/help.h"
#include "platform/icmp_echo.h"
#include "tools/finger_page.h"
#include "tools/password_options_page.h"
#include "tools/password_page.h"
#include "tools/ping_options_page.h"
#include "tools/ping_page.h"
#include "tools/pop3_options_page.h"
#include "tools/pop3_page.h"
#include "tools/section_icons.h"
#include "tools/web_notify_favourites_page.h"
#include "tools/web_notify_models.h"
#include "tools/web_notify_options_page.h"
#include "tools/web_notify_results_page.h"
#include "tools/web_notify_run.h"
#include "widgets/edit_rules.h"
#include "widgets/window_frame.h"

#include <QCloseEvent>
#include <QDir>

namespace {
const QSize ToolsWindowSize(630, 450);
const QString OptionsCaption = QStringLiteral("Options");
const QString HelpPage = QStringLiteral("tools");
const QString WidthSetting = QStringLiteral("Tools_Window_Width");
const QString HeightSetting = QStringLiteral("Tools_Window_Height");
} // namespace

TfrmTools::TfrmTools(const WindowServices& services, std::unique_ptr<IcmpEcho> echo)
    : QDialog(nullptr), s_(services), copy_(services.settings, services.lists),
      ui(std::make_unique<Ui::TfrmTools>()) {
    ui->setupUi(this);
    prepareProgramWindow(this);
    setMinimumSize(ToolsWindowSize);
    // The size is the window's own business: read when it opens, written when it closes.
    const QSize stored(s_.store.readInteger(QString(), WidthSetting, ToolsWindowSize.width()),
                       s_.store.readInteger(QString(), HeightSetting, ToolsWindowSize.height()));
    resize(initialWindowSize(stored, ToolsWindowSize, ToolsWindowSize, availableScreenSize()));
    installStatusLink(ui->statusBar, s_.shell, s_.prompts);
    installHelpKey(this, s_.help, HelpPage);

    if (copy_.settings.URL_Folder_Location.isEmpty())
        copy_.settings.URL_Folder_Location = DefaultFavoritesFolder(QDir::homePath());
    addPages(std::move(echo));

    connect(ui->cmdOK, &QPushButton::clicked, this, &TfrmTools::cmdOKClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TfrmTools::btnCancelClick);
    connect(ui->btnHelp, &QPushButton::clicked, this, &TfrmTools::btnHelpClick);
    selectSection(WebNotification);
}

TfrmTools::~TfrmTools() = default;

void TfrmTools::addPages(std::unique_ptr<IcmpEcho> echo) {
    typSettings& settings = copy_.settings;
    typLists& lists = copy_.lists;
    finger_ = new FingerPage(lists.Fingers, s_.prompts);
    ping_ = new PingPage(lists.Pings, s_.prompts, settings, std::move(echo));
    pop3_ = new Pop3Page(lists.POP3s, s_.prompts, settings, s_.callInProgress);
    pingOptions_ = new PingOptionsPage(settings);
    pop3Options_ = new Pop3OptionsPage(settings, s_.dialogs);
    webNotifyRun_ = new WebNotifyRun(s_.store, s_.clock, s_.regional, s_.programFolder, this);
    const WebNotifyCommands commands{s_.shell, s_.prompts, s_.store, s_.programFolder};
    webNotify_ = new WebNotifyFavouritesPage(settings, lists, *webNotifyRun_, commands);
    webNotifyResults_ = new WebNotifyResultsPage(settings, *webNotifyRun_, commands);
    webNotifyOptions_ =
        new WebNotifyOptionsPage(settings, lists.AutoExcludes, s_.prompts, s_.dialogs);
    password_ = new PasswordPage(settings, lists.Passwords, s_.prompts);
    passwordOptions_ = new PasswordOptionsPage(settings);

    const struct {
        QWidget* page;
        QString caption;
        QString topic;
    } pages[] = {
        {finger_, QStringLiteral("Finger"), QStringLiteral("finger")},
        {ping_, QStringLiteral("Ping"), QStringLiteral("ping")},
        {pop3_, QStringLiteral("POP3"), QStringLiteral("pop3")},
        {webNotify_, QStringLiteral("Web Notification"), QStringLiteral("web-notify")},
        {pingOptions_, OptionsCaption, QStringLiteral("ping-options")},
        {pop3Options_, OptionsCaption, QStringLiteral("pop3-options")},
        {webNotifyResults_, QStringLiteral("Results"), QStringLiteral("web-notify-results")},
        {webNotifyOptions_, OptionsCaption, QStringLiteral("web-notify-options")},
        {password_, QStringLiteral("Password Database"), QStringLiteral("password")},
        {passwordOptions_, OptionsCaption, QStringLiteral("password-options")}};
    for (const auto& p : pages) {
        ui->pageTools->addTab(p.page, p.caption);
        p.page->setProperty("helpTopic", HelpPage + u'#' + p.topic);
    }

    sections_ = new SectionPages(ui->listvSections, ui->pageTools);
    sections_->addSection(QStringLiteral("Web Notification"),
                          {webNotify_, webNotifyResults_, webNotifyOptions_});
    sections_->addSection(QStringLiteral("Password Database"), {password_, passwordOptions_});
    sections_->addSection(QStringLiteral("Finger"), {finger_});
    sections_->addSection(QStringLiteral("Ping"), {ping_, pingOptions_});
    sections_->addSection(QStringLiteral("POP3"), {pop3_, pop3Options_});
    showSectionIcons(ui->listvSections);
    // After the pages' own switch, so a locked password keeper can hide its options again.
    connect(ui->listvSections, &QListWidget::currentRowChanged, this, &TfrmTools::sectionSelected);

    pingOptions_->loadSettings();
    pop3Options_->loadSettings();
    webNotifyOptions_->loadSettings();
    passwordOptions_->loadSettings();
    connect(passwordOptions_, &PasswordOptionsPage::alwaysShowChanged, password_,
            &PasswordPage::refresh);
    connect(webNotifyOptions_, &WebNotifyOptionsPage::autoExcludesChanged, webNotify_,
            &WebNotifyFavouritesPage::refresh);
    connect(webNotify_, &WebNotifyFavouritesPage::checkStarted, this,
            [this] { ui->pageTools->setCurrentWidget(webNotifyResults_); });
}

void TfrmTools::selectSection(Section section) {
    sections_->selectSection(section);
}

void TfrmTools::sectionSelected(int section) {
    switch (section) {
    case WebNotification:
        webNotify_->sortBy(FavouritesModel::Category, Qt::AscendingOrder);
        webNotifyResults_->sortByStatus();
        webNotify_->refresh();
        break;
    case PasswordDatabase:
        ui->pageTools->setTabVisible(ui->pageTools->indexOf(passwordOptions_), password_->guard());
        break;
    case Finger:
        finger_->refresh();
        break;
    case Ping:
        ping_->refresh();
        break;
    case POP3:
        pop3_->refresh();
        break;
    default:
        break;
    }
}

void TfrmTools::cmdOKClick() {
    editrules::applyEditRules(this);
    QString error;
    bool saved = false;
    {
        Hourglass wait;
        // The password file first: when it cannot be written nothing is stored, and the
        // window stays open with everything typed in it.
        saved = passwordfile::write(passwordfile::pathIn(s_.programFolder), copy_.lists.Passwords,
                                    &error);
        if (saved) {
            webNotify_->storeExcludes();
            copy_.commit();
            const typLists& lists = copy_.liveLists();
            SaveToolOptions(s_.store, copy_.liveSettings());
            webNotifyRun_->saveResults(s_.store);
            SaveFingers(s_.store, lists.Fingers);
            SavePings(s_.store, lists.Pings);
            SavePOP3s(s_.store, lists.POP3s);
            SaveExcludes(s_.store, lists.Excludes);
            SaveAutoExcludes(s_.store, lists.AutoExcludes);
        }
    }
    if (!saved) {
        s_.prompts.error(
            QStringLiteral("The password database could not be saved to %1:\n\r%2\n\r\n\rNothing "
                           "has been saved. Your changes are still in this window: make room or "
                           "fix the folder and press OK again, or press Cancel to drop them.")
                .arg(QDir::toNativeSeparators(passwordfile::pathIn(s_.programFolder)), error));
        return;
    }
    accept();
}

void TfrmTools::btnCancelClick() {
    cancelled_ = true;
    QDialog::reject();
}

void TfrmTools::btnHelpClick() {
    const QString topic = ui->pageTools->currentWidget()
                              ? ui->pageTools->currentWidget()->property("helpTopic").toString()
                              : QString();
    s_.help.open(topic.isEmpty() ? HelpPage : topic);
}

void TfrmTools::reject() {
    if (closeBox_)
        QDialog::reject();
    else
        btnCancelClick();
}

void TfrmTools::closeEvent(QCloseEvent* event) {
    closeBox_ = true;
    QDialog::closeEvent(event);
    closeBox_ = false;
}

void TfrmTools::done(int result) {
    // A run under way ends with the window rather than talk on to a host behind it.
    finger_->stop();
    ping_->stop();
    pop3_->stop();
    webNotifyRun_->stop();
    if (!cancelled_) {
        s_.store.writeInteger(QString(), HeightSetting, height());
        s_.store.writeInteger(QString(), WidthSetting, width());
        s_.store.sync();
    }
    QDialog::done(result);
}
