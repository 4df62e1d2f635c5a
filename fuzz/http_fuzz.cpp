// Plays a hostile HTTP server (and a hostile caller) against the client's header and body
// state machine. The input is a script: each byte picks an action (server bytes in chunks
// of varying size, a flood, a new request, the event loop running, the peer closing or
// resetting, Abort, a proxy, an Abort from inside an event handler); the payloads come
// from the input too. After every step the client must hold its promises: bounded header
// and body, at most one completion per request, the body it reports is the body it gave.
#include "fake_http_client.h"
#include "fuzz_script.h"

#include <QCoreApplication>

namespace {

const char* const kUrls[] = {"http://www.example.com/a/b.htm?q", "https://secure.example.com/",
                             "example.com:8080", "http://u:p@[::1]/x y"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApplication();

    FakeHttpCli c;
    int started = 0;
    int done = 0;
    qint64 delivered = 0; // body bytes reported for the current request
    int abortOn = -1;     // the event whose handler calls Abort, -1 for none
    QObject::connect(&c, &TCustomHttpCli::OnRequestDone, [&](THttpRequest, quint16) { ++done; });
    QObject::connect(&c, &TCustomHttpCli::OnDocData, [&](const QByteArray& chunk) {
        delivered += chunk.size();
        fuzz::check(delivered == c.RcvdCount());
    });
    auto abortIn = [&](int event) {
        return [&, event] {
            if (abortOn == event)
                c.Abort();
        };
    };
    QObject::connect(&c, &TCustomHttpCli::OnHeaderBegin, abortIn(0));
    QObject::connect(&c, &TCustomHttpCli::OnHeaderData, abortIn(1));
    QObject::connect(&c, &TCustomHttpCli::OnHeaderEnd, abortIn(2));
    QObject::connect(&c, &TCustomHttpCli::OnDocBegin, abortIn(3));
    QObject::connect(&c, &TCustomHttpCli::OnDocData, abortIn(4));

    fuzz::Script s{data, size};
    while (s.more()) {
        const uint8_t op = s.byte();
        switch (op % 8) {
        case 0:
        case 1: // server bytes as they come
            c.receive(s.bytes(s.byte()));
            break;
        case 2:
            c.receive(s.flood());
            break;
        case 3: { // a new request, to a known address or to one the input spells
            const uint8_t pick = s.byte();
            c.setURL(pick < 200 ? QString::fromLatin1(kUrls[pick % std::size(kUrls)])
                                : QString::fromLatin1(s.bytes(pick - 200)));
            const bool wasReady = c.State() == httpReady;
            try {
                c.GetASync();
                ++started;
                delivered = 0;
            } catch (const EHttpException&) {
                fuzz::check(!wasReady);
            }
            break;
        }
        case 4:
            QCoreApplication::sendPostedEvents();
            break;
        case 5: {
            const uint8_t how = s.byte() % 3;
            if (how == 2)
                c.Abort();
            else
                c.peerCloses(how == 0 ? wsock::NoError : wsock::WSAECONNRESET);
            break;
        }
        case 6: {
            const uint8_t bits = s.byte();
            c.setProxy(bits & 1 ? QStringLiteral("proxy.lan:3128") : QString());
            c.setProxyUsername(bits & 2 ? QStringLiteral("user") : QString());
            c.setNoCache(bits & 4);
            break;
        }
        case 7:
            abortOn = int(s.byte() % 6) - 1;
            break;
        }
        fuzz::check(c.RcvdHeader().size() <= TCustomHttpCli::MaxHeaderLines);
        fuzz::check(c.LastResponse().size() <= TCustomHttpCli::ReceiveBufferSize);
        fuzz::check(c.RcvdCount() <= TCustomHttpCli::MaxBodySize);
        fuzz::check(c.ReceiveSpace() >= 0 && c.ReceiveSpace() <= 64 * 1024);
        fuzz::check(done <= started);
    }

    c.Abort();
    QCoreApplication::sendPostedEvents();
    fuzz::check(done == started);
    fuzz::check(c.State() == httpReady);
    return 0;
}
