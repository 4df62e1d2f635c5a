#include "widgets/window_frame.h"

#include "platform/help.h"
#include "platform/shell.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>

const QString StatusLinkText =
    QStringLiteral("Click here to visit Ostrand Labs for updates and try other quality freeware");
const QString MakerWebPage = QStringLiteral("https://ostrandlabs.example/vorn/");
const QString PropertiesCaption = QStringLiteral("Properties");

SectionPages::SectionPages(QListWidget* sections, QTabWidget* pages)
    : QObject(sections), sections_(sections), pages_(pages) {
    connect(sections_, &QListWidget::currentRowChanged, this, &SectionPages::show);
}

void SectionPages::addSection(const QString& caption, const QList<QWidget*>& pages) {
    sectionPages_.append(pages);
    auto* item = new QListWidgetItem(caption, sections_);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
}

void SectionPages::selectSection(int index) {
    if (sections_->currentRow() == index)
        show(index);
    else
        sections_->setCurrentRow(index);
}

void SectionPages::show(int index) {
    if (index < 0 || index >= sectionPages_.size())
        return;
    current_ = index;
    const QList<QWidget*>& wanted = sectionPages_[index];
    // The wanted tabs first, so the page control never has to show a hidden one meanwhile.
    for (QWidget* page : wanted)
        pages_->setTabVisible(pages_->indexOf(page), true);
    for (int i = 0; i < pages_->count(); ++i)
        pages_->setTabVisible(i, wanted.contains(pages_->widget(i)));
    if (!wanted.isEmpty())
        pages_->setCurrentWidget(wanted.first());
}

void showSectionIcons(QListWidget* sections, const QList<QIcon>& icons) {
    sections->setViewMode(QListView::IconMode);
    sections->setFlow(QListView::TopToBottom);
    sections->setWrapping(false);
    sections->setMovement(QListView::Static);
    sections->setResizeMode(QListView::Adjust);
    sections->setWordWrap(true);
    sections->setIconSize(QSize(32, 32));
    // One cell per section, as wide as the list, so that a caption wraps instead of
    // pushing a scroll bar in.
    sections->setFixedWidth(104);
    sections->setGridSize(QSize(96, 64));
    sections->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sections->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int i = 0; i < sections->count() && i < icons.size(); ++i) {
        QListWidgetItem* item = sections->item(i);
        item->setIcon(icons[i]);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
        item->setSizeHint(sections->gridSize() - QSize(4, 4));
    }
}

namespace {

class StatusLink final : public QLabel {
public:
    StatusLink(Shell& shell, Prompts& prompts, QWidget* parent)
        : QLabel(StatusLinkText, parent), shell_(shell), prompts_(prompts) {
        setObjectName(QStringLiteral("statusLink"));
        setAlignment(Qt::AlignCenter);
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, Qt::blue);
        setPalette(p);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            OpenDocument(shell_, prompts_, MakerWebPage, QString());
    }

private:
    Shell& shell_;
    Prompts& prompts_;
};

} // namespace

void installStatusLink(QStatusBar* statusBar, Shell& shell, Prompts& prompts) {
    statusBar->setSizeGripEnabled(true);
    statusBar->addWidget(new StatusLink(shell, prompts, statusBar), 1);
}

QSize initialWindowSize(QSize stored, QSize fallback, QSize minimum, QSize available) {
    const auto side = [](int value, int fallbackValue, int limit) {
        return value <= 0 || (limit > 0 && value > limit) ? fallbackValue : value;
    };
    QSize size(side(stored.width(), fallback.width(), available.width()),
               side(stored.height(), fallback.height(), available.height()));
    return size.expandedTo(minimum);
}

QSize availableScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize();
}

Hourglass::Hourglass() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

Hourglass::~Hourglass() {
    QApplication::restoreOverrideCursor();
}

void installHelpKey(QWidget* window, Help& help, const QString& topic) {
    auto* key = new QShortcut(QKeySequence::HelpContents, window);
    key->setContext(Qt::WindowShortcut);
    QObject::connect(key, &QShortcut::activated, window, [window, &help, topic] {
        for (QWidget* w = QApplication::focusWidget(); w && w != window; w = w->parentWidget()) {
            if (const QString own = w->property("helpTopic").toString(); !own.isEmpty()) {
                help.open(own);
                return;
            }
        }
        help.open(topic);
    });
}

void prepareProgramWindow(QWidget* window) {
    // Without a parent the window manager gives it a taskbar entry of its own.
    Q_ASSERT(!window->parentWidget());
    window->setWindowFlag(Qt::Window, true);
    window->setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
}
