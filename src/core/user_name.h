#pragma once

#include <QString>

// The login name of the user running the program: trimmed, at most 25 characters,
// "Default" when the system gives none.
QString GetUserNameText();

// The same rules applied to a name the system gave (or an empty text when it gave none).
QString UserNameTextFrom(const QString& systemName);
