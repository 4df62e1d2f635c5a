#include "config/entry_lists.h"

#include "core/datetime.h"
#include "core/formatting.h"
#include "tariff/further_details.h"

#include <QFileInfo>

namespace {
const QString LineBreaks = QStringLiteral("\n\r\n\r");

QString capacityMessage(const char* section, int capacity, const char* entry) {
    return QStringLiteral("The %1 section has a maximum capacity of").arg(QLatin1String(section)) +
           QString::number(capacity) + QStringLiteral(" entries.") + LineBreaks +
           QStringLiteral("To add another %1 entry you will need to remove an existing entry "
                          "first.")
               .arg(QLatin1String(entry));
}

QString selectMessage(const char* entry, const char* purpose) {
    return QStringLiteral("You must select %1 from the list above before %2.")
        .arg(QLatin1String(entry), QLatin1String(purpose));
}

const char* const ForProperties = "the properties can be displayed";
const char* const ForRemoval = "it can be removed";

QString item(const QStringList& items, int index) {
    return items.value(index, QString::number(index));
}
} // namespace

const TreeEntries::Texts CostingTexts = {
    QStringLiteral("(right click for predefined rates)"), QStringLiteral("Insert Time Band"),
    capacityMessage("costing", CostingTable::Capacity, "costing"),
    selectMessage("a Time Band Entry", ForProperties),
    selectMessage("a Time Band Entry", ForRemoval)};

const TreeEntries::Texts FurtherDetailTexts = {
    QStringLiteral("(minimum charge, discount, etc.)"), QStringLiteral("Insert Further Detail"),
    capacityMessage("costing further details", CostingFurtherDetailTable::Capacity, "costing"),
    selectMessage("a Further Detail Entry", ForProperties),
    selectMessage("a Further Detail Entry", ForRemoval)};

const TreeEntries::Texts ApplicationTexts = {
    QString(), QStringLiteral("Insert Application"),
    capacityMessage("application", ApplicationTable::Capacity, "application"),
    selectMessage("an Application Entry", ForProperties),
    selectMessage("an Application Entry", ForRemoval)};

const QStringList WindowStateItems = {QStringLiteral("Normal"), QStringLiteral("Minimized"),
                                      QStringLiteral("Maximized"), QStringLiteral("Hidden")};
const QStringList ExecuteItems = {QStringLiteral("Disabled"), QStringLiteral("When Connected"),
                                  QStringLiteral("When Disconnected")};
const QStringList CloseItems = {QStringLiteral("Disabled"), QStringLiteral("At Disconnection")};

QString CostingCaption(const typCostingInformation& band, int decimalPlaces,
                       const RegionalSettings& regional) {
    const QString sep = QStringLiteral(", ");
    return DaysToText(band.Days) + sep + datetime::longTimeText(band.StartTime, regional) + u'-' +
           datetime::longTimeText(band.FinishTime, regional) + sep +
           QString::number(band.Length_Start) + u'-' + QString::number(band.Length_Finish) + sep +
           QString::number(band.FreeMinutes) + sep +
           FormatMoneyWithSymbol(decimalPlaces, band.ChargePerMin, regional);
}

QString FurtherDetailCaption(const typCostingFurtherDetailInformation& detail, int decimalPlaces,
                             const RegionalSettings& regional) {
    const QString sep = QStringLiteral(", ");
    const bool yesNo =
        detail.Value == FurtherDetailOption::Yes || detail.Value == FurtherDetailOption::No;
    return detail.Option + sep + QString::number(detail.Length_Start) + u'-' +
           QString::number(detail.Length_Finish) + sep +
           (yesNo ? detail.Value
                  : FormatNumberPlaces(decimalPlaces, ReadFloatSetting(detail.Value, regional),
                                       regional));
}

QString ApplicationCaption(const typApplicationInformation& application) {
    const QString sep = QStringLiteral(", ");
    return QFileInfo(application.Filename).fileName() + sep +
           item(WindowStateItems, application.Window_State) + sep +
           item(ExecuteItems, application.Execute) + sep + item(CloseItems, application.Close) +
           sep + QString::number(application.Delay);
}
