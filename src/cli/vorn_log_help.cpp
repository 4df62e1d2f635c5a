#include "vorn_log_help.h"

#include "repricing.h"

namespace vornloghelp {

namespace {

const char* const ProgramText =
    "Usage: vorn-log [--home DIR] [--config FILE] [--entry NAME ...] COMMAND [OPTIONS]\n"
    "Reads VORN's call log: the calls, their statistics, the log window's export files, and\n"
    "what the calls would have cost under other tariffs. Never changes the call log or the\n"
    "settings.\n"
    "\n"
    "Commands:\n"
    "  list             one line per call, newest first\n"
    "  stats            totals, discount, projections, months and other statistics\n"
    "  export           write the detail, projections or usage export file\n"
    "  reprice          price the calls again under your charge bands or the built-in presets\n"
    "  help [COMMAND]   show this text, or the options and JSON keys of a command\n"
    "\n"
    "Options of every command:\n"
    "  --home DIR       program folder holding Logs/ (default: $VORN_HOME, else\n"
    "                   $XDG_DATA_HOME/VORN)\n"
    "  --config FILE    settings file (default: $VORN_CONFIG, else\n"
    "                   $XDG_CONFIG_HOME/Ostrand Labs/VORN.conf)\n"
    "  --entry NAME     a dial-up entry of this machine, once for each: calls of other\n"
    "                   connectoids are grouped under \"Unknown/Other\" as the log window\n"
    "                   groups calls of removed entries. Without --entry every connectoid\n"
    "                   named in the log counts as an entry.\n"
    "  --help           show help\n"
    "\n"
    "'vorn-log COMMAND --help' lists a command's options and the keys of its JSON output.\n"
    "Exit status: 0 done; 1 the call log or the settings file is missing or unreadable, or\n"
    "an export file could not be written or was refused; 2 bad usage, an unknown\n"
    "connectoid or tariff.\n";

const char* const FilterText =
    "  --connectoid NAME  only the calls of that connectoid: a dial-up entry, or\n"
    "                     \"Unknown/Other\" for calls whose entry is unknown or gone\n";

const char* const DateText =
    "  --from DATE        only calls that started at or after DATE\n"
    "  --to DATE          only calls that started no later than DATE: a date alone takes\n"
    "                     in that whole day, a time that whole minute or second\n"
    "  DATE is YYYY-MM-DD or YYYY-MM-DD HH:MM[:SS], local time.\n";

const char* const ListText =
    "Usage: vorn-log list [--connectoid NAME] [--from DATE] [--to DATE] [--json | --csv]\n"
    "One line per call, newest first: start, finish, length, cost with and without\n"
    "discount, data, connect speed, mode, connectoid and user, as the log window shows them.\n"
    "\n"
    "%1%2"
    "  --json             JSON instead of text\n"
    "  --csv              comma-separated, every field in double quotes\n"
    "\n"
    "JSON: {\"calls\": [CALL, ...]}, each CALL with the keys\n"
    "  record                    position of the record in the log file, from 1\n"
    "  start, finish             ISO 8601 local date-time, null when the record holds none\n"
    "  start_days, finish_days   the same as days since 30 December 1899 (the fraction is\n"
    "                            the time of day), null when none\n"
    "  length_seconds            finish minus start\n"
    "  cost_inc, cost_exc        cost with and without discount, unrounded\n"
    "  data_bytes                data transferred; 0 when not known\n"
    "  connect_speed             bits per second; 0 when not known\n"
    "  mode                      0 Auto, 1 Insert, 2 Edit, 3 Adjust, 4 Rcvrd, 5 Discon\n"
    "  mode_text                 the word the log window shows (\"ERROR\" for others)\n"
    "  connectoid                the connectoid as the log window shows it\n"
    "  user                      the user name as stored, \"\" when none\n";

const char* const StatsText =
    "Usage: vorn-log stats [--connectoid NAME] [--json]\n"
    "The log window's figures: totals, discount, the weekly, monthly, quarterly and yearly\n"
    "projections, the months, and without --connectoid the other statistics.\n"
    "\n"
    "%1"
    "  --json             JSON instead of text\n"
    "\n"
    "JSON: one object with the keys\n"
    "  connectoid           the filter, null for every call\n"
    "  calls                calls counted\n"
    "  total                {length_seconds, cost_exc, cost_inc, data_bytes}\n"
    "  discount             cost_exc minus cost_inc of the total\n"
    "  earliest_start, last_finish            ISO 8601 local date-times, or null\n"
    "  earliest_start_days, last_finish_days  the same as day counts, or null\n"
    "  days                 days the projections divide by (to now, at least 1)\n"
    "  projections          [{period (\"week\", \"month\", \"quarter\", \"year\"), days,\n"
    "                       length_seconds, cost_exc, cost_inc, data_bytes}]\n"
    "  months               [{month (\"YYYY-MM\"), name, length_seconds, cost_exc, cost_inc,\n"
    "                       data_bytes}] in the order the months first occur in the log\n"
    "  other                without --connectoid: {full_days, average_length_seconds,\n"
    "                       average_cost_exc, average_cost_inc, average_data_bytes,\n"
    "                       projected_calls {week, month, quarter, year}, modes {auto,\n"
    "                       insert, edit, adjust, recovered, disconnected}, removed_records,\n"
    "                       total_records, wasted_space_percent}\n"
    "Amounts are unrounded, lengths in seconds, data in bytes.\n";

const char* const ExportText =
    "Usage: vorn-log export detail|projections|usage FILE [--connectoid NAME]\n"
    "Writes the file the log window's export writes, byte for byte: detail (every call,\n"
    "in file order), projections or usage. The call log and VORN's other files in its Logs\n"
    "folder are never written, also not through a link; an existing FILE is replaced only\n"
    "once the new one is complete.\n"
    "\n"
    "%1";

const char* const RepriceText =
    "Usage: vorn-log reprice [--connectoid NAME] [--from DATE] [--to DATE]\n"
    "                        [--preset KEY ... | --all-presets] [--totals] [--json]\n"
    "Prices each call again, second by second as VORN does, and shows it beside what was\n"
    "recorded, then the total under each tariff and its difference from the recorded total.\n"
    "Adjustments keep their recorded amounts.\n"
    "\n"
    "%1%2"
    "  --preset KEY       price under that tariff; give it once for each. KEY is \"current\"\n"
    "                     (the charge bands and further details of the settings, the\n"
    "                     default) or a built-in preset:\n"
    "%3"
    "  --all-presets      price under every built-in preset\n"
    "  --totals           only the totals, not each call\n"
    "  --json             JSON instead of text\n"
    "\n"
    "JSON: one object with the keys\n"
    "  tariffs     [{key, name}] in the order of the costs below\n"
    "  calls       (without --totals) [{record, start, start_days, connectoid,\n"
    "              length_seconds, mode, recorded {cost_inc, cost_exc},\n"
    "              costs [{cost_inc, cost_exc}, one per tariff]}], newest first\n"
    "  recorded    {cost_inc, cost_exc}: the recorded totals\n"
    "  totals      [{key, cost_inc, cost_exc, difference_inc, difference_exc}], the\n"
    "              differences being the tariff's total minus the recorded one\n"
    "  cheapest    the key of the tariff with the lowest total with discount, or null\n";

QString presetList() {
    QString list;
    for (const Tariff& tariff : presetTariffs())
        list += QStringLiteral("    %1 %2\n").arg(tariff.key, -18).arg(tariff.name);
    return list;
}

} // namespace

QString program() {
    return QString::fromUtf8(ProgramText);
}

QString command(const QString& name) {
    const QString filter = QString::fromUtf8(FilterText);
    const QString dates = QString::fromUtf8(DateText);
    if (name == QLatin1String("list"))
        return QString::fromUtf8(ListText).arg(filter, dates);
    if (name == QLatin1String("stats"))
        return QString::fromUtf8(StatsText).arg(filter);
    if (name == QLatin1String("export"))
        return QString::fromUtf8(ExportText).arg(filter);
    if (name == QLatin1String("reprice"))
        return QString::fromUtf8(RepriceText).arg(filter, dates, presetList());
    return {};
}

} // namespace vornloghelp
