#include "tools/server/config.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSettings>

#include <array>

#include "cards/options.h"

namespace vorn::server {

namespace {

// One whole-number setting: its command-line option, its key in the file, and
// the values it may take.
struct NumberSetting {
    const char* option;
    const char* key;
    const char* help;
    int ServerConfig::*field;
    int low;
    int high;
};

constexpr std::array<NumberSetting, 8> kNumbers{{
    {"port", "Port", "The TCP port to listen on (11005).", &ServerConfig::port, 0, 65535},
    {"bots-after", "BotsAfter",
     "Seconds after a person sits down before computer players fill the empty seats (30).",
     &ServerConfig::botsAfter, 0, 86400},
    {"tables", "Tables", "The most tables open at once (100).", &ServerConfig::tables, 1, 100000},
    {"move-ms", "MoveMs", "Milliseconds a computer player takes over a move (500).", &ServerConfig::moveMs, 1,
     60000},
    {"links-per-address", "LinksPerAddress", "The most open links from one address (8).",
     &ServerConfig::linksPerAddress, 1, 100000},
    {"hello-seconds", "HelloSeconds", "Seconds a new link has to choose a table and give its name (20).",
     &ServerConfig::helloSeconds, 1, 3600},
    {"idle-seconds", "IdleSeconds", "Seconds of silence after which a link is closed (600).",
     &ServerConfig::idleSeconds, 1, 86400},
    {"grace-seconds", "GraceSeconds", "Seconds a table its people all left waits for them (120).",
     &ServerConfig::graceSeconds, 0, 86400},
}};

bool SetNumber(const NumberSetting& setting, const QString& text, ServerConfig& config, QString& error) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < setting.low || value > setting.high) {
        error = QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"")
                    .arg(QString::fromLatin1(setting.key))
                    .arg(setting.low)
                    .arg(setting.high)
                    .arg(text);
        return false;
    }
    config.*setting.field = value;
    return true;
}

bool SetLevel(const QString& text, ServerConfig& config, QString& error) {
    const int level = LevelItem(text.trimmed());
    if (level < 0) {
        error = QStringLiteral("Level must be low, medium, high or expert, not \"%1\"").arg(text);
        return false;
    }
    config.level = level;
    return true;
}

bool ReadFile(const QString& path, ServerConfig& config, QString& error) {
    if (!QFileInfo(path).isReadable()) {
        error = QStringLiteral("cannot read the configuration file %1").arg(path);
        return false;
    }
    QSettings file(path, QSettings::IniFormat);
    if (file.status() != QSettings::NoError) {
        error = QStringLiteral("the configuration file %1 is not an INI file").arg(path);
        return false;
    }
    file.beginGroup(QStringLiteral("Server"));
    for (const NumberSetting& setting : kNumbers) {
        const QString key = QString::fromLatin1(setting.key);
        if (file.contains(key) && !SetNumber(setting, file.value(key).toString(), config, error))
            return false;
    }
    if (file.contains(QStringLiteral("Level")) && !SetLevel(file.value("Level").toString(), config, error))
        return false;
    config.certificate = file.value(QStringLiteral("Certificate"), config.certificate).toString().trimmed();
    config.key = file.value(QStringLiteral("Key"), config.key).toString().trimmed();
    return true;
}

}  // namespace

int LevelItem(const QString& name) {
    return LevelItemOfName(name.toLower().toStdString());
}

bool ReadServerConfig(const QStringList& arguments, ServerConfig& config, QString& error) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Serves tables of the card game to its players over TCP.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({"config", "Reads the [Server] settings from an INI file first.", "FILE"});
    for (const NumberSetting& setting : kNumbers) parser.addOption({setting.option, setting.help, "N"});
    parser.addOption(
        {"level", "The computer players' level: low, medium, high or expert (medium).", "level"});
    parser.addOption({"certificate", "PEM file of the certificate for encrypted links.", "FILE"});
    parser.addOption({"key", "PEM file of the certificate's private key.", "FILE"});
    parser.process(arguments);

    if (parser.isSet("config") && !ReadFile(parser.value("config"), config, error)) return false;
    for (const NumberSetting& setting : kNumbers)
        if (parser.isSet(setting.option) && !SetNumber(setting, parser.value(setting.option), config, error))
            return false;
    if (parser.isSet("level") && !SetLevel(parser.value("level"), config, error)) return false;
    if (parser.isSet("certificate")) config.certificate = parser.value("certificate");
    if (parser.isSet("key")) config.key = parser.value("key");
    if (config.certificate.isEmpty() != config.key.isEmpty()) {
        error = QStringLiteral("a certificate needs its key, and a key its certificate");
        return false;
    }
    return true;
}

}  // namespace vorn::server
