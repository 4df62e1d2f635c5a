// Plays a hostile POP3 server against the client's state machine. The input is a script:
// each byte picks an action (server bytes in chunks of varying size, a command from the
// caller, the event loop running, the peer hanging up, Abort, a new Connect); the
// payloads come from the input too. After every step the client must hold its promises:
// bounded lines, at most one completion per request, and a clean state after Abort.
#include "fake_pop3_client.h"
#include "fuzz_script.h"

#include <QCoreApplication>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApplication();

    FakePop3Cli c;
    int started = 0;
    int done = 0;
    QObject::connect(&c, &TCustomPop3Cli::OnRequestDone, [&](TPop3Request, quint16) { ++done; });
    auto command = [&](void (TCustomPop3Cli::*op)()) {
        try {
            (c.*op)();
            ++started;
        } catch (const Pop3Exception&) {
            // Misuse is refused before anything starts; that is allowed here.
        }
    };
    using Op = void (TCustomPop3Cli::*)();
    static constexpr Op ops[] = {&TCustomPop3Cli::User, &TCustomPop3Cli::Pass,
                                 &TCustomPop3Cli::Stat, &TCustomPop3Cli::List,
                                 &TCustomPop3Cli::Top,  &TCustomPop3Cli::Quit};

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
        case 3:
            command(ops[s.byte() % std::size(ops)]);
            break;
        case 4:
            QCoreApplication::sendPostedEvents();
            break;
        case 5:
            if (s.byte() & 1)
                c.peerCloses();
            else
                c.Abort();
            break;
        case 6: {
            const bool wasReady = c.State() == pop3Ready && !c.Connected();
            try {
                c.openSession(s.bytes(s.byte()));
                ++started;
            } catch (const Pop3Exception&) {
                fuzz::check(!wasReady);
            }
            break;
        }
        case 7:
            c.setMsgNum(int(s.byte()) - 8);
            c.setMsgLines(int(s.byte()) - 8);
            break;
        }
        fuzz::check(c.ReceiveSpace() >= 0 &&
                    c.ReceiveSpace() <= TCustomPop3Cli::ReceiveBufferSize - 1);
        fuzz::check(c.LastResponse().size() <= TCustomPop3Cli::ReceiveBufferSize);
        fuzz::check(done <= started);
    }

    c.Abort();
    QCoreApplication::sendPostedEvents();
    fuzz::check(done == started);
    fuzz::check(c.State() == pop3Ready && c.ProtocolState() == pop3Disconnected && !c.Connected());
    return 0;
}
