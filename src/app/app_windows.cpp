#include "app/app_windows.h"

#include "config/tfrm_configuration.h"
#include "core/prompts.h"
#include "platform/icmp_echo_socket.h"
#include "tools/tfrm_tools.h"

void AppWindows::run(ProgramWindow window) {
    // Until a window exists, its command says so instead of doing nothing.
    const auto unavailable = [this](const char* name) {
        services_.prompts.information(
            QStringLiteral("The %1 window is not available yet.").arg(QString::fromLatin1(name)));
    };
    switch (window) {
    case ProgramWindow::Options: {
        TfrmConfiguration options(services_);
        options.exec();
        break;
    }
    case ProgramWindow::Tools: {
        TfrmTools tools(services_, std::make_unique<IcmpEchoSocket>());
        tools.exec();
        break;
    }
    case ProgramWindow::Log:
        unavailable("call log");
        break;
    }
}
