#pragma once

#include <QString>

#include <deque>

class Clock;
struct RegionalSettings;

// The in-memory trace list that the debug file is made from. While logging is off
// nothing is built: hot paths call trace() with a lambda that only runs when it is on.
class DebugLog {
public:
    static constexpr int MaxLines = 2500;

    explicit DebugLog(const Clock& clock) : clock_(clock) {}

    bool enabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }

    // Adds "<ms counter> -> <text>" when enabled; the oldest line goes beyond MaxLines.
    void add(const QString& text);

    template <typename MakeText> void trace(MakeText&& makeText) {
        if (enabled_)
            add(makeText());
    }

    const std::deque<QString>& lines() const { return lines_; }
    void clear() { lines_.clear(); }

    // The debug file: a title line, an empty line, then "<n> -> <line>" for each line.
    // Returns false (with the reason in *error) when the file cannot be written.
    bool writeFile(const QString& path, const QString& applicationTitle,
                   const RegionalSettings& regional, QString* error = nullptr) const;

private:
    const Clock& clock_;
    bool enabled_ = false;
    std::deque<QString> lines_;
};

// Where the debug file lives: "vorn_debug.txt" in the program folder.
QString debugFilePath(const QString& programFolder);
