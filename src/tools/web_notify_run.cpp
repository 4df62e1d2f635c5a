#include "tools/web_notify_run.h"

#include "core/clock.h"
#include "core/program_paths.h"
#include "core/regional.h"
#include "core/settings.h"
#include "core/settings_store.h"
#include "net/http_client.h"
#include "net/http_url.h"
#include "tools/http_date.h"
#include "tools/web_notify_pages.h"

#include <QDir>
#include <QFile>
#include <QLatin1StringView>

#include <algorithm>
#include <cmath>

namespace {

constexpr int MaxSimultaneousIndex = 9;
constexpr int MaxRetriesIndex = 5;
constexpr int MaxTimeOutIndex = 5;
constexpr int MaxMarginIndex = 10;

// A frameset names a handful of frames; a page naming thousands must not flood the list.
constexpr qsizetype MaxFramesPerPage = 100;

const QString Dash = QStringLiteral("-");

bool containsText(const QByteArray& body, QLatin1StringView what) {
    return QLatin1StringView(body).contains(what, Qt::CaseInsensitive);
}

// Two moments the same to the second, as their texts would show them.
bool sameSecond(TDateTime a, TDateTime b) {
    const auto seconds = [](TDateTime t) {
        return std::floor(std::round(t * 86400000.0) / 1000.0);
    };
    return seconds(a) == seconds(b);
}

// A frame's address: absolute ones as they stand, others resolved against the page that
// names them ("left.htm", "/top.htm", "../menu.htm").
QString frameAddress(const QString& pageUrl, const QString& source) {
    if (source.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        source.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return source;
    HttpUrl page;
    HttpUrl frame;
    if (parseHttpUrl(pageUrl, page) == HttpUrlError::None &&
        resolveHttpLocation(page, source, frame) == HttpUrlError::None)
        return QString::fromLatin1(frame.absolute());
    return pageUrl.left(pageUrl.lastIndexOf(u'/') + 1) + source;
}

// The SRC="..." values of the <FRAME ...> tags of a page.
QStringList frameSources(const QByteArray& body) {
    const QByteArray upper = body.toUpper();
    QStringList sources;
    for (qsizetype at = upper.indexOf("<FRAME "); at >= 0 && sources.size() < MaxFramesPerPage;
         at = upper.indexOf("<FRAME ", at + 1)) {
        qsizetype end = upper.indexOf('>', at);
        if (end < 0)
            end = upper.size();
        const qsizetype src = upper.indexOf("SRC=\"", at);
        if (src < 0 || src > end)
            continue;
        const qsizetype valueStart = src + 5;
        const qsizetype valueEnd = upper.indexOf('"', valueStart);
        if (valueEnd < 0)
            continue;
        sources.append(QString::fromUtf8(body.mid(valueStart, valueEnd - valueStart)));
    }
    return sources;
}

} // namespace

struct WebNotifyRun::Request {
    THttpCli* client = nullptr; // deleted later: it may be inside one of its own events
    QFile body;
    bool headerOnly = false; // stopped after the header: the date alone decides

