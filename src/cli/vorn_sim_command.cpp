#include "cli/vorn_sim_command.h"

#include "platform/simulated_dial_up.h"

#include <QHash>
#include <QTextStream>

#include <functional>
#include <limits>
#include <optional>

namespace {

const char* const UsageText =
    "Usage: vorn-sim [--state-file PATH] COMMAND [ARGUMENTS]\n"
    "Drives the simulated dial-up service that VORN uses with --dialup=simulated.\n"
    "\n"
    "Commands:\n"
    "  entries                      list the phonebook entries\n"
    "  entries add NAME             add a phonebook entry\n"
    "  entries remove NAME          remove a phonebook entry\n"
    "  dial NAME [--speed BPS] [--state N]\n"
    "                               start a call (connected, state 8192, unless --state)\n"
    "  state NAME N                 set the state of a call: 0-2 opening, 3-8191\n"
    "                               authenticating, 8192 connected, 8193 and above over\n"
    "  traffic [--rx BYTES] [--tx BYTES]\n"
    "                               add to the received and sent byte counters\n"
    "  hangup [NAME]                end that call, or every call\n"
    "  status                       show entries, calls, counters and VORN's hang-ups\n"
    "  reset                        start again from an empty state\n"
    "\n"
    "The state file is --state-file, else $VORN_SIM_STATE, else\n"
    "$XDG_RUNTIME_DIR/vorn-sim.json.\n"
    "Exit status: 0 done, 1 failed (state file, unknown call or entry), 2 bad usage.\n";

constexpr qint64 MaxCounter = std::numeric_limits<qint64>::max();
constexpr int LockTimeoutMs = 5000;

struct UsageError {
    QString message;
};

struct Options {
    QString statePath;
    QStringList positional;
    QHash<QString, QString> values; // option name -> value
    bool help = false;
};

std::optional<quint64> parseUnsigned(const QString& text, quint64 maximum) {
    if (text.isEmpty() || text.size() > 20)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const quint64 value = text.toULongLong(&ok);
    if (!ok || value > maximum)
        return std::nullopt;
    return value;
}

bool isValidName(const QString& name) {
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

Options parseArguments(const QStringList& arguments) {
    static const QStringList valued{QStringLiteral("state-file"), QStringLiteral("speed"),
                                    QStringLiteral("state"), QStringLiteral("rx"),
                                    QStringLiteral("tx")};
    Options options;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument.size() == 1) {
            options.positional.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
            continue;
        }
        QString name = argument.startsWith(QLatin1String("--")) ? argument.mid(2) : QString();
        std::optional<QString> value;
        if (const qsizetype equals = name.indexOf(QLatin1Char('=')); equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        if (!valued.contains(name))
            throw UsageError{QStringLiteral("unknown option %1").arg(argument)};
        if (!value) {
            if (i + 1 >= arguments.size())
                throw UsageError{QStringLiteral("--%1 needs a value").arg(name)};
            value = arguments[++i];
        }
        if (options.values.contains(name))
            throw UsageError{QStringLiteral("--%1 given twice").arg(name)};
        options.values.insert(name, *value);
    }
    if (options.values.contains(QStringLiteral("state-file"))) {
        options.statePath = options.values.take(QStringLiteral("state-file"));
        if (options.statePath.isEmpty())
            throw UsageError{QStringLiteral("--state-file needs a path")};
    }
    return options;
}

QString describeState(int state) {
    if (state < 3)
        return QStringLiteral("opening");
    if (state < 8192)
        return QStringLiteral("authenticating");
    if (state == 8192)
        return QStringLiteral("connected");
    return QStringLiteral("disconnected");
}

class Runner {
public:
    Runner(const QString& statePath, QTextStream& out, QTextStream& err)
        : path_(statePath), out_(out), err_(err) {}

    int run(const QStringList& words, const QHash<QString, QString>& values);

private:
    using Edit = std::function<bool(SimulatedDialUpState&)>;
    // Reads, changes and writes the state under the lock; without readFirst the change
    // starts from an empty state, whatever the file holds.
    int edit(const Edit& change, bool readFirst = true);
    bool load(SimulatedDialUpState& state, bool editing, bool* missing = nullptr);
    int status();
    void fail(const QString& message) { err_ << "vorn-sim: " << message << '\n'; }

