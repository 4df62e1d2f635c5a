#include "core/version.h"
#include "unix_signals.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(VornApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(VornVersion));
    QApplication::setOrganizationName(QStringLiteral("Ostrand Labs"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the running cost of a metered network connection."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("dialup"),
                      QStringLiteral("Dial-up service: auto, networkmanager, pppd or simulated."),
                      QStringLiteral("service"), QStringLiteral("auto")});
    parser.addOption({QStringLiteral("config"), QStringLiteral("Settings file to use."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("home"), QStringLiteral("Program folder (logs, sounds)."),
                      QStringLiteral("dir")});
    parser.process(app);

    UnixSignalQuitter quitter;
    QWidget window;
    window.setWindowTitle(QString::fromLatin1(VornApplicationTitle));
    window.resize(200, 60);
    window.show();
    return app.exec();
}
