#pragma once

#include "sysfs_tree.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
