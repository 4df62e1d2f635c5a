#include "presets.h"

#include "charge_bands.h"
#include "further_details.h"

namespace {

constexpr qint32 Sunday = 1;
constexpr qint32 MondayToFriday = 62;
constexpr qint32 Saturday = 64;
constexpr qint32 Weekend = 65;

struct Hms {
    int hour, minute, second;
};

void addBand(CostingTable& bands, int slot, qint32 days, Hms start, Hms finish,
             double chargePerMin) {
    typCostingInformation& band = bands[slot];
    band.Connectoid_Name = DefaultConnectoid;
    band.StartTime = TimeOfDay(start.hour, start.minute, start.second);
    band.FinishTime = TimeOfDay(finish.hour, finish.minute, finish.second);
    band.Length_Start = 0;
    band.Length_Finish = 0;
    band.Days = days;
    band.ChargePerMin = chargePerMin;
    band.FreeMinutes = 0;
}

void fillUnitedKingdomBands(CostingTable& bands) {
    clearTable(bands);
    addBand(bands, 1, Weekend, {0, 0, 0}, {23, 59, 59}, 0.01);
    addBand(bands, 2, MondayToFriday, {8, 0, 0}, {17, 59, 59}, 0.0395);
    addBand(bands, 3, MondayToFriday, {18, 0, 0}, {7, 59, 59}, 0.0149);
}

void fillItalyBands(CostingTable& bands) {
    clearTable(bands);
    addBand(bands, 1, MondayToFriday, {8, 0, 0}, {18, 29, 59}, 41.5636);
    addBand(bands, 2, MondayToFriday, {18, 30, 0}, {7, 59, 59}, 22.86);
    addBand(bands, 3, Saturday, {0, 0, 0}, {7, 59, 59}, 22.86);
    addBand(bands, 4, Saturday, {8, 0, 0}, {12, 59, 59}, 41.5636);
    addBand(bands, 5, Saturday, {13, 0, 0}, {23, 59, 59}, 22.86);
    addBand(bands, 6, Sunday, {0, 0, 0}, {23, 59, 59}, 22.86);
}

struct Detail {
    const QString& option;
    const char* value;
};

void fillDetails(CostingFurtherDetailTable& details, std::initializer_list<Detail> list) {
    clearTable(details);
    int slot = 1;
    for (const Detail& d : list) {
        typCostingFurtherDetailInformation& entry = details[slot++];
        entry.Connectoid_Name = DefaultConnectoid;
        entry.Option = d.option;
        entry.Length_Start = 0;
        entry.Length_Finish = 0;
        entry.Value = QString::fromLatin1(d.value);
    }
}

void fillFriendsAndFamily(CostingTable& bands, CostingFurtherDetailTable& details,
                          const char* discount) {
    fillUnitedKingdomBands(bands);
    fillDetails(details, {{FurtherDetailOption::MinimumCharge, "0.05"},
                          {FurtherDetailOption::ApplyDiscountMinimumCharge, "Yes"},
                          {FurtherDetailOption::Discount, discount}});
}

} // namespace

void FillPresetBTStandard(CostingTable& bands, CostingFurtherDetailTable& details) {
    fillUnitedKingdomBands(bands);
    fillDetails(details, {{FurtherDetailOption::MinimumCharge, "0.05"}});
}

void FillPresetBTFriendsAndFamily(CostingTable& bands, CostingFurtherDetailTable& details) {
    fillFriendsAndFamily(bands, details, "10");
}

void FillPresetBTFriendsAndFamilyBestFriend(CostingTable& bands,
                                            CostingFurtherDetailTable& details) {
    fillFriendsAndFamily(bands, details, "20");
}

void FillPresetBTFriendsAndFamilyPremierline(CostingTable& bands,
                                             CostingFurtherDetailTable& details) {
    fillFriendsAndFamily(bands, details, "25");
}

void FillPresetBTFriendsAndFamilyBestFriendPremierline(CostingTable& bands,
                                                       CostingFurtherDetailTable& details) {
    fillFriendsAndFamily(bands, details, "35");
}

void FillPresetItaliaStandard(CostingTable& bands, CostingFurtherDetailTable& details) {
    fillItalyBands(bands);
    fillDetails(details, {{FurtherDetailOption::ConnectionCharge, "153"}});
}

void FillPresetItaliaDiscounted(CostingTable& bands, CostingFurtherDetailTable& details) {
    fillItalyBands(bands);
    fillDetails(details, {{FurtherDetailOption::ConnectionCharge, "153"},
                          {FurtherDetailOption::Discount, "50"}});
}

const QList<TariffPreset>& TariffPresets() {
    static const QString bt = QStringLiteral("United Kingdom - BT (local)");
    static const QString italia = QStringLiteral("Italy - Telecom Italia (local)");
    static const QList<TariffPreset> presets = {
        {bt, QStringLiteral("Standard"), QStringLiteral("mnuStandard"), FillPresetBTStandard},
        {bt, QStringLiteral("Friends and Family"), QStringLiteral("mnuFF"),
         FillPresetBTFriendsAndFamily},
        {bt, QStringLiteral("Friends and Family with Best Friend"), QStringLiteral("mnuFFBF"),
         FillPresetBTFriendsAndFamilyBestFriend},
        {bt, QStringLiteral("Friends and Family and Premierline"), QStringLiteral("mnuFFPrem"),
         FillPresetBTFriendsAndFamilyPremierline},
        {bt, QStringLiteral("Friends and Family with Best Friend and Premierline"),
         QStringLiteral("mnuFFBFPrem"), FillPresetBTFriendsAndFamilyBestFriendPremierline},
        {italia, QStringLiteral("Standard"), QStringLiteral("mnuItaliaStandard"),
         FillPresetItaliaStandard},
        {italia, QStringLiteral("Discounted"), QStringLiteral("mnuItaliaDiscounted"),
         FillPresetItaliaDiscounted},
    };
    return presets;
}
