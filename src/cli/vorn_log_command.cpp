#include "vorn_log_command.h"

#include "calllog/call_log_export.h"
#include "calllog/call_log_file.h"
#include "calllog/call_log_record.h"
#include "calllog/call_log_sort.h"
#include "calllog/call_log_statistics.h"
#include "calllog/call_log_table.h"
#include "calllog/call_log_texts.h"
#include "calllog/connectoid_list.h"
#include "calllog/in_out_error.h"
#include "core/clock.h"
#include "core/code_page.h"
#include "core/connectoid_names.h"
#include "core/date_texts.h"
#include "core/lists.h"
#include "core/program_paths.h"
#include "core/records.h"
#include "core/settings.h"
#include "core/settings_io.h"
#include "core/settings_snapshot.h"
#include "json_writer.h"
#include "repricing.h"
#include "text_table.h"
#include "vorn_log_help.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <set>

namespace {

struct UsageError {
    QString message;
    QString command; // whose help the message points to; empty for the program's
};

struct FileError {
    QString message;
};

// Half-open [begin, end) in whole milliseconds of the day count.
struct Period {
    qint64 begin = 0;
    qint64 end = 0;
};

struct Options {
    QString command;
    QStringList positional;
    QString home;
    QString config;
    QStringList entries;
    std::optional<QString> connectoid;
    std::optional<Period> from;
    std::optional<Period> to;
    QStringList presets;
    bool allPresets = false;
    bool json = false;
    bool csv = false;
    bool totalsOnly = false;
    bool help = false;
};

const QStringList& commands() {
    static const QStringList names = {QStringLiteral("list"), QStringLiteral("stats"),
                                      QStringLiteral("export"), QStringLiteral("reprice"),
                                      QStringLiteral("help")};
    return names;
}

// The options each command takes besides --home, --config, --entry and --help.
QStringList optionsOf(const QString& command) {
    if (command == QLatin1String("list"))
        return {"connectoid", "from", "to", "json", "csv"};
    if (command == QLatin1String("stats"))
        return {"connectoid", "json"};
    if (command == QLatin1String("export"))
        return {"connectoid"};
    if (command == QLatin1String("reprice"))
        return {"connectoid", "from", "to", "preset", "all-presets", "totals", "json"};
    return {};
}

bool takesValue(const QString& option) {
    static const QStringList valued = {"home", "config", "entry", "connectoid",
                                       "from", "to",     "preset"};
    return valued.contains(option);
}

constexpr qint64 MsPerDay = 86400000;

qint64 wholeMs(TDateTime value) {
    return std::llround(value * datetime::MillisecondsPerDay);
}

// DATE: YYYY-MM-DD, or with HH:MM or HH:MM:SS after a blank or a "T". The period is the
// day, minute or second it names.
std::optional<Period> parseDate(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})(?:[ T](\d{2}):(\d{2})(?::(\d{2}))?)?$)"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const int hour = m.captured(4).toInt();
    const int minute = m.captured(5).toInt();
    const int second = m.captured(6).toInt();
    if (!date.isValid() || date.year() < 1 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const qint64 day = QDate(1899, 12, 30).daysTo(date);
    const qint64 begin = day * MsPerDay + ((hour * 60 + minute) * 60 + second) * 1000LL;
    const qint64 unit =
        m.captured(6).isEmpty() ? (m.captured(4).isEmpty() ? MsPerDay : 60000) : 1000;
    return Period{begin, begin + unit};
}

