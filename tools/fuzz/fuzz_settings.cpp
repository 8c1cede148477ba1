// Arbitrary bytes as the settings file. Loading must give options in range and
// seat names that are valid UTF-8 of at most 15 code page 936 bytes; saving
// what was loaded over the file and loading it again must give the same
// options and names back (a name comes back as the code page can hold it, so
// a character it lacks returns as '?').

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "cards/options.h"
#include "cards/session.h"
#include "net/socket/codec.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "settings: %s\n", what.c_str());
    std::abort();
}

// Each fuzzing process writes in a folder of its own, so parallel jobs never
// read each other's files. A run stopped by a signal or a crash leaves its
// folder behind in the temporary folder.
const QString& FilePath() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/vorn-fuzz-settings-XXXXXX"));
    static const QString path = [] {
        if (!dir.isValid()) Fail("no temporary folder");
        return dir.filePath(QStringLiteral("Vorn.ini"));
    }();
    return path;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail("cannot write the input file");
}

void CheckLoaded(const vorn::Options& o, const vorn::Session& s) {
    if (o.rateItem < -1 || o.rateItem > 2) Fail("rateItem " + std::to_string(o.rateItem));
    if (o.levelItem < -1 || o.levelItem > vorn::kExpertLevel)
        Fail("levelItem " + std::to_string(o.levelItem));
    // The timings always belong to one row of the speed table, the gamble
    // rate to one level.
    bool row = false;
    for (const auto& r : vorn::kSpeedTable)
        row = row || (o.cycleInterval == r.cycleInterval && o.playDelay == r.playDelay &&
                      o.stepDelay == r.stepDelay);
    if (!row) Fail("timings from no speed row");
    bool level = false;
    for (float g : vorn::kGambleRates) level = level || o.gambleRate == g;
    if (!level) Fail("gamble rate of no level");
    if (o.rateItem >= 0 && o.cycleInterval != vorn::kSpeedTable[o.rateItem].cycleInterval)
        Fail("timings not those of the checked speed");
    // The expert gambles as the middle level does.
    if (o.levelItem >= 0 &&
        o.gambleRate != vorn::kGambleRates[o.levelItem == vorn::kExpertLevel ? 1 : o.levelItem])
        Fail("gamble rate not that of the checked level");
    if (o.deskShape < -32768 || o.deskShape > 32767) Fail("desk shape outside 16 bits");
    for (const std::string& name : s.PlayerNames) {
        if (name.empty()) Fail("empty name");
        if (QString::fromStdString(name).toStdString() != name) Fail("name is not valid UTF-8: " + name);
        if (vorn::ToCp936(name).size() > 15) Fail("name longer than 15 bytes: " + name);
    }
}

bool SameOptions(const vorn::Options& a, const vorn::Options& b) {
    return a.rateItem == b.rateItem && a.cycleInterval == b.cycleInterval && a.playDelay == b.playDelay &&
           a.stepDelay == b.stepDelay && a.levelItem == b.levelItem && a.gambleRate == b.gambleRate &&
           a.animation == b.animation && a.sound == b.sound && a.showScore == b.showScore &&
           a.showMessage == b.showMessage && a.showConnections == b.showConnections &&
           a.deskShape == b.deskShape && a.fourColour == b.fourColour;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString& path = FilePath();
    WriteFile(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));

    vorn::Options options;
    vorn::Session session;
    vorn::LoadSettings(path, options, session);
    CheckLoaded(options, session);

    if (!vorn::SaveSettings(path, options, session)) Fail("cannot save the settings");
    vorn::Options again;
    vorn::Session sessionAgain;
    vorn::LoadSettings(path, again, sessionAgain);

    // The file keeps only the two table shapes.
    vorn::Options expected = options;
    expected.deskShape = options.deskShape == 0 ? 0 : 3;
    if (!SameOptions(expected, again)) Fail("options differ after saving and loading");
    for (int seat = 0; seat < 4; ++seat) {
        const std::string& name = session.PlayerNames[size_t(seat)];
        const std::string stored = vorn::FromCp936(vorn::ToCp936(name));
        if (sessionAgain.PlayerNames[size_t(seat)] != stored)
            Fail("name of seat " + std::to_string(seat) + " \"" + name + "\" came back as \"" +
                 sessionAgain.PlayerNames[size_t(seat)] + "\"");
    }
    return 0;
}
