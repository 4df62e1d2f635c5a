#include "config/tfrm_configuration.h"

#include "ui_tfrm_configuration.h"

#include "config/charge_options_page.h"
#include "config/colours_page.h"
#include "config/disconnect_page.h"
#include "config/display_page.h"
#include "config/entry_lists.h"
#include "config/entry_tree_page.h"
#include "config/general_page.h"
#include "config/icon_hint_page.h"
#include "config/sensitivity_page.h"
#include "config/sound_page.h"
#include "config/tfrm_insert_application.h"
#include "config/tfrm_insert_costing.h"
#include "config/tfrm_insert_costing_further_detail.h"
#include "core/debug_log.h"
#include "core/prompts.h"
#include "core/settings_io.h"
#include "core/settings_store.h"
#include "core/version.h"
#include "platform/autostart.h"
#include "platform/dial_up_service.h"
#include "platform/help.h"
#include "tariff/presets.h"
#include "widgets/edit_rules.h"
#include "widgets/window_frame.h"

#include <QMenu>
#include <QPainter>
#include <QTreeWidget>

namespace {
const QString ProductKey;
const QString WidthValue = QStringLiteral("Options_Window_Width");
const QString HeightValue = QStringLiteral("Options_Window_Height");

// A large icon for a section: its initial on a tile of its own colour.
QIcon sectionIcon(const QString& caption, const QColor& colour) {
    constexpr int Side = 32;
    QPixmap tile(Side, Side);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, Side - 2, Side - 2), 6, 6);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(Side / 2);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(tile.rect(), Qt::AlignCenter, caption.left(1));
    return QIcon(tile);
}
} // namespace

