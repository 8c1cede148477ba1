// vorn-server: tables of the network game without a window. Links of the
// first version of the wire are seated as a hosting window seats them; the
// computer player holds seat 0 of every table and fills the seats nobody has
// taken a while after the first person sat down.

#include <QCoreApplication>

#include <cstdio>

#include "tools/server/config.h"
#include "tools/server/server.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vorn-server");
    QCoreApplication::setApplicationVersion(VORN_VERSION);

    vorn::server::ServerConfig config;
    QString error;
    if (!vorn::server::ReadServerConfig(QCoreApplication::arguments(), config, error)) {
        std::fprintf(stderr, "vorn-server: %s; see --help\n", qPrintable(error));
        return 2;
    }
    vorn::server::Server server(config);
    if (!server.Listen(config.port)) return 1;
    return app.exec();
}
