#pragma once

#include <QIcon>

// The main window's six tray pictures, drawn rather than shipped: the normal icon, the
// flash icons of the minimum charge period, the maximum charge period and of a running
// call, and the two mail result icons.
struct AppIcons {
    QIcon normal;
    QIcon minimum;
    QIcon maximum;
    QIcon connected;
    QIcon mail;
    QIcon noMail;
};

AppIcons makeAppIcons();