TfrmConfiguration::TfrmConfiguration(const WindowServices& services)
    : ui(std::make_unique<Ui::TfrmConfiguration>()), services_(services),
      copy_(services.settings, services.lists) {
    ui->setupUi(this);
    prepareProgramWindow(this);
    setModal(true);

    // The dial-up entries as they are now: one may have come or gone since the last look.
    namesKnown_ = EnumConnectoids(services_.dialUp, services_.connectoidNames);
    // A limit whose rule has fired in this call is 0 in the live record; the user's own
    // limit is the one to show and edit.
    if (const qint32* kept = services_.keptCallLengthLimit())
        copy_.settings.Auto_Disconnect = *kept;

    typSettings& edited = copy_.settings;
    const RegionalSettings& regional = services_.regional;
    const ConnectoidNameTable& names = services_.connectoidNames;
    costings_ = std::make_unique<TableEntries<CostingTable>>(
        copy_.lists.Costings, CostingTexts,
        [&edited, &regional](const typCostingInformation& b) {
            return CostingCaption(b, edited.Decimal_Places_Charge_Bands, regional);
        },
        [](const typCostingInformation&) { return FreshCosting(); },
        [this, &names, &regional](typCostingInformation& working, const QString& caption, bool) {
            TfrmInsertCosting editor(working, caption, names, regional, this);
            return runEditor(editor);
        });
    furtherDetails_ = std::make_unique<TableEntries<CostingFurtherDetailTable>>(
        copy_.lists.CostingFurtherDetails, FurtherDetailTexts,
        [&edited, &regional](const typCostingFurtherDetailInformation& d) {
            return FurtherDetailCaption(d, edited.Decimal_Places_Charge_Bands, regional);
        },
        [](const typCostingFurtherDetailInformation&) { return FreshCostingFurtherDetail(); },
        [this, &names, &regional](typCostingFurtherDetailInformation& working,
                                  const QString& caption, bool) {
            TfrmInsertCostingFurtherDetail editor(working, caption, names, regional, this);
            return runEditor(editor);
        });
    applications_ = std::make_unique<TableEntries<ApplicationTable>>(
        copy_.lists.Applications, ApplicationTexts, &ApplicationCaption, &FreshApplication,
        [this, &names, &regional](typApplicationInformation& working, const QString& caption,
                                  bool inserting) {
            TfrmInsertApplication editor(working, caption, inserting, names, regional,
                                         services_.dialogs, services_.prompts, this);
            return runEditor(editor);
        });

    auto* display = new DisplayPage(services_.prompts);
    auto* colours = new ColoursPage(services_.dialogs, edited);
    addPage(display, QStringLiteral("Display"));
    addPage(colours, QStringLiteral("Decimal Places and Colours"));
    EntryTreePage* bands =
        addTreePage(*costings_, QStringLiteral("Time Bands"), QStringLiteral("options#time-bands"),
                    QStringLiteral("trvCostings"), QStringLiteral("Costings"));
    EntryTreePage* details = addTreePage(
        *furtherDetails_, QStringLiteral("Time Bands - Further Details"),
        QStringLiteral("options#further-details"), QStringLiteral("trvCostingFurtherDetails"),
        QStringLiteral("CostingFurtherDetails"));
    auto* chargeOptions = new ChargeOptionsPage;
    addPage(chargeOptions, QStringLiteral("Options"));
    EntryTreePage* applications = addTreePage(
        *applications_, QStringLiteral("Applications"), QStringLiteral("options#applications"),
        QStringLiteral("trvApplications"), QStringLiteral("Applications"));
    auto* general = generalPage_ = new GeneralPage;
    auto* iconHint = new IconHintPage;
    disconnectPage_ = new DisconnectPage(regional);
    auto* sensitivity = new SensitivityPage(regional);
    auto* sound = new SoundPage;
    addPage(general, QStringLiteral("General"));
    addPage(iconHint, QStringLiteral("General (cont...)"));
    addPage(disconnectPage_, QStringLiteral("Disconnect"));
    addPage(sensitivity, QStringLiteral("Sensitivity"));
    addPage(sound, QStringLiteral("Sound"));

    sections_ = new SectionPages(ui->listvSections, ui->pageConfiguration);
    sections_->addSection(QStringLiteral("Display"), {display, colours});
    sections_->addSection(QStringLiteral("Costs"), {bands, details, chargeOptions});
    sections_->addSection(QStringLiteral("Applications"), {applications});
    sections_->addSection(QStringLiteral("Miscellaneous"),
                          {general, iconHint, disconnectPage_, sensitivity, sound});
    const QColor iconColours[] = {QColor(0, 120, 215), QColor(16, 137, 62), QColor(202, 80, 16),
                                  QColor(104, 33, 122)};
    for (int i = 0; i < ui->listvSections->count(); ++i) {
        QListWidgetItem* item = ui->listvSections->item(i);
        item->setIcon(sectionIcon(item->text(), iconColours[i]));
    }

    // The data rate can be had when the link has byte counters, or when the user asked for
    // the checks to be left out.
    PlatformCapabilities capabilities = services_.capabilities;
    capabilities.dataRateAvailable =
        capabilities.dataRateAvailable || services_.settings.Disable_Checks;
    for (OptionsPage* page : std::as_const(pages_)) {
        page->loadSettings(edited);
        page->applyCapabilities(capabilities);
    }
    general->showStartAtLogin(services_.autostart != nullptr,
                              services_.autostart && services_.autostart->isEnabled());
    for (EntryTreePage* page : std::as_const(treePages_))
        page->rebuild();
    sections_->selectSection(0);

    // The ready-made tariffs, on the charge band tree's context menu.
    popupPresets = new QMenu(this);
    popupPresets->setObjectName(QStringLiteral("popupPresets"));
    QMenu* submenu = nullptr;
    for (const TariffPreset& preset : TariffPresets()) {
        if (!submenu || submenu->title() != preset.Submenu)
            submenu = popupPresets->addMenu(preset.Submenu);
        QAction* item = submenu->addAction(preset.Item);
        item->setObjectName(preset.ObjectName);
        connect(item, &QAction::triggered, this, [this, preset] { presetClick(preset); });
    }
    QTreeWidget* bandTree = bands->tree();
    connect(bandTree, &QWidget::customContextMenuRequested, this, [this, bandTree](QPoint at) {
        popupPresets->popup(bandTree->viewport()->mapToGlobal(at));
    });
    bandsPage_ = bands;
    furtherDetailsPage_ = details;

    connect(ui->btnOK, &QPushButton::clicked, this, &TfrmConfiguration::btnOKClick);
    connect(ui->btnCancel, &QPushButton::clicked, this, &TfrmConfiguration::btnCancelClick);
    connect(ui->btnHelp, &QPushButton::clicked, this, &TfrmConfiguration::btnHelpClick);
    connect(ui->btnDebugFile, &QPushButton::clicked, this, &TfrmConfiguration::btnDebugFileClick);
    installStatusLink(ui->statusBar, services_.shell, services_.prompts);
    installHelpKey(this, services_.help, QStringLiteral("options"));

    setMinimumSize(MinimumSize);
    const QSize stored(services_.store.readInteger(ProductKey, WidthValue, 550),
                       services_.store.readInteger(ProductKey, HeightValue, 450));
    resize(initialWindowSize(stored, MinimumSize, MinimumSize, availableScreenSize())
               .expandedTo(minimumSizeHint()));
}

