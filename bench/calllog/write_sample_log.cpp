// Writes a real-shaped call log and a settings file whose charge bands are the BT Standard
// preset, for timing vorn-log as a whole command and for trying it out:
//   write_sample_log FOLDER [CALLS [FIRST-DAY LAST-DAY]]
// FOLDER/Logs/log070.bin and FOLDER/VORN.conf; days as YYYY-MM-DD (default: 100 000
// calls from 2012 to 2024).

#include "calllog/call_log_file.h"
#include "core/ini_settings_store.h"
#include "core/program_paths.h"
#include "core/regional.h"
#include "core/settings_io.h"
#include "core/version.h"
#include "real_shaped_log.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>

#include <cstdio>

namespace {
TDateTime dayOf(const char* text) {
    const QDate date = QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
    if (!date.isValid())
        qFatal("not a day: %s", text);
    return static_cast<TDateTime>(QDate(1899, 12, 30).daysTo(date));
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2 && argc != 3 && argc != 5) {
        std::fputs("usage: write_sample_log FOLDER [CALLS [FIRST-DAY LAST-DAY]]\n", stderr);
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const int calls = argc > 2 ? std::atoi(argv[2]) : 100000;
    const QList<typCallLogInformation> log =
        argc == 5 ? benchlog::realShapedCalls(calls, dayOf(argv[3]), dayOf(argv[4]))
                  : benchlog::realShapedCalls(calls, 40909, 45292);
    QDir().mkpath(logsFolderOf(folder));
    benchlog::writeLog(calllog::logFilePath(logsFolderOf(folder)), log);

    IniSettingsStore store(QDir(folder).filePath(QStringLiteral("VORN.conf")));
    typLists lists;
    FillPresetBTStandard(lists.Costings, lists.CostingFurtherDetails);
    SaveCostings(store, lists.Costings, RegionalSettings::english());
    SaveCostingFurtherDetails(store, lists.CostingFurtherDetails);
    store.writeString(QString(), QStringLiteral("Version"), QString::fromLatin1(VornVersion));
    store.sync();
    std::printf("%d calls in %s\n", static_cast<int>(log.size()),
                qPrintable(calllog::logFilePath(logsFolderOf(folder))));
    return 0;
}
