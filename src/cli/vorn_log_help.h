#pragma once

#include <QString>

// The help of vorn-log and of each command; the JSON keys listed here are the stable
// interface of the JSON output.
namespace vornloghelp {

QString program();
// The help of a command, or an empty text for an unknown one.
QString command(const QString& name);

} // namespace vornloghelp
