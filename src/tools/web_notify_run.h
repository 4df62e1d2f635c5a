#pragma once

#include "core/date_texts.h"
#include "core/notify_records.h"
#include "net/http_protocol.h"
#include "tools/web_notify_trace.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class Clock;
class SettingsStore;
class THttpCli;
struct RegionalSettings;
struct typSettings;

// A results row's state: the digit its "-" column shows. 0 to 3 are pending, 4 to 6 final.
namespace pagestatus {
constexpr int Queued = 0;     // "Unknown"
constexpr int Connecting = 1; // "Connecting"
constexpr int Header = 2;     // "Connected": the answer has begun
constexpr int Data = 3;       // "Connected": alternates with Header on every piece of body
constexpr int NotUpdated = 4; // "Not Updated"
constexpr int Problem = 5;    // "Problem": failed after all retries
constexpr int Updated = 6;    // "Updated"
} // namespace pagestatus

// One page being checked: a favourite, or a page a favourite's frameset names.
struct WebNotifyResult {
    int status = pagestatus::Queued;  // what the counts and decisions look at (the icon)
    int caption = pagestatus::Queued; // the digit shown and sorted; lags behind status
                                      // from the answer's start to its first body piece
    QString title;
    qint64 size = -1; // bytes so far, the final size, or -1 for "-"
    int retries = 0;
    std::optional<TDateTime> lastUpdated; // Last-Modified of this fetch
    QString frames = QStringLiteral("-"); // "Yes", "No" or "-"
    qint64 progressStamp = 0;             // ms counter at the last sign of progress, 0: none
    QString url;
    QString filename;   // the favourite's shortcut file
    int parentRow = -1; // the row of the frameset page, -1 for a favourite
    QString parentUrl;  // the favourite's address
};

// A favourite to check, in the order Go takes them.
struct WebNotifyPage {
    QString title;
    QString url;
    QString filename;
};

// The web notify check: fetches every page with at most Simultaneous_Connections requests
// at a time, follows each through the HTTP client's events, decides whether it changed
// since the stored record, retries failures and pages that stall, adds the pages of
// framesets, keeps the trace, and writes the results pages when something changed.
//
// Nothing waits: a request starts when a place frees, and a timer of SweepIntervalMs times
// out stalled requests, refreshes the caption and writes the trace.
//
// How the window wires it:
//   Go           -> go(included favourites in list order, settings); show the results
//   Continue     -> continueRun(settings)           Stop, window closing -> stop()
//   buttons      <- buttonsChanged(): goEnabled(), continueEnabled(), stopEnabled(),
//                   showResultsEnabled()
//   results list <- rowsReset(), rowAdded(row), rowChanged(row); rows()
//   group title  <- captionChanged(caption())
//   OK           -> saveResults(store) before the lists are stored
class WebNotifyRun : public QObject {
    Q_OBJECT

public:
    static constexpr int SweepIntervalMs = 200;

    WebNotifyRun(SettingsStore& store, const Clock& clock, const RegionalSettings& regional,
                 QString programFolder, QObject* parent = nullptr);
    ~WebNotifyRun() override;

    const std::vector<WebNotifyResult>& rows() const { return rows_; }
    const datetime::DateTexts& dateTexts() const { return texts_; }
    const QString& caption() const { return caption_; }
    bool running() const { return running_; }
    bool goEnabled() const { return !running_; }
    bool continueEnabled() const { return continueEnabled_; }
    bool stopEnabled() const { return running_; }
    bool showResultsEnabled() const { return showResultsEnabled_; }
    // Requests in flight now.
    int activeRequests() const { return static_cast<int>(requests_.size()); }

    // A new check of these pages: the results list starts again with them, the bodies of
    // the last check are deleted.
    void go(const QList<WebNotifyPage>& pages, const typSettings& settings);
    // Resumes the rows still queued after Stop.
    void continueRun(const typSettings& settings);
    // Ends the check now; the rows being fetched go back to the queue.
    void stop();

    // The changed pages become the stored records of their addresses.
    void saveResults(SettingsStore& store) const;

Q_SIGNALS:
    void rowsReset();
    void rowAdded(int row);
    void rowChanged(int row);
    void captionChanged(const QString& caption);
    void buttonsChanged();
    // The check has ended, by itself or by Stop.
    void finished();

private:
    struct Options {
        int simultaneous = 5;
        int retries = 3;
        qint64 timeOutMs = 20000;
        bool pageSize = true;
        bool lastUpdated = true;
        qint64 margin = 10;
        bool recurseFrames = false;
        bool lastUpdatedOnly = false;
        QString proxy;
        int proxyPort = 0;
        QString proxyUser;
        QString proxyPassword;
        bool backupLog = true;
    };
    struct Request;

    static Options optionsFrom(const typSettings& settings);
    void run(const typSettings& settings);
    void addRow(WebNotifyResult row);
    void setStatus(int row, int status);
    void trace(int row, const QString& text) { trace_.add(row, text); }
    QString bodyPath(int row) const;

    void fillSlots();
    void start(int row);
    void headerBegin(int row);
    void headerData(int row);
    void headerEnd(int row);
    void docBegin(int row);
    void docData(int row);
    void docEnd(int row);
    void requestDone(int row, quint16 error);
    void judge(int row, const QByteArray& body);
    void judgeByHeader(int row);
    // The last word on a page whose size said nothing: its date against the stored one.
    void judgeByDate(int row, TDateTime stored, TDateTime current);
    void addFramePages(int row, const QByteArray& body);
    // A failed attempt: queued again while retries are left, else a problem.
    void failed(int row, const std::function<QString(int retries)>& retryText,
                const QString& usedText);
    void requeue(int row);
    void sweep();
    // Ends the check when nothing is left; `row` is the one that finished last.
    void endIfDone(int row);
    void end();
    // Drops a request without judging it: its client and body go.
    void discard(int row);
    void updateCaption();
    void setButtons(bool running, bool continueOn, bool showResultsOn);

    SettingsStore& store_;
    const Clock& clock_;
    const RegionalSettings& regional_;
    QString programFolder_;
    datetime::DateTexts texts_;
    WebNotifyTrace trace_;
    QTimer sweepTimer_;
    Options options_;
    NotifyRecords stored_;
    std::vector<WebNotifyResult> rows_;
    std::set<int> queued_;                             // rows with status 0, in list order
    std::map<int, std::unique_ptr<Request>> requests_; // in flight, by row
    QString caption_ = QStringLiteral("Results");
    bool running_ = false;
    bool continueEnabled_ = false;
    bool showResultsEnabled_ = false;
};
