#pragma once

// The windows the tray menu opens besides the about box.
enum class ProgramWindow { Options, Tools, Log };

// Makes, shows modally and destroys one program window. The program's composition root
// supplies the real windows; tests supply their own.
class ProgramWindows {
public:
    virtual ~ProgramWindows() = default;
    virtual void run(ProgramWindow window) = 0;
};