    QString path_;
    QTextStream& out_;
    QTextStream& err_;
};

// A corrupt file is reported; one about to be edited with how to start again.
bool Runner::load(SimulatedDialUpState& state, bool editing, bool* missing) {
    QString error;
    const auto loaded = SimulatedDialUpState::load(path_, &state, &error);
    if (loaded == SimulatedDialUpState::Load::Corrupt) {
        fail(QStringLiteral("%1 is not a readable state file (%2)").arg(path_, error) +
             (editing ? QStringLiteral("; \"vorn-sim reset\" starts again from an empty state")
                      : QString()));
        return false;
    }
    if (missing)
        *missing = loaded == SimulatedDialUpState::Load::Missing;
    return true;
}

int Runner::edit(const Edit& change, bool readFirst) {
    SimulatedStateLock lock(path_, LockTimeoutMs);
    if (!lock.locked()) {
        fail(QStringLiteral("%1 is locked by another program; try again").arg(path_));
        return VornSimExit::Failure;
    }
    SimulatedDialUpState state;
    if ((readFirst && !load(state, true)) || !change(state))
        return VornSimExit::Failure;
    QString error;
    if (!state.save(path_, &error)) {
        fail(QStringLiteral("cannot write %1 (%2)").arg(path_, error));
        return VornSimExit::Failure;
    }
    return VornSimExit::Success;
}

int Runner::status() {
    SimulatedDialUpState state;
    bool missing = false;
    if (!load(state, false, &missing))
        return VornSimExit::Failure;
    out_ << "State file: " << path_ << (missing ? " (not created yet)" : "") << '\n';
    out_ << "Entries: " << state.entries.size() << '\n';
    for (const QString& entry : state.entries)
        out_ << "  " << entry << '\n';
    out_ << "Calls: " << state.calls.size() << '\n';
    for (const SimulatedCall& call : state.calls) {
        out_ << "  " << call.name << "  state " << call.state << " (" << describeState(call.state)
             << ")  speed " << call.speed << " bps\n";
    }
    out_ << "Received: " << state.received << " bytes\n";
    out_ << "Sent: " << state.sent << " bytes\n";
    out_ << "Hung up by VORN: "
         << (state.vornHangUps.isEmpty() ? QStringLiteral("none")
                                         : state.vornHangUps.join(QStringLiteral(", ")))
         << '\n';
    return VornSimExit::Success;
}

int Runner::run(const QStringList& words, const QHash<QString, QString>& values) {
    const QString command = words.value(0);
    const qsizetype count = words.size();

    const auto allowOnly = [&](const QStringList& allowed) {
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (!allowed.contains(it.key()))
                throw UsageError{
                    QStringLiteral("--%1 does not go with \"%2\"").arg(it.key(), command)};
        }
    };
    const auto requireName = [&](const QString& name) {
        if (!isValidName(name))
            throw UsageError{QStringLiteral("a name must not be empty or hold control characters")};
    };

    if (command == QLatin1String("entries")) {
        allowOnly({});
        if (count == 1) {
            SimulatedDialUpState state;
            if (!load(state, false))
                return VornSimExit::Failure;
            for (const QString& entry : state.entries)
                out_ << entry << '\n';
            return VornSimExit::Success;
        }
        const QString action = words.value(1);
        if (count != 3 || (action != QLatin1String("add") && action != QLatin1String("remove")))
            throw UsageError{QStringLiteral("use \"entries\", \"entries add NAME\" or "
                                            "\"entries remove NAME\"")};
        const QString name = words[2];
        requireName(name);
        if (action == QLatin1String("add")) {
            return edit([&](SimulatedDialUpState& state) {
                if (state.entries.contains(name)) {
                    fail(QStringLiteral("\"%1\" is already in the phonebook").arg(name));
                    return false;
                }
                state.entries.append(name);
                return true;
            });
        }
        return edit([&](SimulatedDialUpState& state) {
            if (!state.entries.removeOne(name)) {
                fail(QStringLiteral("\"%1\" is not in the phonebook").arg(name));
                return false;
            }
            return true;
        });
    }