Options parseArguments(const QStringList& arguments) {
    Options o;
    bool optionsEnded = false;
    QStringList seenOptions;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1String("--"))) {
            if (o.command.isEmpty())
                o.command = argument;
            else
                o.positional << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = argument.mid(2);
        std::optional<QString> value;
        if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        }
        if (takesValue(name) && !value) {
            if (i + 1 >= arguments.size())
                throw UsageError{QStringLiteral("--%1 needs a value").arg(name), o.command};
            value = arguments[++i];
        } else if (!takesValue(name) && value) {
            throw UsageError{QStringLiteral("--%1 takes no value").arg(name), o.command};
        }
        seenOptions << name;
        if (name == QLatin1String("home"))
            o.home = *value;
        else if (name == QLatin1String("config"))
            o.config = *value;
        else if (name == QLatin1String("entry"))
            o.entries << *value;
        else if (name == QLatin1String("connectoid"))
            o.connectoid = *value;
        else if (name == QLatin1String("from") || name == QLatin1String("to")) {
            const std::optional<Period> period = parseDate(*value);
            if (!period)
                throw UsageError{QStringLiteral("--%1 %2: not a date (YYYY-MM-DD or "
                                                "YYYY-MM-DD HH:MM[:SS])")
                                     .arg(name, *value),
                                 o.command};
            (name == QLatin1String("from") ? o.from : o.to) = period;
        } else if (name == QLatin1String("preset"))
            o.presets << *value;
        else if (name == QLatin1String("all-presets"))
            o.allPresets = true;
        else if (name == QLatin1String("totals"))
            o.totalsOnly = true;
        else if (name == QLatin1String("json"))
            o.json = true;
        else if (name == QLatin1String("csv"))
            o.csv = true;
        else if (name == QLatin1String("help"))
            o.help = true;
        else
            throw UsageError{QStringLiteral("unknown option --%1").arg(name), o.command};
    }
    if (o.help)
        return o;
    if (o.command.isEmpty())
        throw UsageError{QStringLiteral("no command given"), {}};
    if (!commands().contains(o.command))
        throw UsageError{QStringLiteral("unknown command '%1'").arg(o.command), {}};
    const QStringList allowed = optionsOf(o.command) + QStringList{"home", "config", "entry"};
    for (const QString& option : seenOptions)
        if (!allowed.contains(option) && o.command != QLatin1String("help"))
            throw UsageError{QStringLiteral("%1 takes no --%2").arg(o.command, option), o.command};
    if (o.json && o.csv)
        throw UsageError{QStringLiteral("--json and --csv exclude each other"), o.command};
    const qsizetype wanted = o.command == QLatin1String("export") ? 2
                             : o.command == QLatin1String("help") ? o.positional.size()
                                                                  : 0;
    if (o.positional.size() != wanted)
        throw UsageError{o.command == QLatin1String("export")
                             ? QStringLiteral("export needs a kind and a file")
                             : QStringLiteral("unexpected argument '%1'").arg(o.positional[0]),
                         o.command};
    return o;
}

// Everything a command reads: the settings, the call log and the texts of this machine.
struct Session {
    QString logsFolder;
    typSettings settings;
    typLists lists;
    std::unique_ptr<ConnectoidGrouping> grouping;
    ConnectoidNameTable phonebook;
    CallLogTable table;
    std::unique_ptr<CallLogTexts> texts;
    TDateTime now = 0;
};

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

void requireReadable(const QString& path, const QString& what, const QString& hint) {
    const QFileInfo info(path);
    if (!info.exists())
        throw FileError{QStringLiteral("%1 %2 does not exist (%3)").arg(what, shown(path), hint)};
    if (!info.isFile() || !info.isReadable())
        throw FileError{QStringLiteral("cannot read %1 %2").arg(what, shown(path))};
}

