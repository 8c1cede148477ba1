#include "app/commandline.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <vector>

namespace vorn {

namespace {

// Options the toolkit takes out of the command line itself when the application
// object is made (the X11 ones only on that platform). They must pass here, and
// those with a value must swallow it, or "-platform offscreen" would be refused.
constexpr const char* kToolkitOptionsWithValue[] = {
    "platform",        "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon",        "qwindowtitle",  "session",
    "style",           "stylesheet",         "display",       "name",
    "visual",          "geometry",           "icon",          "title"};
constexpr const char* kToolkitFlags[] = {"reverse", "testability", "widgetcount", "nograb", "dograb", "sync"};

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

}  // namespace

std::optional<int> ReadCommandLine(int argc, char** argv) {
    // Started from the menu there is nothing to read, and the start stays as it
    // always was.
    if (argc < 2) return std::nullopt;

    // The parser's usage names the program from a core application object,
    // which needs no display. It may rearrange the vector it is given, so it
    // gets a copy and argv stays whole for the real application object.
    std::vector<char*> args(argv, argv + argc);
    args.push_back(nullptr);
    int count = argc;
    QCoreApplication core(count, args.data());

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "A four-seat shedding card game, alone against the computer or with friends over the network.\n"
        "The toolkit's own options, such as -platform <name> or -style <style>, are passed on to it.");
    const QCommandLineOption help(QStringList{"h", "help"}, "Show this help and exit.");
    const QCommandLineOption version(QStringList{"v", "version"}, "Show the version and exit.");
    const QCommandLineOption noLan("no-lan",
                                   "Neither look for tables on the local network nor answer such searches.");
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(noLan);
    auto addHidden = [&parser](const char* name, const QString& valueName) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), valueName);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    };
    for (const char* name : kToolkitOptionsWithValue) addHidden(name, "value");
    for (const char* name : kToolkitFlags) addHidden(name, QString());

    if (!parser.parse(QCoreApplication::arguments())) {
        Print(stderr, "vorn: " + parser.errorText() + "\nTry 'vorn --help' for more information.\n");
        return 2;
    }
    if (parser.isSet(help)) {
        Print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        Print(stdout, "vorn " VORN_VERSION "\n");
        return 0;
    }
    // Read again by whatever listens or asks, in this same process.
    if (parser.isSet(noLan)) qputenv("VORN_LAN", "off");
    return std::nullopt;
}

}  // namespace vorn
