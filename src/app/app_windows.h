#pragma once

#include "monitor/program_windows.h"
#include "widgets/window_services.h"

// The program's own options, tools and call log windows, made when opened and destroyed
// when closed.
class AppWindows final : public ProgramWindows {
public:
    explicit AppWindows(const WindowServices& services) : services_(services) {}
    void run(ProgramWindow window) override;

private:
    WindowServices services_;
};