    if (command == QLatin1String("dial")) {
        allowOnly({QStringLiteral("speed"), QStringLiteral("state")});
        if (count != 2)
            throw UsageError{QStringLiteral("use \"dial NAME [--speed BPS] [--state N]\"")};
        const QString name = words[1];
        requireName(name);
        const auto option = [&](const QString& key, quint64 fallback, quint64 maximum,
                                const QString& wanted) {
            if (!values.contains(key))
                return fallback;
            const auto parsed = parseUnsigned(values[key], maximum);
            if (!parsed)
                throw UsageError{QStringLiteral("--%1 wants %2").arg(key, wanted)};
            return *parsed;
        };
        const auto speed = static_cast<quint32>(
            option(QStringLiteral("speed"), 0, std::numeric_limits<quint32>::max(),
                   QStringLiteral("bits per second, 0 to 4294967295")));
        const int callState = static_cast<int>(
            option(QStringLiteral("state"), DialUpState::Connected, std::numeric_limits<int>::max(),
                   QStringLiteral("a whole number from 0")));
        return edit([&](SimulatedDialUpState& state) {
            if (state.findCall(name)) {
                fail(QStringLiteral("\"%1\" is already dialled").arg(name));
                return false;
            }
            if (!state.entries.contains(name))
                err_ << "vorn-sim: note: \"" << name << "\" is not in the phonebook\n";
            state.calls.append({state.nextId++, name, callState, speed});
            return true;
        });
    }

    if (command == QLatin1String("state")) {
        allowOnly({});
        if (count != 3)
            throw UsageError{QStringLiteral("use \"state NAME N\"")};
        const QString name = words[1];
        const auto parsed = parseUnsigned(words[2], std::numeric_limits<int>::max());
        if (!parsed)
            throw UsageError{QStringLiteral("the state is a whole number from 0")};
        return edit([&](SimulatedDialUpState& state) {
            SimulatedCall* call = state.findCall(name);
            if (!call) {
                fail(QStringLiteral("no call \"%1\"").arg(name));
                return false;
            }
            call->state = static_cast<int>(*parsed);
            return true;
        });
    }

    if (command == QLatin1String("traffic")) {
        allowOnly({QStringLiteral("rx"), QStringLiteral("tx")});
        if (count != 1 || values.isEmpty())
            throw UsageError{QStringLiteral("use \"traffic [--rx BYTES] [--tx BYTES]\"")};
        quint64 rx = 0;
        quint64 tx = 0;
        for (const auto& [name, target] :
             {std::pair{QStringLiteral("rx"), &rx}, std::pair{QStringLiteral("tx"), &tx}}) {
            if (!values.contains(name))
                continue;
            const auto parsed = parseUnsigned(values[name], MaxCounter);
            if (!parsed)
                throw UsageError{QStringLiteral("--%1 wants a byte count from 0").arg(name)};
            *target = *parsed;
        }
        return edit([&](SimulatedDialUpState& state) {
            if (rx > MaxCounter - state.received || tx > MaxCounter - state.sent) {
                fail(QStringLiteral("the byte counters cannot grow past %1").arg(MaxCounter));
                return false;
            }
            state.received += rx;
            state.sent += tx;
            return true;
        });
    }

    if (command == QLatin1String("hangup")) {
        allowOnly({});
        if (count > 2)
            throw UsageError{QStringLiteral("use \"hangup [NAME]\"")};
        if (count == 1) {
            return edit([](SimulatedDialUpState& state) {
                state.calls.clear();
                return true;
            });
        }
        const QString name = words[1];
        return edit([&](SimulatedDialUpState& state) {
            SimulatedCall* call = state.findCall(name);
            if (!call) {
                fail(QStringLiteral("no call \"%1\"").arg(name));
                return false;
            }
            state.calls.removeAt(call - state.calls.data());
            return true;
        });
    }

    if (command == QLatin1String("status")) {
        allowOnly({});
        if (count != 1)
            throw UsageError{QStringLiteral("\"status\" takes no arguments")};
        return status();
    }

    if (command == QLatin1String("reset")) {
        allowOnly({});
        if (count != 1)
            throw UsageError{QStringLiteral("\"reset\" takes no arguments")};
        return edit([](SimulatedDialUpState&) { return true; }, false);
    }

    if (command.isEmpty())
        throw UsageError{QStringLiteral("no command given")};
    throw UsageError{QStringLiteral("unknown command \"%1\"").arg(command)};
}

} // namespace

int runVornSim(const QStringList& arguments, const QString& defaultStatePath, QTextStream& out,
               QTextStream& err) {
    try {
        Options options = parseArguments(arguments);
        if (options.help || options.positional.value(0) == QLatin1String("help")) {
            out << UsageText;
            return VornSimExit::Success;
        }
        const QString path = options.statePath.isEmpty() ? defaultStatePath : options.statePath;
        Runner runner(path, out, err);
        return runner.run(options.positional, options.values);
    } catch (const UsageError& error) {
        err << "vorn-sim: " << error.message << '\n' << "Try \"vorn-sim --help\".\n";
        return VornSimExit::Usage;
    }
}
