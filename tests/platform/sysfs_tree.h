#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

// Writes a file below a fake root, creating its folders.
inline bool writeTreeFile(const QString& root, const QString& relative, const QByteArray& content) {
    const QString path = root + QLatin1Char('/') + relative;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

// A network interface in a fake /sys/class/net.
inline bool writeInterface(const QString& root, const QString& name, int ifindex,
                           const QByteArray& rx, const QByteArray& tx,
                           const QByteArray& flags = "0x1091\n") {
    const QString dir = QStringLiteral("sys/class/net/") + name;
    return writeTreeFile(root, dir + QStringLiteral("/ifindex"), QByteArray::number(ifindex)) &&
           writeTreeFile(root, dir + QStringLiteral("/flags"), flags) &&
           writeTreeFile(root, dir + QStringLiteral("/statistics/rx_bytes"), rx + '\n') &&
           writeTreeFile(root, dir + QStringLiteral("/statistics/tx_bytes"), tx + '\n');
}
