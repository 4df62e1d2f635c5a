#pragma once

#include <QApplication>

#include <functional>

// The application object. Every exception that escapes an event handler ends here and
// goes to the fatal error handler, which the main window installs when it is created.
class VornApplication : public QApplication {
    Q_OBJECT
public:
    using FatalHandler = std::function<void(const QString& message)>;

    VornApplication(int& argc, char** argv);

    void setFatalHandler(FatalHandler handler) { fatalHandler_ = std::move(handler); }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    FatalHandler fatalHandler_;
};

// Runs one delivery; an exception becomes a call of the handler with its message (or,
// without a handler, a line on stderr and exit code 1). Returns what the delivery did,
// false after an exception.
bool deliverGuarded(const std::function<bool()>& deliver,
                    const VornApplication::FatalHandler& handler);
