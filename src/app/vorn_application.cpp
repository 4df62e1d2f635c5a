#include "vorn_application.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

VornApplication::VornApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VornApplication::notify(QObject* receiver, QEvent* event) {
    return deliverGuarded([&] { return QApplication::notify(receiver, event); }, fatalHandler_);
}

bool deliverGuarded(const std::function<bool()>& deliver,
                    const VornApplication::FatalHandler& handler) {
    QString message;
    try {
        return deliver();
    } catch (const std::exception& e) {
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown exception");
    }
    if (handler) {
        handler(message);
    } else {
        std::fprintf(stderr, "vorn: fatal error: %s\n", qPrintable(message));
        std::exit(1);
    }
    return false;
}
