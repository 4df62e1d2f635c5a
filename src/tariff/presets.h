#pragma once

#include "core/records.h"

#include <QList>
#include <QString>

// The ready-made local-call tariffs of the options dialog's charge band menu. Each filler
// replaces every charge band and every further detail with its fixed set; asking first
// and rebuilding the trees is the dialog's part.

// Asked before any preset replaces the user's lists ("\n\r" is the program's line break).
inline const QString PresetConfirmationText =
    QStringLiteral("This operation will remove all your existing time bands and further "
                   "details.\n\r\n\rAre you sure?");

void FillPresetBTStandard(CostingTable& bands, CostingFurtherDetailTable& details);
void FillPresetBTFriendsAndFamily(CostingTable& bands, CostingFurtherDetailTable& details);
void FillPresetBTFriendsAndFamilyBestFriend(CostingTable& bands,
                                            CostingFurtherDetailTable& details);
void FillPresetBTFriendsAndFamilyPremierline(CostingTable& bands,
                                             CostingFurtherDetailTable& details);
void FillPresetBTFriendsAndFamilyBestFriendPremierline(CostingTable& bands,
                                                       CostingFurtherDetailTable& details);
void FillPresetItaliaStandard(CostingTable& bands, CostingFurtherDetailTable& details);
void FillPresetItaliaDiscounted(CostingTable& bands, CostingFurtherDetailTable& details);

// The menu as the dialog shows it, in menu order: submenu caption, item caption, the
// item's objectName (its handler is that name followed by "Click") and its filler.
struct TariffPreset {
    QString Submenu;
    QString Item;
    QString ObjectName;
    void (*Fill)(CostingTable&, CostingFurtherDetailTable&);
};
const QList<TariffPreset>& TariffPresets();
