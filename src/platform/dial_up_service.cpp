#include "platform/dial_up_service.h"

#include "core/connectoid_names.h"

bool EnumConnectoids(DialUpService& service, ConnectoidNameTable& table) {
    const std::optional<QStringList> names = service.entries();
    table.fill(names ? *names : QStringList());
    return names.has_value();
}