    ~Request() {
        if (client) {
            client->disconnect();
            client->Abort();
            client->deleteLater();
        }
    }
};

WebNotifyRun::WebNotifyRun(SettingsStore& store, const Clock& clock,
                           const RegionalSettings& regional, QString programFolder, QObject* parent)
    : QObject(parent), store_(store), clock_(clock), regional_(regional),
      programFolder_(std::move(programFolder)), texts_(regional), trace_(clock, texts_) {
    sweepTimer_.setInterval(SweepIntervalMs);
    sweepTimer_.setTimerType(Qt::CoarseTimer);
    connect(&sweepTimer_, &QTimer::timeout, this, &WebNotifyRun::sweep);
}

WebNotifyRun::~WebNotifyRun() {
    requests_.clear();
}

WebNotifyRun::Options WebNotifyRun::optionsFrom(const typSettings& s) {
    Options o;
    o.simultaneous = (std::clamp(s.Simultaneous_Connections, 0, MaxSimultaneousIndex) + 1) * 5;
    o.retries = std::clamp(s.Web_Notify_Retries, 0, MaxRetriesIndex);
    o.timeOutMs = (std::clamp(s.Web_Notify_Time_Out, 0, MaxTimeOutIndex) + 1) * 10000;
    o.pageSize = s.Web_Notify_Page_Size_Changes;
    o.lastUpdated = s.Web_Notify_Last_Updated_Changes || !s.Web_Notify_Page_Size_Changes;
    o.margin = std::clamp(s.Web_Notify_Page_Size_Margin, 0, MaxMarginIndex) * 10;
    o.recurseFrames = s.Recurse_Frame_Pages;
    o.lastUpdatedOnly = s.Use_Last_Updated_Only;
    o.proxy = s.Proxy.trimmed();
    o.proxyPort = s.Proxy_Port;
    o.proxyUser = s.Proxy_UserName;
    o.proxyPassword = s.Proxy_Password;
    o.backupLog = s.Backup_Log;
    return o;
}

QString WebNotifyRun::bodyPath(int row) const {
    return QDir(logsFolderOf(programFolder_))
        .filePath(QString::number(row) + QStringLiteral(".htm"));
}

void WebNotifyRun::go(const QList<WebNotifyPage>& pages, const typSettings& settings) {
    if (running_)
        return;
    stored_ = NotifyRecords::load(store_, regional_);
    rows_.clear();
    queued_.clear();
    rows_.reserve(static_cast<size_t>(pages.size()));
    for (const WebNotifyPage& page : pages) {
        WebNotifyResult r;
        r.title = page.title;
        r.frames = stored_.find(page.url).Frames;
        r.url = page.url;
        r.filename = page.filename;
        r.parentUrl = page.url;
        queued_.insert(static_cast<int>(rows_.size()));
        rows_.push_back(std::move(r));
    }
    QDir logs(logsFolderOf(programFolder_));
    for (const QString& name : logs.entryList({QStringLiteral("*.htm")}, QDir::Files))
        logs.remove(name);
    Q_EMIT rowsReset();
    run(settings);
}

void WebNotifyRun::continueRun(const typSettings& settings) {
    if (running_ || !continueEnabled_)
        return;
    stored_ = NotifyRecords::load(store_, regional_);
    run(settings);
}

void WebNotifyRun::run(const typSettings& settings) {
    options_ = optionsFrom(settings);
    QDir().mkpath(logsFolderOf(programFolder_));
    trace_.open(programFolder_, options_.backupLog);
    setButtons(true, false, false);
    sweepTimer_.start();
    updateCaption();
    fillSlots();
    endIfDone(0);
}

void WebNotifyRun::setButtons(bool running, bool continueOn, bool showResultsOn) {
    running_ = running;
    continueEnabled_ = continueOn;
    showResultsEnabled_ = showResultsOn;
    Q_EMIT buttonsChanged();
}

void WebNotifyRun::setStatus(int row, int status) {
    rows_[row].status = status;
    rows_[row].caption = status;
}

void WebNotifyRun::addRow(WebNotifyResult r) {
    const int row = static_cast<int>(rows_.size());
    rows_.push_back(std::move(r));
    queued_.insert(row);
    Q_EMIT rowAdded(row);
}

void WebNotifyRun::fillSlots() {
    while (running_ && static_cast<int>(requests_.size()) < options_.simultaneous &&
           !queued_.empty()) {
        const int row = *queued_.begin();
        queued_.erase(queued_.begin());
        start(row);
    }
}

void WebNotifyRun::start(int row) {
    WebNotifyResult& r = rows_[row];
    setStatus(row, pagestatus::Connecting);
    trace(row, QStringLiteral("CONNECTING"));

    auto request = std::make_unique<Request>();
    auto* client = new THttpCli;
    request->client = client;
    client->setTag(row);
    client->setURL(r.url);
    if (options_.proxy.isEmpty()) {
        trace(row, QStringLiteral("PROXY - NONE"));
    } else {
        client->setProxy(options_.proxy);
        client->setProxyPort(QString::number(options_.proxyPort));
        trace(row, QStringLiteral("PROXY - ") + options_.proxy + u':' +
                       QString::number(options_.proxyPort));
    }
    if (options_.proxyUser.isEmpty()) {
        trace(row, QStringLiteral("PROXY - AUTHENTICATE - NONE"));
    } else {
        client->setProxyUsername(options_.proxyUser);
        client->setProxyPassword(options_.proxyPassword);
        // The password stays out of the trace: the file outlives the check.
        trace(row, QStringLiteral("PROXY - AUTHENTICATE - ") + options_.proxyUser +
                       QStringLiteral(":****"));
    }
    request->body.setFileName(bodyPath(row));
    if (request->body.open(QIODevice::WriteOnly | QIODevice::Truncate))
        client->setRcvdStream(&request->body);

    connect(client, &THttpCli::OnHeaderBegin, this, [this, row] { headerBegin(row); });
    connect(client, &THttpCli::OnHeaderData, this, [this, row] { headerData(row); });
    connect(client, &THttpCli::OnHeaderEnd, this, [this, row] { headerEnd(row); });
    connect(client, &THttpCli::OnDocBegin, this, [this, row] { docBegin(row); });
    connect(client, &THttpCli::OnDocData, this, [this, row] { docData(row); });
    connect(client, &THttpCli::OnDocEnd, this, [this, row] { docEnd(row); });
    connect(client, &THttpCli::OnRequestDone, this,
            [this, row](THttpRequest, quint16 error) { requestDone(row, error); });

    r.progressStamp = clock_.milliseconds();
    requests_[row] = std::move(request);
    trace(row, QStringLiteral("START - ") + r.url);
    Q_EMIT rowChanged(row);
    try {
        client->GetASync();
    } catch (const EHttpException& e) {
        // The row stays connecting; the sweep times it out.
        trace(row, QStringLiteral("EXCEPTION - ") + QString::number(e.code()) + u' ' + e.message());
    }
}

void WebNotifyRun::headerBegin(int row) {
    WebNotifyResult& r = rows_[row];
    r.status = pagestatus::Header; // the digit shown follows with the first body piece
    r.lastUpdated.reset();         // each answer of a redirection has its own date
    Q_EMIT rowChanged(row);
}

void WebNotifyRun::headerData(int row) {
    WebNotifyResult& r = rows_[row];
    const QString& line = requests_.at(row)->client->LastResponse();
    trace(row, QStringLiteral("HEADER - ") + line);
    r.progressStamp = clock_.milliseconds();
    const qsizetype colon = line.indexOf(u':');
    if (colon > 0 && QStringView(line).first(colon).trimmed().compare(u"Last-Modified",
                                                                      Qt::CaseInsensitive) == 0) {
        r.lastUpdated = parseHttpDate(QStringView(line).sliced(colon + 1));
        Q_EMIT rowChanged(row);
    }
}

void WebNotifyRun::headerEnd(int row) {
    WebNotifyResult& r = rows_[row];
    Request& request = *requests_.at(row);
    // Only the page's own answer: a redirection's date says nothing about the page.
    if (request.client->StatusCode() != 200 || !r.lastUpdated || !options_.lastUpdated)
        return;
    if (!options_.pageSize)
        trace(row, QStringLiteral("ABORT - NOT CHECKING FOR SIZE CHANGE"));
    else if (options_.lastUpdatedOnly && r.frames == QLatin1String("No"))
        trace(row, QStringLiteral("ABORT - LAST UPDATED HEADER FOUND"));
    else
        return;
    request.headerOnly = true;
    trace(row, QStringLiteral("ABORT"));
    request.client->Abort();
}

void WebNotifyRun::docBegin(int row) {
    WebNotifyResult& r = rows_[row];
    r.size = 0;
    trace(row, QStringLiteral("DATA BEGIN - ") + r.url + QStringLiteral(" - 0"));
    Q_EMIT rowChanged(row);
}

void WebNotifyRun::docData(int row) {
    WebNotifyResult& r = rows_[row];
    r.progressStamp = clock_.milliseconds();
    setStatus(row, r.status == pagestatus::Data ? pagestatus::Header : pagestatus::Data);
    r.size = requests_.at(row)->client->RcvdCount();
    trace(row, QStringLiteral("DATA - ") + r.url + QStringLiteral(" - ") + QString::number(r.size));
    Q_EMIT rowChanged(row);
}

void WebNotifyRun::docEnd(int row) {
    const WebNotifyResult& r = rows_[row];
    trace(row,
          QStringLiteral("DATA END - ") + r.url + QStringLiteral(" - ") + QString::number(r.size));
}

void WebNotifyRun::requestDone(int row, quint16 error) {
    const auto it = requests_.find(row);
    if (it == requests_.end())
        return;
    std::unique_ptr<Request> request = std::move(it->second);
    requests_.erase(it);
    WebNotifyResult& r = rows_[row];
    const int statusCode = request->client->StatusCode();
    trace(row, QStringLiteral("FINISHED - StatusCode = ") + QString::number(statusCode) + u' ' +
                   r.url + QStringLiteral(" Error = ") + QString::number(error));
    request->body.close();
    const QString path = request->body.fileName();

    if (request->headerOnly) {
        r.size = -1;
        QFile::remove(path);
        judgeByHeader(row);
    } else {
        r.size = QFileInfo(path).size();
        QByteArray body;
        bool complete = false;
        if (r.size <= 0) {
            QFile::remove(path);
            trace(row, QStringLiteral("ERROR - NO </HTML>"));
        } else {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                body = file.readAll();
            const bool frameset = containsText(body, QLatin1StringView("<FRAMESET"));
            r.frames = frameset ? QStringLiteral("Yes") : QStringLiteral("No");
            trace(row, frameset ? QStringLiteral("OK - FRAMES FOUND")
                                : QStringLiteral("OK - NO FRAMES FOUND"));
            if (containsText(body, QLatin1StringView("</HTML>"))) {
                complete = true;
                trace(row, QStringLiteral("OK - </HTML> FOUND"));
            } else if (frameset) {
                complete = true;
                trace(row, QStringLiteral("OK - NO </HTML> BUT <FRAMESET> FOUND"));
            } else {
                trace(row, QStringLiteral("ERROR - NO </HTML>"));
            }
        }
        if (statusCode == 200 && complete)
            judge(row, body);
        else
            failed(
                row,
                [error](int retries) {
                    return QStringLiteral("RETRY(") + QString::number(retries) +
                           QStringLiteral(") - ERROR - ") + QString::number(error);
                },
                QStringLiteral("RETRY - ERROR - USED RETRIES"));
    }
    Q_EMIT rowChanged(row);
    request.reset();
    fillSlots();
    endIfDone(row);
}

void WebNotifyRun::judge(int row, const QByteArray& body) {
    WebNotifyResult& r = rows_[row];
    const NotifyRecord stored = stored_.find(r.url);
    const TDateTime current = r.lastUpdated.value_or(0);
    trace(row, QStringLiteral("UPDATED? - STORED - SIZE - ") + QString::number(stored.Last_Size) +
                   QStringLiteral(" / CURRENT - ") + QString::number(r.size));
    trace(row, QStringLiteral("UPDATED? - STORED - DATE - ") +
                   texts_.dateTime(stored.Last_Updated) + QStringLiteral(" / CURRENT - ") +
                   texts_.dateTime(current));
    trace(row, QStringLiteral("UPDATED? - STORED - DATE FLOAT - ") +
                   datetime::floatToText(stored.Last_Updated, regional_) +
                   QStringLiteral(" / CURRENT - ") + datetime::floatToText(current, regional_));
    if (options_.pageSize && (r.size < stored.Last_Size - options_.margin ||
                              r.size > stored.Last_Size + options_.margin)) {
        setStatus(row, pagestatus::Updated);
        trace(row, QStringLiteral("UPDATED VIA SIZE"));
    } else {
        judgeByDate(row, stored.Last_Updated, current);
    }
    r.progressStamp = 0;
    if (options_.recurseFrames && r.parentRow < 0)
        addFramePages(row, body);
}

void WebNotifyRun::judgeByHeader(int row) {
    WebNotifyResult& r = rows_[row];
    const NotifyRecord stored = stored_.find(r.url);
    const TDateTime current = r.lastUpdated.value_or(0);
    trace(row, QStringLiteral("UPDATED? - STORED - ") + texts_.dateTime(stored.Last_Updated) +
                   QStringLiteral(" / CURRENT - ") + texts_.dateTime(current));
    judgeByDate(row, stored.Last_Updated, current);
    r.progressStamp = 0;
}

void WebNotifyRun::judgeByDate(int row, TDateTime stored, TDateTime current) {
    if (options_.lastUpdated && !sameSecond(stored, current)) {
        setStatus(row, pagestatus::Updated);
        trace(row, QStringLiteral("UPDATED VIA DATE"));
    } else {
        setStatus(row, pagestatus::NotUpdated);
        trace(row, QStringLiteral("UPDATED NO"));
    }
}

void WebNotifyRun::addFramePages(int row, const QByteArray& body) {
    if (!containsText(body, QLatin1StringView("<FRAME")))
        return;
    const WebNotifyResult parent = rows_[row];
    for (const QString& source : frameSources(body)) {
        WebNotifyResult frame;
        frame.title = parent.title;
        frame.url = frameAddress(parent.url, source);
        frame.frames = stored_.find(frame.url).Frames;
        frame.filename = parent.filename;
        frame.parentRow = row;
        frame.parentUrl = parent.url;
        trace(row, QStringLiteral("ADD FRAME PAGE - ") + frame.url + u':' + QString::number(row));
        addRow(std::move(frame));
    }
}

void WebNotifyRun::failed(int row, const std::function<QString(int retries)>& retryText,
                          const QString& usedText) {
    WebNotifyResult& r = rows_[row];
    if (r.retries < options_.retries) {
        requeue(row);
        trace(row, retryText(r.retries));
        return;
    }
    setStatus(row, pagestatus::Problem);
    r.size = -1;
    r.lastUpdated.reset();
    r.frames = Dash;
    r.progressStamp = 0;
    QFile::remove(bodyPath(row));
    trace(row, usedText);
}

void WebNotifyRun::requeue(int row) {
    WebNotifyResult& r = rows_[row];
    ++r.retries;
    setStatus(row, pagestatus::Queued);
    r.size = -1;
    r.lastUpdated.reset();
    r.frames = Dash;
    // A fresh start: the stamp of the failed attempt must not time the next one out.
    r.progressStamp = 0;
    QFile::remove(bodyPath(row));
    queued_.insert(row);
}

void WebNotifyRun::discard(int row) {
    const auto it = requests_.find(row);
    if (it == requests_.end())
        return;
    it->second->body.close();
    QFile::remove(it->second->body.fileName());
    requests_.erase(it); // the client is aborted without a word back
}

void WebNotifyRun::sweep() {
    const qint64 now = clock_.milliseconds();
    std::vector<int> stalled;
    for (const auto& [row, request] : requests_) {
        const qint64 stamp = rows_[row].progressStamp;
        if (stamp != 0 && now > stamp + options_.timeOutMs)
            stalled.push_back(row);
    }
    for (const int row : stalled) {
        trace(row, QStringLiteral("ABORT"));
        // Counted here once: the aborted request is not judged again.
        discard(row);
        failed(
            row,
            [](int retries) {
                return QStringLiteral("TIMEOUT - RETRY(") + QString::number(retries) + u')';
            },
            QStringLiteral("TIMEOUT - USED RETRIES"));
        Q_EMIT rowChanged(row);
    }
    if (!stalled.empty()) {
        fillSlots();
        endIfDone(stalled.back());
    }
    if (running_) {
        updateCaption();
        trace_.flushIfDue();
    }
}

void WebNotifyRun::stop() {
    if (!running_)
        return;
    for (auto it = requests_.begin(); it != requests_.end();) {
        const int row = it->first;
        ++it;
        discard(row);
        // Back in the queue as it was: a page the user stopped has not failed.
        WebNotifyResult& r = rows_[row];
        setStatus(row, pagestatus::Queued);
        r.size = -1;
        r.lastUpdated.reset();
        r.progressStamp = 0;
        queued_.insert(row);
        Q_EMIT rowChanged(row);
    }
    end();
}

void WebNotifyRun::endIfDone(int row) {
    if (!running_ || !requests_.empty() || !queued_.empty())
        return;
    trace(row, QStringLiteral("ALL FINISHED"));
    end();
}

void WebNotifyRun::end() {
    sweepTimer_.stop();
    QList<webnotifypages::Link> changed;
    std::vector<int> order;
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row)
        if (rows_[row].status == pagestatus::Updated)
            order.push_back(row);
    // The results list's order after a check: changed pages by title.
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return rows_[a].title.compare(rows_[b].title, Qt::CaseInsensitive) < 0;
    });
    for (const int row : order)
        changed.append({rows_[row].title, rows_[row].parentUrl});
    const bool written =
        !changed.isEmpty() && webnotifypages::write(programFolder_, changed, nullptr);
    trace_.close();
    updateCaption();
    setButtons(false, !queued_.empty() && !options_.recurseFrames, written);
    Q_EMIT finished();
}