std::unique_ptr<Session> openSession(const Options& o, const VornLogEnvironment& env) {
    auto s = std::make_unique<Session>();
    s->logsFolder = logsFolderOf(programFolder(o.home, env.variables));
    const QString config = o.config.isEmpty() ? defaultSettingsPath(env.variables) : o.config;
    requireReadable(config, QStringLiteral("the settings file"),
                    QStringLiteral("give it with --config"));
    bool readable = false;
    SettingsSnapshot store(config, &readable);
    if (!readable)
        throw FileError{QStringLiteral("cannot read the settings file %1").arg(shown(config))};
    LoadSettings(store, s->settings, s->lists, {env.regional, env.clock, {}, {}, {}, {}});

    if (o.entries.isEmpty()) {
        s->grouping = std::make_unique<ConnectoidGrouping>(ConnectoidGrouping::everyStoredName());
    } else {
        s->phonebook.fill(o.entries);
        s->grouping = std::make_unique<ConnectoidGrouping>(s->phonebook);
    }
    const QString log = calllog::logFilePath(s->logsFolder);
    requireReadable(log, QStringLiteral("the call log"),
                    QStringLiteral("give VORN's program folder with --home"));
    s->table = CallLogTable::load(log, *s->grouping);
    s->texts = std::make_unique<CallLogTexts>(env.regional, s->settings, env.names);
    s->now = env.clock.now();
    return s;
}

// The connectoids a filter can name: the entries given and "Unknown/Other", else every
// connectoid the log shows.
QStringList connectoidChoices(const Options& o, const Session& s) {
    if (!o.entries.isEmpty())
        return connectoidFilterItems(s.phonebook).mid(1);
    std::set<QString> names{UnknownConnectoid};
    for (const CallLogRow& row : s.table.rows())
        names.insert(s.table.shownConnectoidName(row));
    return QStringList(names.begin(), names.end());
}

ConnectoidFilter filterOf(const Options& o, const Session& s) {
    if (!o.connectoid)
        return ConnectoidFilter::all();
    const QStringList choices = connectoidChoices(o, s);
    const QString stored = codepage::roundTrip(*o.connectoid, calllog::ConnectoidNameLength);
    for (const QString& choice : choices)
        if (codepage::roundTrip(choice, calllog::ConnectoidNameLength) == stored)
            return ConnectoidFilter::named(*o.connectoid);
    throw UsageError{QStringLiteral("no connectoid \"%1\" (choose one of: \"%2\")")
                         .arg(*o.connectoid, choices.join(QStringLiteral("\", \""))),
                     o.command};
}

// The calls of the filter and the dates, newest first.
std::vector<quint32> chosenCalls(const Options& o, const Session& s) {
    std::vector<quint32> rows = selectCalls(s.table, filterOf(o, s), s.now).rows;
    if (o.from || o.to) {
        std::erase_if(rows, [&](quint32 r) {
            const TDateTime start = s.table.rows()[r].Start;
            if (std::isnan(start))
                return true;
            const qint64 ms = wholeMs(start);
            return (o.from && ms < o.from->begin) || (o.to && ms >= o.to->end);
        });
    }
    sortLogRows(s.table, rows, LogSortState{});
    return rows;
}

// ISO 8601 local date-times ("2024-01-31T23:50:00"), empty for a value without a date.
class IsoTexts {
public:
    IsoTexts() {
        RegionalSettings iso;
        iso.shortDateFormat = QStringLiteral("yyyy-MM-dd");
        iso.longTimeFormat = QStringLiteral("HH:mm:ss");
        texts_ = std::make_unique<datetime::DateTexts>(iso);
    }
    QString text(TDateTime value) const {
        QString out;
        datetime::WallClock at;
        if (datetime::split(value, &at)) {
            texts_->appendShortDate(out, at);
            out += u'T';
            texts_->appendLongTime(out, at);
        }
        return out;
    }

private:
    std::unique_ptr<datetime::DateTexts> texts_;
};

void writeDate(JsonWriter& json, const char* key, const char* daysKey, TDateTime value,
               const IsoTexts& iso) {
    json.key(key);
    if (datetime::hasDate(value))
        json.value(iso.text(value));
    else
        json.null();
    json.key(daysKey);
    if (datetime::hasDate(value))
        json.value(value);
    else
        json.null();
}

double seconds(double days) {
    return days * 86400;
}

void writeAmounts(JsonWriter& json, double length, double exc, double inc, quint64 data) {
    json.key("length_seconds").value(seconds(length));
    json.key("cost_exc").value(exc).key("cost_inc").value(inc);
    json.key("data_bytes").value(data);
}

