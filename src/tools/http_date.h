#pragma once

#include "core/datetime.h"

#include <QStringView>

#include <optional>

// The moment an HTTP date names (a Last-Modified header), as a day count of its GMT wall
// clock: the three forms HTTP allows, "Sun, 06 Nov 1994 08:49:37 GMT" (RFC 1123),
// "Sunday, 06-Nov-94 08:49:37 GMT" (RFC 850) and "Sun Nov  6 08:49:37 1994" (asctime),
// names compared without case and whatever the user's locale. A numeric zone ("+0100")
// is taken back to GMT. Nothing for any other text or a date that does not exist.
std::optional<TDateTime> parseHttpDate(QStringView text);
