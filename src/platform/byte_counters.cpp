#include "platform/byte_counters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace {

QByteArray readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(64).trimmed();
}

} // namespace

quint64 ByteCounters::GetByteCount(QStringView kind) {
    if (kind == u"r")
        return byteCount(ByteDirection::Received);
    if (kind == u"t")
        return byteCount(ByteDirection::Transmitted);
    return 0;
}

bool isSafeInterfaceName(const QString& name) {
    return !name.isEmpty() && name.size() <= 64 && name != QLatin1String(".") &&
           name != QLatin1String("..") && !name.contains(QLatin1Char('/')) &&
           !name.contains(QChar(0));
}

SysfsByteCounters::SysfsByteCounters(const QString& root, Unnamed unnamed)
    : netDir_(QDir::cleanPath(root + QStringLiteral("/sys/class/net"))), unnamed_(unnamed) {}

bool SysfsByteCounters::IsDataRateAvailable() {
    return QFileInfo(netDir_).isDir();
}

void SysfsByteCounters::setInterfaceName(const QString& interfaceName) {
    interfaceName_ = interfaceName;
}

QString SysfsByteCounters::currentInterface() const {
    if (!interfaceName_.isEmpty())
        return isSafeInterfaceName(interfaceName_) ? interfaceName_ : QString();
    if (unnamed_ == NamedOnly)
        return {};

    // Like the interface table, the PPP link listed last wins; the kernel lists by index.
    struct Candidate {
        qint64 index;
        QString name;
    };
    std::vector<Candidate> candidates;
    const QStringList names = QDir(netDir_).entryList(
        {QStringLiteral("ppp*")}, QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool ok = false;
        const qint64 index =
            readSmallFile(netDir_ + QLatin1Char('/') + name + QStringLiteral("/ifindex"))
                .toLongLong(&ok);
        candidates.push_back({ok ? index : -1, name});
    }
    if (candidates.empty())
        return {};
    const auto last = std::max_element(candidates.begin(), candidates.end(),
                                       [](const Candidate& a, const Candidate& b) {
                                           if (a.index != b.index)
                                               return a.index < b.index;
                                           if (a.name.size() != b.name.size())
                                               return a.name.size() < b.name.size();
                                           return a.name < b.name;
                                       });
    return last->name;
}

quint64 SysfsByteCounters::byteCount(ByteDirection direction) {
    const QString iface = currentInterface();
    if (iface.isEmpty())
        return 0;
    const QString file = direction == ByteDirection::Received ? QStringLiteral("rx_bytes")
                                                              : QStringLiteral("tx_bytes");
    bool ok = false;
    const quint64 value =
        readSmallFile(netDir_ + QLatin1Char('/') + iface + QStringLiteral("/statistics/") + file)
            .toULongLong(&ok);
    return ok ? value : 0;
}
