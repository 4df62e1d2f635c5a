#include "tools/finger_session.h"

#include "core/code_page.h"
#include "core/prompts.h"
#include "core/records.h"
#include "net/finger_client.h"

#include <QPointer>

namespace {

// What a receive takes at most, as the tool always has.
constexpr qint64 ChunkSize = 2047;

// How many bytes at the end begin a UTF-8 character that the next piece completes.
qsizetype incompleteUtf8Tail(QByteArrayView bytes) {
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, bytes.size()); ++back) {
        const auto c = static_cast<quint8>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for the lead
        const qsizetype length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

} // namespace

FingerSession::FingerSession(Prompts& prompts, QObject* parent)
    : QObject(parent), prompts_(prompts), output_(new ToolOutput(this)), finger_(new TFingerCli) {
    finger_->setObjectName(QStringLiteral("fingerGeneral"));
    connect(finger_, &TFingerCli::OnSessionConnected, this, &FingerSession::sessionConnected);
    connect(finger_, &TFingerCli::OnDataAvailable, this, &FingerSession::dataAvailable);
    connect(finger_, &TFingerCli::OnQueryDone, this, &FingerSession::queryDone);
}

FingerSession::~FingerSession() {
    // The client may be inside one of its own events now (the window closing on a line
    // written from it): it goes once that has returned.
    finger_->disconnect(this);
    finger_->Abort();
    finger_->deleteLater();
}

void FingerSession::setRunning(bool running) {
    running_ = running;
    Q_EMIT buttonsChanged();
}

void FingerSession::finger(const typToolWithDefaultInformation* entry) {
    if (!entry) {
        prompts_.warning(QStringLiteral("You must select a Finger Entry from the list above "
                                        "before the finger results can be displayed."));
        return;
    }
    if (!fingerEnabled()) {
        prompts_.warning(QStringLiteral(
            "You must cancel the current finger request before fingering another address."));
        return;
    }
    QPointer<FingerSession> self(this);
    output_->clear();
    pendingUtf8_.clear();
    setRunning(true);
    if (!self)
        return;
    const QString address = entry->Host;
    finger_->setQuery(address);
    try {
        finger_->StartQuery();
    } catch (const NetException&) {
        output_->append(u"Error - Host Invalid\r");
        if (self)
            setRunning(false);
        return;
    }
    output_->append(QString(QStringLiteral("Contacting ") + address + u'\r'));
}

void FingerSession::sessionConnected(quint16 error) {
    // The server is asked about the user alone; "@host" asks it for everyone.
    const QString query = finger_->Query();
    finger_->setQuery(query.left(query.indexOf(u'@')));
    if (error == 0)
        output_->append(u"Connected.\r");
}

void FingerSession::dataAvailable() {
    QPointer<FingerSession> self(this);
    char chunk[ChunkSize];
    for (qint64 n; self && (n = finger_->Receive(chunk, ChunkSize)) >= 1;) {
        // Each piece is text up to its first zero byte.
        const QByteArrayView piece(chunk, qstrnlen(chunk, uint(n)));
        output_->append(decode(piece));
    }
}

QString FingerSession::decode(QByteArrayView bytes) {
    // UTF-8 when it is, as servers send today; else the program's single-byte code page.
    const QByteArray text = std::exchange(pendingUtf8_, {}) + bytes.toByteArray();
    const qsizetype tail = incompleteUtf8Tail(text);
    const QByteArrayView whole = QByteArrayView(text).first(text.size() - tail);
    if (!whole.isValidUtf8())
        return codepage::decode(text);
    pendingUtf8_ = text.right(tail);
    return QString::fromUtf8(whole);
}

void FingerSession::queryDone(quint16 error) {
    QPointer<FingerSession> self(this);
    if (!pendingUtf8_.isEmpty())
        output_->append(codepage::decode(std::exchange(pendingUtf8_, {})));
    if (self && error != 0)
        output_->append(QString(QStringLiteral("Error #") + QString::number(error) + u'\r'));
    if (self)
        output_->append(u"Done.\r");
    if (!self)
        return;
    setRunning(false);
    if (self)
        Q_EMIT finished();
}

void FingerSession::cancel() {
    finger_->Abort();
}
