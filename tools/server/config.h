#pragma once

#include <QString>
#include <QStringList>

namespace vorn::server {

// Everything the server is told when it starts: built-in values, then the
// configuration file's [Server] group, then the command line, each over the one
// before.
struct ServerConfig {
    int port = 11005;
    int botsAfter = 30;  // seconds
    int level = 1;       // the computer players' level item: 0 high, 1 medium, 2 low, 3 expert
    int tables = 100;
    int moveMs = 500;
    int linksPerAddress = 8;
    int helloSeconds = 20;
    int idleSeconds = 600;
    int graceSeconds = 120;
    QString certificate;  // PEM files; empty: every link stays plain
    QString key;
};

// The level item of a level's name (high, medium, low, expert, in any case), or -1.
int LevelItem(const QString& name);

// Reads the command line (and the file its --config names) over config. On a
// bad value or an unreadable file: false, and error says what. --help and
// --version print and end the program as usual.
bool ReadServerConfig(const QStringList& arguments, ServerConfig& config, QString& error);

}  // namespace vorn::server