TfrmConfiguration::~TfrmConfiguration() = default;

void TfrmConfiguration::addPage(OptionsPage* page, const QString& caption) {
    pages_.append(page);
    ui->pageConfiguration->addTab(page, caption);
}

EntryTreePage* TfrmConfiguration::addTreePage(TreeEntries& list, const QString& caption,
                                              const QString& topic, const QString& treeName,
                                              const QString& buttonSuffix) {
    auto* page = new EntryTreePage(topic, treeName, buttonSuffix, list, services_.connectoidNames,
                                   namesKnown_, services_.prompts);
    treePages_.append(page);
    addPage(page, caption);
    return page;
}

void TfrmConfiguration::presetClick(const TariffPreset& preset) {
    if (!services_.prompts.askYesNo(PresetConfirmationText))
        return;
    preset.Fill(copy_.lists.Costings, copy_.lists.CostingFurtherDetails);
    furtherDetailsPage_->rebuild();
    bandsPage_->rebuild();
}

void TfrmConfiguration::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

void TfrmConfiguration::btnOKClick() {
    // Return presses OK without leaving the edit that has the focus.
    editrules::applyEditRules(this);
    typSettings& edited = copy_.settings;
    for (const OptionsPage* page : std::as_const(pages_))
        page->saveSettings(edited);

    // What the main window may have changed meanwhile and this dialog does not edit, or
    // the user left alone, stays as the main window has it.
    const typSettings& live = copy_.liveSettings();
    edited.Window_Left = live.Window_Left;
    edited.Window_Top = live.Window_Top;
    edited.Show_Splash = live.Show_Splash;
    OptionsWritten written;
    written.autoDisconnect = disconnectPage_->callLengthChanged();
    if (!written.autoDisconnect)
        edited.Auto_Disconnect = live.Auto_Disconnect;
    written.autoAtDisconnect = disconnectPage_->hangUpTimeChanged();
    if (!written.autoAtDisconnect)
        edited.Auto_At_Disconnect = live.Auto_At_Disconnect;

    copy_.commit();
    // The size goes with the settings, in their one trip to the disk.
    services_.store.writeInteger(ProductKey, WidthValue, width());
    services_.store.writeInteger(ProductKey, HeightValue, height());
    SaveOptions(services_.store, services_.settings, services_.lists, services_.regional, written);
    if (Autostart* autostart = services_.autostart) {
        const bool wanted = generalPage_->startAtLogin();
        QString error;
        if (wanted != autostart->isEnabled() && !autostart->setEnabled(wanted, &error))
            services_.prompts.error(StartAtLoginFailure.arg(error));
    }
    // A new limit replaces the one kept for the end of the call too.
    if (written.autoDisconnect) {
        if (qint32* kept = services_.keptCallLengthLimit())
            *kept = services_.settings.Auto_Disconnect;
    }
    if (services_.settings.Show_Digital_Display == 0)
        services_.showDigitalDisplay();
    accept();
}

void TfrmConfiguration::btnCancelClick() {
    reject();
}

void TfrmConfiguration::btnHelpClick() {
    const auto* page = qobject_cast<const OptionsPage*>(ui->pageConfiguration->currentWidget());
    services_.help.open(page ? page->helpTopic() : QStringLiteral("options"));
}

const QString TfrmConfiguration::StartAtLoginFailure =
    QStringLiteral("Starting VORN when you log in could not be changed: %1");

QString TfrmConfiguration::DebugFileQuestion(const QString& path) {
    return QStringLiteral("Are you sure you want to create a debug file called %1?").arg(path);
}

void TfrmConfiguration::btnDebugFileClick() {
    const QString path = debugFilePath(services_.programFolder);
    if (!services_.prompts.askYesNo(DebugFileQuestion(path)))
        return;
    QString error;
    if (!services_.debugLog.writeFile(path, QString::fromLatin1(VornApplicationTitle),
                                      services_.regional, &error))
        services_.prompts.error(
            QStringLiteral("The debug file %1 could not be written: %2").arg(path, error));
}
