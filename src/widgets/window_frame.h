#pragma once

#include <QList>
#include <QObject>
#include <QSize>
#include <QString>

class Help;
class Prompts;
class QIcon;
class QListWidget;
class QStatusBar;
class QTabWidget;
class QWidget;
class Shell;

// The pieces the options, tools and call log windows share: the sections list with its
// pages, the maker's link in the status bar, the saved-size rule, the hourglass, the help
// key and the taskbar entry.

// The list of sections on the left: choosing one shows only that section's pages in the
// page control and brings the first of them forward.
class SectionPages final : public QObject {
    Q_OBJECT
public:
    SectionPages(QListWidget* sections, QTabWidget* pages);

    // Pages are tabs of the page control already; a page belongs to one section.
    void addSection(const QString& caption, const QList<QWidget*>& pages);
    void selectSection(int index);
    int currentSection() const { return current_; }

private:
    void show(int index);

    QListWidget* sections_;
    QTabWidget* pages_;
    QList<QList<QWidget*>> sectionPages_;
    int current_ = -1;
};

// The sections as a column of large icons with their captions beneath; icons in the
// sections' order.
void showSectionIcons(QListWidget* sections, const QList<QIcon>& icons);

// The status bar's one panel: the maker's notice, centred, underlined and blue; a click
// opens the maker's page in the browser.
void installStatusLink(QStatusBar* statusBar, Shell& shell, Prompts& prompts);
extern const QString StatusLinkText;
extern const QString MakerWebPage;

// The caption of every dialog that edits an existing list entry.
extern const QString PropertiesCaption;

// The size a window opens with: the stored one, unless a side is not positive or larger
// than the available screen, which then takes the fallback's side; never below minimum.
QSize initialWindowSize(QSize stored, QSize fallback, QSize minimum, QSize available);
// The available size of the screen a window opens on.
QSize availableScreenSize();

// The hourglass for the life of a scope, restored also when an exception leaves it.
class Hourglass {
public:
    Hourglass();
    ~Hourglass();
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;
};

// F1 opens the help topic of the focused control (its "helpTopic" property) or else the
// window's topic.
void installHelpKey(QWidget* window, Help& help, const QString& topic);

// A program window stands on its own, with a taskbar entry while it is open (the program
// has none otherwise).
void prepareProgramWindow(QWidget* window);
