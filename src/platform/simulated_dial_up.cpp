#include "platform/simulated_dial_up.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <limits>

namespace {

// Far beyond anything vorn-sim writes; a bigger file is not ours.
constexpr qint64 MaxStateFileSize = 4 * 1024 * 1024;
constexpr qint64 MaxCounter = std::numeric_limits<qint64>::max();

quint64 counterFrom(const QJsonValue& value) {
    const qint64 n = value.toInteger(-1);
    return n < 0 ? 0 : static_cast<quint64>(n);
}

} // namespace

QString defaultSimulatedStatePath() {
    const QString fromEnvironment = qEnvironmentVariable("VORN_SIM_STATE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(runtime).filePath(QStringLiteral("vorn-sim.json"));
}

QByteArray SimulatedDialUpState::toJson() const {
    QJsonArray callArray;
    for (const SimulatedCall& call : calls) {
        callArray.append(QJsonObject{{QStringLiteral("id"), call.id},
                                     {QStringLiteral("name"), call.name},
                                     {QStringLiteral("state"), call.state},
                                     {QStringLiteral("speed"), static_cast<qint64>(call.speed)}});
    }
    const QJsonObject root{
        {QStringLiteral("entries"), QJsonArray::fromStringList(entries)},
        {QStringLiteral("calls"), callArray},
        {QStringLiteral("nextId"), nextId},
        {QStringLiteral("rx"), static_cast<qint64>(qMin<quint64>(received, MaxCounter))},
        {QStringLiteral("tx"), static_cast<qint64>(qMin<quint64>(sent, MaxCounter))},
        {QStringLiteral("vornHangUps"), QJsonArray::fromStringList(vornHangUps)},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool SimulatedDialUpState::fromJson(const QByteArray& json, SimulatedDialUpState* state,
                                    QString* error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = parseError.errorString();
        return false;
    }
    if (!document.isObject()) {
        if (error)
            *error = QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject root = document.object();
    SimulatedDialUpState result;
    for (const QJsonValue& entry : root.value(QStringLiteral("entries")).toArray()) {
        if (entry.isString())
            result.entries.append(entry.toString());
    }
    qint64 highestId = 0;
    for (const QJsonValue& item : root.value(QStringLiteral("calls")).toArray()) {
        const QJsonObject object = item.toObject();
        const QJsonValue name = object.value(QStringLiteral("name"));
        const qint64 id = object.value(QStringLiteral("id")).toInteger(0);
        if (!name.isString() || id <= 0)
            continue;
        SimulatedCall call;
        call.id = id;
        call.name = name.toString();
        const qint64 callState =
            object.value(QStringLiteral("state")).toInteger(DialUpState::Connected);
        call.state =
            static_cast<int>(qBound<qint64>(0, callState, qint64(std::numeric_limits<int>::max())));
        const qint64 speed = object.value(QStringLiteral("speed")).toInteger(0);
        call.speed = static_cast<quint32>(
            qBound<qint64>(0, speed, qint64(std::numeric_limits<quint32>::max())));
        highestId = qMax(highestId, id);
        result.calls.append(call);
    }
    // Never hand out an id that a listed call already has, whatever the file says.
    result.nextId = qMax(root.value(QStringLiteral("nextId")).toInteger(1), highestId + 1);
    result.received = counterFrom(root.value(QStringLiteral("rx")));
    result.sent = counterFrom(root.value(QStringLiteral("tx")));
    for (const QJsonValue& name : root.value(QStringLiteral("vornHangUps")).toArray()) {
        if (name.isString())
            result.vornHangUps.append(name.toString());
    }
    *state = result;
    return true;
}

SimulatedDialUpState::Load SimulatedDialUpState::load(const QString& path,
                                                      SimulatedDialUpState* state, QString* error) {
    *state = {};
    QFile file(path);
    if (!file.exists())
        return Load::Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return Load::Corrupt;
    }
    if (file.size() > MaxStateFileSize) {
        if (error)
            *error = QStringLiteral("file too large");
        return Load::Corrupt;
    }
    const QByteArray json = file.readAll();
    return fromJson(json, state, error) ? Load::Loaded : Load::Corrupt;
}

bool SimulatedDialUpState::save(const QString& path, QString* error) const {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray json = toJson();
    if (file.write(json) != json.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

SimulatedCall* SimulatedDialUpState::findCall(const QString& name) {
    for (SimulatedCall& call : calls) {
        if (call.name == name)
            return &call;
    }
    return nullptr;
}

void SimulatedDialUpState::rememberVornHangUp(const QString& name) {
    vornHangUps.append(name);
    while (vornHangUps.size() > MaxRememberedHangUps)
        vornHangUps.removeFirst();
}

struct SimulatedStateLock::Private {
    explicit Private(const QString& path) : file(path) {}
    QLockFile file;
};

SimulatedStateLock::SimulatedStateLock(const QString& statePath, int timeoutMs)
    : d_(std::make_unique<Private>(statePath + QStringLiteral(".lock"))) {
    QDir().mkpath(QFileInfo(statePath).absolutePath());
    locked_ = d_->file.tryLock(timeoutMs);
}

SimulatedStateLock::~SimulatedStateLock() = default;

SimulatedDialUp::SimulatedDialUp(const QString& statePath) : statePath_(statePath) {}

std::optional<QStringList> SimulatedDialUp::entries() {
    SimulatedDialUpState state;
    if (SimulatedDialUpState::load(statePath_, &state) == SimulatedDialUpState::Load::Corrupt)
        return std::nullopt;
    return state.entries;
}

std::optional<QList<DialUpConnection>> SimulatedDialUp::connections() {
    SimulatedDialUpState state;
    if (SimulatedDialUpState::load(statePath_, &state) == SimulatedDialUpState::Load::Corrupt)
        return std::nullopt;
    QList<DialUpConnection> result;
    for (const SimulatedCall& call : state.calls) {
        DialUpConnection connection;
        connection.handle = QString::number(call.id);
        connection.entryName = call.name;
        connection.state = call.state;
        connection.connectSpeed = call.speed;
        result.append(connection);
    }
    return result;
}

bool SimulatedDialUp::hangUp(const DialUpConnection& connection) {
    bool ok = false;
    const qint64 id = connection.handle.toLongLong(&ok);
    if (!ok)
        return false;
    // The GUI thread waits for vorn-sim at most briefly; a missed hang-up is retried by the user.
    SimulatedStateLock lock(statePath_, 500);
    if (!lock.locked())
        return false;
    SimulatedDialUpState state;
    if (SimulatedDialUpState::load(statePath_, &state) != SimulatedDialUpState::Load::Loaded)
        return false;
    for (qsizetype i = 0; i < state.calls.size(); ++i) {
        if (state.calls[i].id == id) {
            state.rememberVornHangUp(state.calls[i].name);
            state.calls.removeAt(i);
            return state.save(statePath_);
        }
    }
    return false;
}

std::unique_ptr<ByteCounters> SimulatedDialUp::createByteCounters() const {
    return std::make_unique<SimulatedByteCounters>(statePath_);
}

quint64 SimulatedByteCounters::byteCount(ByteDirection direction) {
    SimulatedDialUpState state;
    SimulatedDialUpState::load(statePath_, &state);
    return direction == ByteDirection::Received ? state.received : state.sent;
}
