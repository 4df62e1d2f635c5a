#include "platform/pppd_dial_up.h"

#include "platform/byte_counters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <csignal>
#include <limits>
#include <sys/types.h>

namespace {

QByteArray readHead(const QString& path, qint64 maxSize) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(maxSize);
}

bool sendSignal(qint64 pid, int signal) {
    if (pid <= 1 || pid > std::numeric_limits<pid_t>::max())
        return false;
    return ::kill(static_cast<pid_t>(pid), signal) == 0;
}

qint64 parsePid(const QByteArray& line) {
    bool ok = false;
    const qint64 pid = line.trimmed().toLongLong(&ok);
    // pid 1 and below would signal init or a process group, never a pppd.
    return ok && pid > 1 && pid <= std::numeric_limits<pid_t>::max() ? pid : 0;
}

int unitNumber(const QString& interfaceName) {
    bool ok = false;
    const int unit = interfaceName.mid(3).toInt(&ok);
    return ok ? unit : std::numeric_limits<int>::max();
}

struct Found {
    qint64 pid = 0;
    QString interfaceName;
    QString linkName;
};

} // namespace

PppdDialUp::PppdDialUp(const QString& root, SignalSender sender)
    : root_(root), sender_(sender ? std::move(sender) : SignalSender(sendSignal)) {}

QString PppdDialUp::path(const QString& relative) const {
    return QDir::cleanPath(root_ + QLatin1Char('/') + relative);
}

std::optional<QStringList> PppdDialUp::entries() {
    const QString peers = path(QStringLiteral("etc/ppp/peers"));
    const QFileInfo info(peers);
    if (!info.exists())
        return QStringList();
    QDir dir(peers);
    if (!info.isDir() || !dir.isReadable())
        return std::nullopt;
    QStringList names;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Readable, QDir::Name)) {
        // Editor back-ups are not peers anybody dials.
        if (name.endsWith(QLatin1Char('~')))
            continue;
        names.append(name);
    }
    return names;
}

QStringList PppdDialUp::commandLine(qint64 pid) const {
    const QByteArray raw = readHead(path(QStringLiteral("proc/%1/cmdline").arg(pid)), 64 * 1024);
    QStringList arguments;
    for (const QByteArray& part : raw.split('\0'))
        arguments.append(QString::fromLocal8Bit(part));
    if (!arguments.isEmpty() && arguments.last().isEmpty())
        arguments.removeLast();
    return arguments;
}

// A pid file outlives a crashed pppd, and its number may since belong to anything else:
// only a process that is pppd counts, and only such a process is ever signalled.
bool PppdDialUp::isPppd(qint64 pid) const {
    const QStringList arguments = commandLine(pid);
    return !arguments.isEmpty() && QFileInfo(arguments.first()).fileName() == QLatin1String("pppd");
}

bool PppdDialUp::interfaceUp(const QString& interfaceName) const {
    if (!isSafeInterfaceName(interfaceName))
        return false;
    const QString dir = path(QStringLiteral("sys/class/net/") + interfaceName);
    if (!QFileInfo(dir).isDir())
        return false;
    const QByteArray flags = readHead(dir + QStringLiteral("/flags"), 32).trimmed();
    if (!flags.isEmpty()) {
        bool ok = false;
        const qulonglong value = flags.toULongLong(&ok, 16);
        return ok && (value & 0x1) != 0; // IFF_UP
    }
    // ppp links report "unknown" as their operational state while they carry traffic.
    return readHead(dir + QStringLiteral("/operstate"), 32).trimmed() != "down";
}

std::optional<QList<DialUpConnection>> PppdDialUp::connections() {
    static const QRegularExpression unitFile(QStringLiteral("^(ppp[0-9]+)\\.pid$"));
    static const QRegularExpression linkFile(QStringLiteral("^ppp-(.+)\\.pid$"));

    // pppd writes pppN.pid once the unit exists and, with a link name, ppp-NAME.pid holding
    // the pid and the interface; /var/run is usually /run again, so merge by pid.
    QHash<qint64, Found> byPid;
    QList<qint64> order;
    for (const QString& runDir : {QStringLiteral("run"), QStringLiteral("var/run")}) {
        const QDir dir(path(runDir));
        for (const QString& fileName :
             dir.entryList({QStringLiteral("ppp*.pid")}, QDir::Files, QDir::Name)) {
            const QList<QByteArray> lines = readHead(dir.filePath(fileName), 256).split('\n');
            const qint64 pid = parsePid(lines.value(0));
            if (pid == 0)
                continue;
            if (!byPid.contains(pid))
                order.append(pid);
            Found& found = byPid[pid];
            found.pid = pid;
            const QRegularExpressionMatch unit = unitFile.match(fileName);
            if (unit.hasMatch()) {
                found.interfaceName = unit.captured(1);
                continue;
            }
            const QRegularExpressionMatch link = linkFile.match(fileName);
            if (link.hasMatch()) {
                found.linkName = link.captured(1);
                const QString iface = QString::fromLocal8Bit(lines.value(1).trimmed());
                if (found.interfaceName.isEmpty() && !iface.isEmpty())
                    found.interfaceName = iface;
            }
        }
    }

    QList<DialUpConnection> result;
    for (qint64 pid : order) {
        const Found& found = byPid[pid];
        if (found.interfaceName.isEmpty() || !interfaceUp(found.interfaceName) || !isPppd(pid))
            continue;
        DialUpConnection connection;
        connection.handle = QString::number(pid);
        connection.interfaceName = found.interfaceName;
        connection.state = DialUpState::Connected;
        connection.entryName = found.linkName;
        if (connection.entryName.isEmpty()) {
            const QStringList arguments = commandLine(pid);
            for (const QLatin1String option : {QLatin1String("linkname"), QLatin1String("call")}) {
                const qsizetype at = arguments.indexOf(option, 1);
                if (at > 0 && at + 1 < arguments.size()) {
                    connection.entryName = arguments[at + 1];
                    break;
                }
            }
        }
        result.append(connection);
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const DialUpConnection& a, const DialUpConnection& b) {
                         return unitNumber(a.interfaceName) < unitNumber(b.interfaceName);
                     });
    return result;
}

bool PppdDialUp::hangUp(const DialUpConnection& connection) {
    bool ok = false;
    const qint64 pid = connection.handle.toLongLong(&ok);
    if (!ok || parsePid(connection.handle.toLatin1()) == 0 || !isPppd(pid))
        return false;
    return sender_(pid, SIGTERM);
}

std::unique_ptr<ByteCounters> PppdDialUp::createByteCounters() const {
    return std::make_unique<SysfsByteCounters>(root_);
}