// --- list -----------------------------------------------------------------------------

int listCalls(const Options& o, const Session& s, QTextStream& out) {
    const std::vector<quint32> rows = chosenCalls(o, s);
    const CallLogTable& table = s.table;
    if (o.json) {
        const IsoTexts iso;
        JsonWriter json;
        json.beginObject().key("calls").beginArray();
        for (const quint32 r : rows) {
            const CallLogRow& row = table.rows()[r];
            json.beginObject().key("record").value(row.Record_Number);
            writeDate(json, "start", "start_days", row.Start, iso);
            writeDate(json, "finish", "finish_days", row.Finish, iso);
            json.key("length_seconds").value(seconds(row.Length));
            json.key("cost_inc").value(row.Cost_Inc).key("cost_exc").value(row.Cost_Exc);
            json.key("data_bytes").value(row.Data).key("connect_speed").value(row.Connect_Speed);
            json.key("mode").value(row.Mode).key("mode_text").value(callLogModeText(row.Mode));
            json.key("connectoid").value(table.shownConnectoidName(row));
            json.key("user").value(table.text(row.User_Name));
            json.endObject();
        }
        json.endArray().endObject();
        out << QString::fromUtf8(json.bytes());
        return VornLogExit::Success;
    }
    static const QList<LogColumn> columns = {LogColumn::Start,          LogColumn::FinishDate,
                                             LogColumn::Length,         LogColumn::CostInc,
                                             LogColumn::CostExc,        LogColumn::Data,
                                             LogColumn::ConnectSpeed,   LogColumn::Mode,
                                             LogColumn::ConnectoidName, LogColumn::UserName};
    const QStringList headers = {"Start", "Finish",        "Length", "Cost (inc.)", "Cost (exc.)",
                                 "Data",  "Connect Speed", "Mode",   "Connectoid",  "User"};
    const auto cells = [&](qsizetype i) {
        QStringList texts;
        for (const LogColumn c : columns)
            texts << s.texts->cell(table, table.rows()[rows[static_cast<size_t>(i)]], c);
        return texts;
    };
    if (o.csv) {
        out << QString::fromUtf8(logexport::csvLine(headers));
        for (size_t i = 0; i < rows.size(); ++i)
            out << QString::fromUtf8(logexport::csvLine(cells(static_cast<qsizetype>(i))));
        return VornLogExit::Success;
    }
    const TextTable layout{headers, {false, false, true, true, true, true, true}};
    layout.print(out, static_cast<qsizetype>(rows.size()), cells);
    return VornLogExit::Success;
}

// --- stats ----------------------------------------------------------------------------

