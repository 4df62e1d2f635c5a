#include "tools/ping_session.h"

#include "core/prompts.h"
#include "core/records.h"
#include "net/net_exception.h"
#include "net/socket_errors.h"
#include "platform/icmp_echo.h"
#include "tools/ping.h"

#include <QPointer>

#include <algorithm>

namespace {
constexpr int MaxRepeatIndex = 5;
}

PingSession::PingSession(std::unique_ptr<IcmpEcho> echo, Prompts& prompts, QObject* parent)
    : QObject(parent), prompts_(prompts), output_(new ToolOutput(this)),
      ping_(new TPing(std::move(echo))) {
    ping_->setObjectName(QStringLiteral("pingGeneral"));
    connect(ping_, &TPing::OnDnsLookupDone, this, &PingSession::lookupDone);
    connect(ping_, &TPing::OnEchoRequest, this, &PingSession::echoRequest);
    connect(ping_, &TPing::OnEchoReply, this, &PingSession::echoReply);
    connect(ping_, &TPing::OnDisplay, output_, &ToolOutput::addLine);
}

PingSession::~PingSession() {
    // The component may be inside one of its own events now (the window closing on a
    // line written from it): it goes once that has returned.
    ping_->disconnect(this);
    ping_->CancelDnsLookup();
    ping_->CancelEcho();
    ping_->deleteLater();
}

void PingSession::setState(State state) {
    if (state_ == state)
        return;
    state_ = state;
    QPointer<PingSession> self(this);
    Q_EMIT buttonsChanged();
    if (self && state == State::Idle)
        Q_EMIT finished();
}

void PingSession::ping(const typToolWithDefaultInformation* entry, int repeatIndex) {
    if (!entry) {
        prompts_.warning(QStringLiteral("You must select a Ping Entry from the list above "
                                        "before the ping results can be displayed."));
        return;
    }
    if (!pingEnabled()) {
        prompts_.warning(QStringLiteral(
            "You must cancel the current ping request before pinging another address."));
        return;
    }
    host_ = entry->Host;
    echoesLeft_ = std::clamp(repeatIndex, 0, MaxRepeatIndex) + 1;
    QPointer<PingSession> self(this);
    output_->clear();
    output_->addLine(QStringLiteral("Resolving host - \"") + host_ + QStringLiteral("\""));
    if (!self)
        return;
    setState(State::Resolving);
    try {
        ping_->DnsLookup(host_);
    } catch (const NetException&) {
        // A blank host cannot be looked up; that is a host not found, not a crash.
        lookupDone(wsock::WSAHOST_NOT_FOUND);
    }
}

void PingSession::lookupDone(quint16 error) {
    if (state_ != State::Resolving)
        return;
    QPointer<PingSession> self(this);
    if (error != wsock::NoError) {
        output_->addLine(QStringLiteral("Host not found"));
        if (self)
            setState(State::Idle);
        return;
    }
    ping_->setAddress(ping_->DnsResult());
    output_->addLine(QStringLiteral("Host resolved to \"") + ping_->Address() +
                     QStringLiteral("\""));
    if (self)
        sendNext();
}

void PingSession::sendNext() {
    if (echoesLeft_ <= 0) {
        setState(State::Idle);
        return;
    }
    --echoesLeft_;
    setState(State::Echoing);
    QPointer<PingSession> self(this);
    // An echo that cannot start has said why; the next ones would only repeat it.
    if (!ping_->Ping() && self)
        setState(State::Idle);
}

void PingSession::echoRequest() {
    output_->addLine(QStringLiteral("Sending ") + QString::number(ping_->Size()) +
                     QStringLiteral(" bytes to ") + host_ + QStringLiteral(" (") +
                     ping_->Address() + QStringLiteral(")"));
}

void PingSession::echoReply(int replies) {
    if (state_ != State::Echoing)
        return;
    QPointer<PingSession> self(this);
    if (replies > 0) {
        output_->addLine(QStringLiteral("Received ") + QString::number(ping_->Reply().data.size()) +
                         QStringLiteral(" bytes from ") + ping_->Address() +
                         QStringLiteral(" in ") + QString::number(ping_->Reply().roundTripTime) +
                         QStringLiteral(" msecs"));
    } else {
        output_->addLine(pingErrorLine(pingStatusText(ping_->LastError())));
    }
    if (self)
        sendNext();
}

void PingSession::cancel() {
    if (state_ == State::Resolving)
        ping_->CancelDnsLookup();
}

void PingSession::stop() {
    echoesLeft_ = 0;
    const State was = state_;
    // Idle first, so that what the cancels report is not written.
    state_ = State::Idle;
    if (was == State::Resolving)
        ping_->CancelDnsLookup();
    ping_->CancelEcho();
    if (was != State::Idle) {
        state_ = was;
        setState(State::Idle);
    }
}
