#include "user_name.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

QString UserNameTextFrom(const QString& systemName) {
    const QString name = systemName.trimmed().left(25);
    return name.isEmpty() ? QStringLiteral("Default") : name;
}

QString GetUserNameText() {
    // The password database rather than getlogin(): a desktop session started without a
    // controlling terminal has no login record.
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* result = nullptr;
    QString name;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_name)
        name = QString::fromLocal8Bit(result->pw_name);
    if (name.trimmed().isEmpty())
        name = qEnvironmentVariable("USER");
    return UserNameTextFrom(name);
}