void writeStatsJson(const Options& o, const Session& s, const CallLogFigures& f, QTextStream& out) {
    static const char* const periods[] = {"week", "month", "quarter", "year"};
    const IsoTexts iso;
    JsonWriter json;
    json.beginObject().key("connectoid");
    if (o.connectoid)
        json.value(*o.connectoid);
    else
        json.null();
    json.key("calls").value(f.calls);
    json.key("total").beginObject();
    writeAmounts(json, f.totalLength, f.totalCostExc, f.totalCostInc, f.totalData);
    json.endObject();
    json.key("discount").value(f.discount());
    writeDate(json, "earliest_start", "earliest_start_days", f.earliestStart, iso);
    writeDate(json, "last_finish", "last_finish_days", f.lastFinish, iso);
    json.key("days");
    if (f.empty())
        json.null();
    else
        json.value(f.days());
    json.key("projections").beginArray();
    for (size_t i = 0; !f.empty() && i < CallLogFigures::ProjectionDays.size(); ++i) {
        const int k = CallLogFigures::ProjectionDays[i];
        const CallLogFigures::Projection p = f.projection(k);
        json.beginObject().key("period").value(periods[i]).key("days").value(k);
        writeAmounts(json, p.length, p.costExc, p.costInc, p.data);
        json.endObject();
    }
    json.endArray().key("months").beginArray();
    for (const MonthFigures& m : f.months) {
        json.beginObject().key("month").value(QStringLiteral("%1-%2")
                                                  .arg(m.year, 4, 10, QChar(u'0'))
                                                  .arg(m.month, 2, 10, QChar(u'0')));
        json.key("name").value(s.texts->dates().monthYear(m.year, m.month));
        writeAmounts(json, m.length, m.costExc, m.costInc, m.data);
        json.endObject();
    }
    json.endArray();
    if (!o.connectoid && !f.empty()) {
        json.key("other").beginObject();
        json.key("full_days").value(f.fullDays());
        json.key("average_length_seconds").value(seconds(f.averageLength()));
        json.key("average_cost_exc").value(f.averageCostExc());
        json.key("average_cost_inc").value(f.averageCostInc());
        json.key("average_data_bytes").value(f.averageData());
        json.key("projected_calls").beginObject();
        for (size_t i = 0; i < CallLogFigures::ProjectionDays.size(); ++i)
            json.key(periods[i]).value(f.projectedCalls(CallLogFigures::ProjectionDays[i]));
        json.endObject();
        static const char* const modes[] = {"auto",   "insert",    "edit",
                                            "adjust", "recovered", "disconnected"};
        json.key("modes").beginObject();
        for (int m = 0; m < CallLogFigures::ModeCount; ++m)
            json.key(modes[m]).value(f.modeCounts[static_cast<size_t>(m)]);
        json.endObject();
        json.key("removed_records").value(f.removedCount);
        json.key("total_records").value(f.totalRecords());
        json.key("wasted_space_percent").value(f.wastedSpacePercent());
        json.endObject();
    }
    json.endObject();
    out << QString::fromUtf8(json.bytes());
}

int showStatistics(const Options& o, const Session& s, QTextStream& out) {
    const ConnectoidFilter filter = filterOf(o, s);
    const CallLogFigures figures = selectCalls(s.table, filter, s.now).figures;
    if (o.json) {
        writeStatsJson(o, s, figures, out);
        return VornLogExit::Success;
    }
    out << "Call Statistics - " << filter.caption() << "\n\n";
    if (figures.empty()) {
        out << "No calls.\n";
        return VornLogExit::Success;
    }
    QList<QStringList> usage = s.texts->statisticsRows(figures);
    usage.removeIf([](const QStringList& row) { return row.front().startsWith(u'*'); });
    TextTable{{"Usage", "Time (dd:hh:mm:ss)", "Cost", "Data"}, {false, true, true, true}}.print(
        out, usage);
    out << '\n';
    TextTable{{"Heading", "Time (dd:hh:mm:ss)", "Cost (exc.)", "Cost (inc.)", "Data"},
              {false, true, true, true, true}}
        .print(out, s.texts->headingRows(figures));
    if (filter.everyCall) {
        out << "\nOther Statistics\n\n";
        TextTable{{"Entry", "Value"}, {}}.print(out, s.texts->otherStatisticsRows(figures));
    }
    return VornLogExit::Success;
}

// --- export ---------------------------------------------------------------------------

int exportFile(const Options& o, const Session& s, QTextStream& out, QTextStream& err) {
    const QString kind = o.positional[0];
    const QString target = o.positional[1];
    const ConnectoidFilter filter = filterOf(o, s);
    ExportResult result;
    if (kind == QLatin1String("detail")) {
        result = exportDetail(s.logsFolder, target, filter, *s.grouping, *s.texts);
    } else if (kind == QLatin1String("projections") || kind == QLatin1String("usage")) {
        const CallLogFigures figures = selectCalls(s.table, filter, s.now).figures;
        const QByteArray bytes = kind == QLatin1String("usage")
                                     ? logexport::usageBytes(s.texts->statisticsRows(figures))
                                     : logexport::projectionsBytes(s.texts->headingRows(figures));
        result = writeExportFile(target, bytes, s.logsFolder);
    } else {
        throw UsageError{
            QStringLiteral("no export '%1' (choose detail, projections or usage)").arg(kind),
            o.command};
    }
    if (!result.ok()) {
        err << "vorn-log: " << result.message << '\n';
        return VornLogExit::Failure;
    }
    out << "Wrote " << shown(target) << '\n';
    return VornLogExit::Success;
}

