#include "app/app_windows.h"

#include "calllog/tfrm_log_gui.h"
#include "config/tfrm_configuration.h"
#include "platform/icmp_echo_socket.h"
#include "tools/tfrm_tools.h"

void AppWindows::run(ProgramWindow window) {
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
    case ProgramWindow::Log: {
        TfrmLogGUI log(services_);
        log.exec();
        break;
    }
    }
}