void WebNotifyRun::updateCaption() {
    int counts[7] = {};
    for (const WebNotifyResult& r : rows_)
        ++counts[std::clamp(r.status, 0, 6)];
    const QString caption =
        QStringLiteral("Results (Unknown:%1, Connecting:%2, Connected:%3, Not Updated:%4, "
                       "Problem:%5, Updated:%6, Total:%7)")
            .arg(counts[0])
            .arg(counts[1])
            .arg(counts[2] + counts[3])
            .arg(counts[4])
            .arg(counts[5])
            .arg(counts[6])
            .arg(rows_.size());
    if (caption == caption_)
        return;
    caption_ = caption;
    Q_EMIT captionChanged(caption_);
}

void WebNotifyRun::saveResults(SettingsStore& store) const {
    bool any = false;
    NotifyRecords records = NotifyRecords::load(store, regional_);
    for (const WebNotifyResult& r : rows_) {
        if (r.status != pagestatus::Updated)
            continue;
        NotifyRecord record = records.find(r.url);
        record.Last_Updated = r.lastUpdated.value_or(0);
        // A page judged by its date alone keeps the size it was last seen with.
        if (r.size >= 0)
            record.Last_Size = r.size;
        record.Frames = r.frames == QLatin1String("Yes") ? r.frames
                        : r.frames == Dash               ? Dash
                                                         : QStringLiteral("No");
        records.save(store, record, regional_);
        any = true;
    }
    if (any)
        store.sync();
}