// --- reprice --------------------------------------------------------------------------

QList<Tariff> chosenTariffs(const Options& o, const Session& s) {
    QList<Tariff> tariffs;
    const auto add = [&tariffs](const Tariff& t) {
        if (std::none_of(tariffs.begin(), tariffs.end(),
                         [&t](const Tariff& have) { return have.key == t.key; }))
            tariffs.append(t);
    };
    for (const QString& key : o.presets) {
        const std::optional<Tariff> tariff = findTariff(key, s.settings, s.lists);
        if (!tariff)
            throw UsageError{QStringLiteral("no tariff \"%1\" (choose one of: %2)")
                                 .arg(key, tariffKeys().join(QStringLiteral(", "))),
                             o.command};
        add(*tariff);
    }
    if (o.allPresets)
        for (const Tariff& t : presetTariffs())
            add(t);
    if (tariffs.isEmpty())
        add(*findTariff(QStringLiteral("current"), s.settings, s.lists));
    return tariffs;
}

void writeRepriceJson(const Options& o, const Session& s, const QList<Tariff>& tariffs,
                      const RepricedCalls& priced, QTextStream& out) {
    const IsoTexts iso;
    JsonWriter json;
    json.beginObject().key("tariffs").beginArray();
    for (const Tariff& t : tariffs)
        json.beginObject().key("key").value(t.key).key("name").value(t.name).endObject();
    json.endArray();
    if (!o.totalsOnly) {
        json.key("calls").beginArray();
        for (size_t i = 0; i < priced.rows.size(); ++i) {
            const CallLogRow& row = s.table.rows()[priced.rows[i]];
            json.beginObject().key("record").value(row.Record_Number);
            writeDate(json, "start", "start_days", row.Start, iso);
            json.key("connectoid").value(s.table.shownConnectoidName(row));
            json.key("length_seconds").value(seconds(row.Length)).key("mode").value(row.Mode);
            json.key("recorded").beginObject().key("cost_inc").value(row.Cost_Inc);
            json.key("cost_exc").value(row.Cost_Exc).endObject();
            json.key("costs").beginArray();
            for (qsizetype t = 0; t < tariffs.size(); ++t) {
                const RepricedCalls::Amounts& a = priced.cost(i, t);
                json.beginObject().key("cost_inc").value(a.inc).key("cost_exc").value(a.exc);
                json.endObject();
            }
            json.endArray().endObject();
        }
        json.endArray();
    }
    json.key("recorded").beginObject().key("cost_inc").value(priced.recorded.inc);
    json.key("cost_exc").value(priced.recorded.exc).endObject();
    json.key("totals").beginArray();
    for (qsizetype t = 0; t < tariffs.size(); ++t) {
        const RepricedCalls::Amounts& total = priced.totals[static_cast<size_t>(t)];
        json.beginObject().key("key").value(tariffs[t].key);
        json.key("cost_inc").value(total.inc).key("cost_exc").value(total.exc);
        json.key("difference_inc").value(total.inc - priced.recorded.inc);
        json.key("difference_exc").value(total.exc - priced.recorded.exc);
        json.endObject();
    }
    json.endArray().key("cheapest");
    if (const qsizetype best = priced.cheapest(); best >= 0 && !priced.rows.empty())
        json.value(tariffs[best].key);
    else
        json.null();
    json.endObject();
    out << QString::fromUtf8(json.bytes());
}

