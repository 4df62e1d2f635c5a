#pragma once

#include "core/working_copy.h"
#include "widgets/window_services.h"

#include <QDialog>
#include <QList>
#include <QSize>

#include <functional>
#include <memory>

namespace Ui {
class TfrmConfiguration;
}
class DisconnectPage;
class TreeEntries;
class EntryTreePage;
class GeneralPage;
class OptionsPage;
class QMenu;
class SectionPages;
struct TariffPreset;

// The options dialog: the sections on the left, their pages on the right, and OK, Cancel,
// Help and Debug File below. The pages edit a working copy of the settings and the lists;
// OK makes it the live one and saves it, Cancel drops it.
class TfrmConfiguration final : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize MinimumSize{590, 450};

    explicit TfrmConfiguration(const WindowServices& services);
    ~TfrmConfiguration() override;

    void btnOKClick();
    void btnCancelClick();
    void btnHelpClick();
    void btnDebugFileClick();
    // Replaces the charge bands and further details with a ready-made tariff, after asking.
    void presetClick(const TariffPreset& preset);

    // Shows an editor of a list entry and tells whether it ended with OK. Tests work the
    // editor here instead of showing it.
    std::function<bool(QDialog&)> runEditor = [](QDialog& editor) {
        return editor.exec() == QDialog::Accepted;
    };

    QMenu* popupPresets = nullptr;

    SettingsWorkingCopy& workingCopy() { return copy_; }
    // The question Debug File asks before it writes the file at path.
    static QString DebugFileQuestion(const QString& path);
    static const QString StartAtLoginFailure;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void addPage(OptionsPage* page, const QString& caption);
    EntryTreePage* addTreePage(TreeEntries& list, const QString& caption, const QString& topic,
                               const QString& treeName, const QString& buttonSuffix);

    std::unique_ptr<Ui::TfrmConfiguration> ui;
    WindowServices services_;
    SettingsWorkingCopy copy_;
    bool namesKnown_ = false;
    SectionPages* sections_ = nullptr;
    QList<OptionsPage*> pages_;
    DisconnectPage* disconnectPage_ = nullptr;
    GeneralPage* generalPage_ = nullptr;
    std::unique_ptr<TreeEntries> costings_;
    std::unique_ptr<TreeEntries> furtherDetails_;
    std::unique_ptr<TreeEntries> applications_;
    QList<EntryTreePage*> treePages_;
    EntryTreePage* bandsPage_ = nullptr;
    EntryTreePage* furtherDetailsPage_ = nullptr;
};
