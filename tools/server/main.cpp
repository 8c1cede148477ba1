// vorn-server: tables of the network game without a window. Links of the
// first version of the wire are seated as a hosting window seats them; the
// computer player holds seat 0 of every table and fills the seats nobody has
// taken a while after the first person sat down.

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <memory>

#include "net/socket/securehost.h"

#include "tools/server/server.h"

namespace {

// A whole number of at least low from the option, or -1.
int Number(const QCommandLineParser& parser, const QString& name, int low) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    return ok && value >= low ? value : -1;
}

int LevelItem(const QString& name) {
    const QStringList levels{"low", "medium", "high", "expert"};
    return int(levels.indexOf(name.toLower()));
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vorn-server");
    QCoreApplication::setApplicationVersion(VORN_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription("Serves tables of the card game to its players over TCP.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"port", "The TCP port to listen on (11005).", "N", "11005"});
    parser.addOption({"bots-after",
                      "Seconds after a person sits down before computer players fill the empty seats (30).",
                      "S", "30"});
    parser.addOption(
        {"level", "The computer players' level: low, medium, high or expert (medium).", "level", "medium"});
    parser.addOption({"tables", "The most tables open at once (100).", "M", "100"});
    parser.addOption({"move-ms", "Milliseconds a computer player takes over a move (500).", "ms", "500"});
    parser.addOption(
        {"certificate", "The PEM file of the certificate that encrypts links; none: no encryption.", "FILE"});
    parser.addOption({"key", "The PEM file of the certificate's private key.", "FILE"});
    parser.process(app);

    const int port = Number(parser, "port", 0);
    const int botsAfter = Number(parser, "bots-after", 0);
    const int tables = Number(parser, "tables", 1);
    const int moveMs = Number(parser, "move-ms", 1);
    const int level = LevelItem(parser.value("level"));
    if (port < 0 || port > 65535 || botsAfter < 0 || tables < 1 || moveMs < 1 || level < 0) {
        std::fprintf(stderr, "vorn-server: a bad option value; see --help\n");
        return 2;
    }

    vorn::server::TableChoices choices;
    choices.botsAfterMs = botsAfter * 1000;
    choices.level = level;
    choices.moveMs = moveMs;
    if (parser.isSet("certificate") || parser.isSet("key")) {
        auto secure = std::make_shared<vorn::SecureHost>();
        QString why;
        if (!secure->Load(parser.value("certificate"), parser.value("key"), why)) {
            std::fprintf(stderr, "vorn-server: %s\n", qPrintable(why));
            return 2;
        }
        vorn::server::Log("links may be encrypted; certificate fingerprint " +
                          secure->Fingerprint().toStdString());
        choices.secure = std::move(secure);
    }
    vorn::server::Server server(choices, tables);
    if (!server.Listen(port)) return 1;
    return app.exec();
}