int repriceCalls(const Options& o, const Session& s, QTextStream& out) {
    const QList<Tariff> tariffs = chosenTariffs(o, s);
    const std::vector<quint32> rows = chosenCalls(o, s);
    const RepricedCalls priced = reprice(s.table, rows, tariffs, s.texts->regional());
    if (o.json) {
        writeRepriceJson(o, s, tariffs, priced, out);
        return VornLogExit::Success;
    }
    const CallLogTexts& texts = *s.texts;
    if (!o.totalsOnly) {
        QStringList headers = {"Start", "Connectoid", "Length", "Recorded"};
        QList<bool> right = {false, false, true, true};
        for (const Tariff& t : tariffs) {
            headers << t.key;
            right << true;
        }
        TextTable{headers, right}.print(out, static_cast<qsizetype>(rows.size()), [&](qsizetype i) {
            const size_t r = static_cast<size_t>(i);
            const CallLogRow& row = s.table.rows()[rows[r]];
            QStringList cells = {texts.cell(s.table, row, LogColumn::Start),
                                 s.table.shownConnectoidName(row), texts.duration(row.Length),
                                 texts.detailMoney(row.Cost_Inc)};
            for (qsizetype t = 0; t < tariffs.size(); ++t)
                cells << texts.detailMoney(priced.cost(r, t).inc);
            return cells;
        });
        out << '\n';
    }
    out << rows.size() << (rows.size() == 1 ? " call" : " calls") << ", costs with discount:\n";
    QList<QStringList> totals = {{QStringLiteral("recorded"), QStringLiteral("What was recorded"),
                                  texts.statisticsMoney(priced.recorded.inc), QString()}};
    for (qsizetype t = 0; t < tariffs.size(); ++t) {
        const double total = priced.totals[static_cast<size_t>(t)].inc;
        const double difference = total - priced.recorded.inc;
        totals.append({tariffs[t].key, tariffs[t].name, texts.statisticsMoney(total),
                       (difference > 0 ? QStringLiteral("+") : QString()) +
                           texts.statisticsMoney(difference)});
    }
    TextTable{{"Tariff", "Name", "Total", "Difference"}, {false, false, true, true}}.print(out,
                                                                                           totals);
    if (const qsizetype best = priced.cheapest(); best >= 0 && !rows.empty())
        out << "\nCheapest: " << tariffs[best].key << " (" << tariffs[best].name << ")\n";
    return VornLogExit::Success;
}

int run(const Options& o, const VornLogEnvironment& env, QTextStream& out, QTextStream& err) {
    const std::unique_ptr<Session> session = openSession(o, env);
    if (o.command == QLatin1String("list"))
        return listCalls(o, *session, out);
    if (o.command == QLatin1String("stats"))
        return showStatistics(o, *session, out);
    if (o.command == QLatin1String("export"))
        return exportFile(o, *session, out, err);
    return repriceCalls(o, *session, out);
}

} // namespace

int runVornLog(const QStringList& arguments, const VornLogEnvironment& environment,
               QTextStream& out, QTextStream& err) {
    try {
        const Options o = parseArguments(arguments);
        if (o.help || o.command == QLatin1String("help")) {
            const QString topic =
                o.command == QLatin1String("help") ? o.positional.value(0) : o.command;
            const QString text =
                topic.isEmpty() ? vornloghelp::program() : vornloghelp::command(topic);
            if (text.isEmpty())
                throw UsageError{QStringLiteral("unknown command '%1'").arg(topic), {}};
            out << text;
            return VornLogExit::Success;
        }
        return run(o, environment, out, err);
    } catch (const UsageError& e) {
        const QString help = e.command.isEmpty() || e.command == QLatin1String("help")
                                 ? QStringLiteral("vorn-log --help")
                                 : QStringLiteral("vorn-log %1 --help").arg(e.command);
        err << "vorn-log: " << e.message << "\nTry '" << help << "'.\n";
        return VornLogExit::Usage;
    } catch (const FileError& e) {
        err << "vorn-log: " << e.message << '\n';
        return VornLogExit::Failure;
    } catch (const InOutError& e) {
        err << "vorn-log: " << e.message() << '\n';
        return VornLogExit::Failure;
    }
}
