#pragma once

#include <QString>
#include <QStringList>

class Prompts;
class Shell;

// The help pages: HTML files opened in the browser at a topic.
class Help {
public:
    virtual ~Help() = default;
    // topic is "page" or "page#anchor", e.g. "options#display"; "index" is the contents.
    virtual void open(const QString& topic) = 0;
};

// Looks for help/<page>.html in each folder in turn (the program folder first, then the
// installed share/vorn) and hands it to the browser through the shell; a page that is
// nowhere is reported by the shell's own error box.
class BrowserHelp final : public Help {
public:
    BrowserHelp(Shell& shell, Prompts& prompts, QStringList folders);
    void open(const QString& topic) override;
    // The address that open() hands to the shell.
    QString addressOf(const QString& topic) const;

private:
    Shell& shell_;
    Prompts& prompts_;
    QStringList folders_;
};
