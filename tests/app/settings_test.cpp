// The settings file as the window reads and writes it: defaults for what is
// missing, the old program's conversions and cuts, and the rest of the file kept.

#include <QDir>

#include "app/inifile.h"
#include "app/settings.h"
#include "net/socket/codec.h"
#include "tests/app/apptesting.h"

namespace vorn {
namespace {

using namespace apptest;

QByteArray Cp(const char* utf8) {
    return QByteArray::fromStdString(ToCp936(utf8));
}

// Options far from every default, so that a loaded default shows.
Options Unusual() {
    Options options;
    options.SetSpeed(2);
    options.SetLevel(0);
    options.animation = options.sound = options.keepPlay = false;
    options.showScore = options.showMessage = options.showConnections = options.fourColour = true;
    options.deskShape = 3;
    return options;
}

// The on/off options that are on, by name.
const QString kAllSwitches = "animation sound score message connections fourColour keepPlay";
QString Switches(const Options& o) {
    const std::pair<bool, const char*> switches[] = {{o.animation, "animation"},
                                                     {o.sound, "sound"},
                                                     {o.showScore, "score"},
                                                     {o.showMessage, "message"},
                                                     {o.showConnections, "connections"},
                                                     {o.fourColour, "fourColour"},
                                                     {o.keepPlay, "keepPlay"}};
    QStringList on;
    for (const auto& [value, name] : switches)
        if (value) on << name;
    return on.join(' ');
}
void SetSwitches(Options& o, bool on) {
    o.animation = o.sound = o.showScore = o.showMessage = o.showConnections = o.fourColour = o.keepPlay = on;
}

// What a settings file decides of the options, in one line.
QString Described(const Options& o) {
    return QString("speed %1 (%2, %3, %4), level %5 (%6), desk %7, on: %8")
        .arg(o.rateItem)
        .arg(o.cycleInterval)
        .arg(o.playDelay)
        .arg(o.stepDelay)
        .arg(o.levelItem)
        .arg(o.gambleRate)
        .arg(o.deskShape)
        .arg(Switches(o));
}

// The options and session a settings file gives, loaded over the ones given.
std::pair<Options, Session> Loaded(const QString& path, Options options = {}, Session session = {}) {
    LoadSettings(path, options, session);
    return {options, session};
}

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString FileWith(const QByteArray& bytes) {
        const QString path = dir_.filePath(QStringLiteral("Vorn.ini"));
        QFile::remove(path);
        if (!bytes.isNull() && !WriteFile(path, bytes))
            QTest::qFail("settings file not written", __FILE__, __LINE__);
        return path;
    }

  private slots:
    void initTestCase() { QVERIFY(dir_.isValid()); }

    void missingValuesGiveDefaults_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("empty file") << QByteArray("");
        QTest::newRow("other sections only") << QByteArray("[Other]\r\nRate=0\r\nSouth=x\r\n");
        QTest::newRow("keys with empty values") << QByteArray(
            "[Option]\r\nRate=\r\nLevel=\r\nAnimal=\r\nSound=\r\nScore=\r\nMessage=\r\nConnections=\r\n"
            "[Set]\r\nEast=\r\nSouth=\r\nWest=\r\nNorth=\r\nDesk=\r\n[Net]\r\nServer=\r\nPort=\r\nID=\r\n");
    }
    void missingValuesGiveDefaults() {
        QFETCH(QByteArray, file);
        const QString path = FileWith(file);
        Session named;
        named.PlayerNames = {"a", "b", "c", "d"};
        const auto [options, session] = Loaded(path, Unusual(), named);
        QCOMPARE(Described(options),
                 QString("speed 1 (500, 800, 15), level 1 (0.5), desk 0, on: animation sound keepPlay"));
        QCOMPARE(Names(session), (QStringList{"朱雀", "青龙", "玄武", "白虎"}));
        QCOMPARE(ReadIniFile(path, "Net", "Server", "127.0.0.1"), QStringLiteral("127.0.0.1"));
        QCOMPARE(ReadIniFile(path, "Net", "Port", "1005"), QStringLiteral("1005"));
        QCOMPARE(ReadIniFile(path, "Net", "ID", "Quillon"), QStringLiteral("Quillon"));
        QVERIFY(!LoadWindowPlace(path));
    }

    // key, stored value, then the checked item (-1: none, and the old values stay).
    void choiceConversions_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("item");
        const struct {
            const char* value;
            int item;
        } rows[] = {{"0", 0},      {"1", 1},   {"2", 2},     {"7", 1},      {"-1", 1},     {"2.5", 2},
                    {"3.5", 1},    {"1.5", 2}, {"0.5", 0},   {"2.4", 2},    {" 0 ", 0},    {"+2", 2},
                    {"abc", -1},   {"2x", -1}, {"32767", 1}, {"32768", -1}, {"-32768", 1}, {"-32769", -1},
                    {"70000", -1}, {"1e1", 1}, {"inf", -1},  {"True", -1}};
        for (const char* key : {"Rate", "Level"})
            for (const auto& row : rows)
                QTest::addRow("%s=%s", key, row.value)
                    << QByteArray(key) << QByteArray(row.value) << row.item;
        // The level has a fourth item, the expert; the speed has not.
        QTest::newRow("Rate=3") << QByteArray("Rate") << QByteArray("3") << 1;
        QTest::newRow("Level=3") << QByteArray("Level") << QByteArray("3") << 3;
        QTest::newRow("Level=3.4") << QByteArray("Level") << QByteArray("3.4") << 3;
        QTest::newRow("Level=4") << QByteArray("Level") << QByteArray("4") << 1;
    }
    void choiceConversions() {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(int, item);
        const QString path = FileWith("[Option]\r\n" + key + "=" + value + "\r\n");
        const Options before = Unusual();
        const auto [options, session] = Loaded(path, before);
        if (key == "Rate") {
            QCOMPARE(options.rateItem, item);
            const SpeedRow row = item >= 0
                                     ? kSpeedTable[item]
                                     : SpeedRow{before.cycleInterval, before.playDelay, before.stepDelay};
            QCOMPARE(options.cycleInterval, row.cycleInterval);
            QCOMPARE(options.playDelay, row.playDelay);
            QCOMPARE(options.stepDelay, row.stepDelay);
            QCOMPARE(options.levelItem, 1);  // the other choice loads its default
        } else {
            QCOMPARE(options.levelItem, item);
            // The expert's seats search; the rules, where they still decide, gamble as the middle level.
            const float rate = item == kExpertLevel ? kGambleRates[1]
                               : item >= 0          ? kGambleRates[item]
                                                    : before.gambleRate;
            QCOMPARE(options.gambleRate, rate);
            QCOMPARE(options.rateItem, 1);
            // What was read is written back as it was chosen.
            if (item >= 0) {
                QVERIFY(SaveSettings(path, options, session));
                QCOMPARE(ReadIniValue(path, "Option", "Level").value_or("?"), QByteArray::number(item));
            }
        }
    }

    // A switch that does not convert keeps the state it had.
    void switchConversions_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");  // 1 on, 0 off, -1 as it was
        QTest::newRow("1") << QByteArray("1") << 1;
        QTest::newRow("0") << QByteArray("0") << 0;
        QTest::newRow("-1") << QByteArray("-1") << 1;
        QTest::newRow("0.0") << QByteArray("0.0") << 0;
        QTest::newRow("0.4") << QByteArray("0.4") << 1;
        QTest::newRow("70000") << QByteArray("70000") << 1;
        QTest::newRow("True") << QByteArray("True") << 1;
        QTest::newRow("false") << QByteArray("false") << 0;
        QTest::newRow("TRUE") << QByteArray("TRUE") << 1;
        QTest::newRow("yes") << QByteArray("yes") << -1;
        QTest::newRow("Truex") << QByteArray("Truex") << -1;
    }
    void switchConversions() {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        QByteArray file = "[Option]\r\n";
        for (const char* key :
             {"Animal", "Sound", "Score", "Message", "Connections", "FourColour", "KeepPlay"})
            file += QByteArray(key) + "=" + value + "\r\n";
        for (bool start : {false, true}) {
            Options options;
            SetSwitches(options, start);
            const bool want = expected < 0 ? start : expected == 1;
            QCOMPARE(Switches(Loaded(FileWith(file), options).first), want ? kAllSwitches : QString());
        }
    }

    // The window's place: written once the window has one, read back whole
    // (it may pass the old reader's 15 bytes), anything malformed ignored.
    void windowPlace_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("read");  // empty: no place
        QTest::newRow("four numbers") << QByteArray("120,80,820,640") << "120,80,820,640";
        QTest::newRow("past 15 bytes") << QByteArray("-1280,1024,1640,1190") << "-1280,1024,1640,1190";
        QTest::newRow("blanks around") << QByteArray(" 1, 2 ,3,4 ") << "1,2,3,4";
        QTest::newRow("three numbers") << QByteArray("1,2,3") << "";
        QTest::newRow("not a number") << QByteArray("1,2,wide,4") << "";
        QTest::newRow("no size") << QByteArray("10,10,0,500") << "";
        QTest::newRow("empty") << QByteArray("") << "";
    }
    void windowPlace() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, read);
        const QString path = FileWith("[Set]\r\nDesk=0\r\nWindow=" + stored + "\r\n");
        const auto place = LoadWindowPlace(path);
        QString got;
        if (place)
            got = QString("%1,%2,%3,%4").arg((*place)[0]).arg((*place)[1]).arg((*place)[2]).arg((*place)[3]);
        QCOMPARE(got, read);
        // The settings themselves never take the place: the window keeps it current.
        auto [options, session] = Loaded(path);
        QCOMPARE(options.window, (std::array<int, 4>{}));
        if (!place) return;
        // Saved as it was read, and only the value changes in the file.
        options.window = *place;
        QVERIFY(SaveSettings(path, options, session));
        QCOMPARE(LoadWindowPlace(path), place);
        QVERIFY(ReadFile(path).contains("\r\nWindow=" + read.toLatin1() + "\r\n"));
    }

    void noPlaceWritesNoWindowKey() {
        const QString path = FileWith("");
        QVERIFY(SaveSettings(path, Options{}, Session{}));
        QVERIFY(!ReadFile(path).contains("Window"));
        QVERIFY(ReadFile(path).contains("\r\nKeepPlay=1\r\n"));
    }

    // Only "en" chooses English, whatever else is stored; the choice is written back as en or zh.
    void languageKey_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("english");
        QTest::newRow("en") << QByteArray("[Option]\r\nLanguage=en\r\n") << true;
        QTest::newRow("EN with blanks") << QByteArray("[Option]\r\nLanguage= EN \r\n") << true;
        QTest::newRow("zh") << QByteArray("[Option]\r\nLanguage=zh\r\n") << false;
        QTest::newRow("other language") << QByteArray("[Option]\r\nLanguage=fr\r\n") << false;
        QTest::newRow("no key") << QByteArray("[Option]\r\nRate=1\r\n") << false;
    }
    void languageKey() {
        QFETCH(QByteArray, file);
        QFETCH(bool, english);
        const QString path = FileWith(file);
        Options options;
        options.english = !english;
        QCOMPARE(Loaded(path, options).first.english, english);
        QVERIFY(SaveSettings(path, options, Session{}));
        QVERIFY(ReadFile(path).contains(english ? "\r\nLanguage=zh\r\n" : "\r\nLanguage=en\r\n"));
        options.english = english;
        QCOMPARE(Loaded(path, options).first.english, !english);
    }

    void deskShape_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("shape");
        QTest::newRow("square") << QByteArray("0") << 0;
        QTest::newRow("round") << QByteArray("3") << 3;
        QTest::newRow("other shape kept") << QByteArray("2") << 2;
        QTest::newRow("not a number keeps the table") << QByteArray("round") << 3;
        QTest::newRow("rounded") << QByteArray("0.5") << 0;
    }
    void deskShape() {
        QFETCH(QByteArray, value);
        QFETCH(int, shape);
        Options options;
        options.deskShape = 3;
        QCOMPARE(Loaded(FileWith("[Set]\r\nDesk=" + value + "\r\n"), options).first.deskShape, shape);
    }

    // The stored South name as code page 936 bytes, and what comes back.
    void valuesAreCutAt15Bytes_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("20 ASCII bytes")
            << QByteArray("abcdefghijklmnopqrst") << QStringLiteral("abcdefghijklmno");
        QTest::newRow("cut ends in a blank")
            << QByteArray("abcdefghijklmn opqrs") << QStringLiteral("abcdefghijklmn");
        QTest::newRow("eight Chinese characters")
            << Cp("青龙朱雀白虎玄武") << QStringLiteral("青龙朱雀白虎玄");
        QTest::newRow("odd start") << "a" + Cp("青龙朱雀白虎玄武") << QStringLiteral("a青龙朱雀白虎玄");
        QTest::newRow("two odd starts") << "ab" + Cp("青龙朱雀白虎玄武") << QStringLiteral("ab青龙朱雀白虎");
        QTest::newRow("seven fit") << Cp("青龙朱雀白虎玄") << QStringLiteral("青龙朱雀白虎玄");
        QTest::newRow("leading blanks kept") << "  " + Cp("朱雀") << QStringLiteral("  朱雀");
        QTest::newRow("trailing blanks dropped") << Cp("朱雀") + "   " << QStringLiteral("朱雀");
        QTest::newRow("empty value") << QByteArray("") << QStringLiteral("朱雀");
        QTest::newRow("blanks only") << QByteArray("    ") << QStringLiteral("朱雀");
        QTest::newRow("NUL inside") << QByteArray("ab\0cd", 5) << QStringLiteral("ab");
    }
    void valuesAreCutAt15Bytes() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, expected);
        const QString path = FileWith("[Set]\r\nSouth=" + stored + "\r\n");
        QCOMPARE(Q(Loaded(path).second.PlayerNames[0]), expected);
        QCOMPARE(ReadIniFile(path, "Set", "South", "朱雀"), expected);
    }

    // Files the settings fuzz target found: a carriage return without its line
    // feed used to stay in the value read, while writing cut the value there,
    // so the name changed at every save. Each loads to what the file says and
    // comes back the same after a save.
    void bareCarriageReturnEndsTheValue_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("seat");
        QTest::addColumn<QString>("name");
        QTest::newRow("inside a name") << QByteArray("[Set]\r\nWest=ab\rcd\r\n") << 3 << QStringLiteral("ab");
        QTest::newRow("after a Chinese name")
            << QByteArray("[Set]\nEast=\xC7\xE0\xC1\xFA\r9\n") << 1 << QStringLiteral("青龙");
        QTest::newRow("first byte of the value")
            << QByteArray("[Set]\r\nNorth=\rX\r\n") << 2 << QStringLiteral("玄武");
        // The input the fuzzer found: a broken character, a bare CR, more bytes.
        QTest::newRow("after a broken character")
            << QByteArray(
                   "[Set]\r\nEast=abcdefghijklmn\xC7\xE0\xC1\xFA\r\nSbcdefghijklmn\xC7\xE0\xC1\xFA\r\n"
                   "South=\xFF\xFE\x80\x81\r\nWest=\x81\r9\r\nLevel=3.5\r\n")
            << 3 << QString(QChar::ReplacementCharacter);
    }
    void bareCarriageReturnEndsTheValue() {
        QFETCH(QByteArray, file);
        QFETCH(int, seat);
        QFETCH(QString, name);
        const QString path = FileWith(file);
        const auto [options, session] = Loaded(path);
        QCOMPARE(Q(session.PlayerNames[size_t(seat)]), name);
        QVERIFY(SaveSettings(path, options, session));
        const Session again = Loaded(path).second;
        // A character the code page lacks is stored as '?'.
        for (int s = 0; s < 4; ++s)
            QCOMPARE(Q(again.PlayerNames[size_t(s)]), Q(FromCp936(ToCp936(session.PlayerNames[size_t(s)]))));
    }

    void missingKeyGivesTheDefaultCut() {
        const QString path = FileWith("");
        QCOMPARE(ReadIniFile(path, "Net", "ID", "abcdefghijklmnopq"), QStringLiteral("abcdefghijklmno"));
        QCOMPARE(ReadIniFile(path, "Net", "ID", "青龙朱雀白虎玄武"), QStringLiteral("青龙朱雀白虎玄"));
        QCOMPARE(ReadIniFile(path, "Net", "ID", ""), QString());
    }

    void namesAndSectionsIgnoreCase() {
        const QString path = FileWith("[option]\r\nRATE=2\r\n[SET]\r\nnorth=" + Cp("玄") + "\r\n");
        const auto [options, session] = Loaded(path);
        QCOMPARE(options.rateItem, 2);
        QCOMPARE(session.PlayerNames[2], std::string("玄"));
    }

    void roundTripKeepsForeignContent() {
        const QByteArray foreign =
            "; written by hand\r\n"
            "[Window]\r\n"
            "Left=120\r\n"
            "\r\n";
        const QString path =
            FileWith(foreign + "[Option]\r\nRate = 0\r\n; speed above\r\n[Extra]\r\nKey=v\r\n");
        Options options = Unusual();
        options.SetSpeed(0);
        options.deskShape = 2;  // an odd shape read earlier is saved as the round table
        Session session;
        session.PlayerNames = {"朱雀", "Li Lei", "韩梅梅", "白虎"};
        QVERIFY(SaveSettings(path, options, session));

        const QByteArray bytes = ReadFile(path);
        QVERIFY(bytes.startsWith(foreign + "[Option]\r\nRate =0\r\n"));
        QVERIFY(bytes.contains("; speed above\r\n[Extra]\r\nKey=v\r\n"));
        QVERIFY(bytes.contains("\r\nSouth=" + Cp("朱雀") + "\r\n"));
        QVERIFY(bytes.contains("\r\nWest=" + Cp("白虎") + "\r\n"));
        QVERIFY(bytes.contains("\r\nDesk=3\r\n"));
        QVERIFY(!bytes.contains("[Net]"));

        const auto [loaded, back] = Loaded(path);
        QCOMPARE(
            Described(loaded),
            QString(
                "speed 0 (300, 500, 5), level 0 (0.1), desk 3, on: score message connections fourColour"));
        QCOMPARE(back.PlayerNames, session.PlayerNames);
    }

    void noCheckedItemWritesNothing() {
        const QString path = FileWith("[Option]\r\nRate=2\r\nLevel=0\r\n");
        Options options;
        options.rateItem = -1;
        options.levelItem = -1;
        QVERIFY(SaveSettings(path, options, Session{}));
        QCOMPARE(ReadIniValue(path, "Option", "Rate").value_or("?"), QByteArray("2"));
        QCOMPARE(ReadIniValue(path, "Option", "Level").value_or("?"), QByteArray("0"));
    }

    void networkChoicesOnlyAfterANetworkGame() {
        const QByteArray lastNet = "[Net]\r\nServer=10.0.0.7\r\nPort=2000\r\nID=" + Cp("韩梅梅") + "\r\n";
        const QString path = FileWith(lastNet);
        Session local;
        local.ServerAddress = "192.168.1.1";
        local.ServerPort = 3000;
        QVERIFY(SaveSettings(path, Options{}, local));
        QVERIFY(ReadFile(path).startsWith(lastNet));
        QCOMPARE(ReadIniFile(path, "Net", "Server", "127.0.0.1"), QStringLiteral("10.0.0.7"));

        Session joiner;
        joiner.mode = Mode::Joiner;
        joiner.LocalSeat = 2;
        joiner.ServerAddress = "host.example";
        joiner.ServerPort = 1006;
        joiner.PlayerNames = {"朱雀", "青龙", "李雷", "白虎"};
        QVERIFY(SaveSettings(path, Options{}, joiner));
        QCOMPARE(ReadIniFile(path, "Net", "Server", "127.0.0.1"), QStringLiteral("host.example"));
        QCOMPARE(ReadIniFile(path, "Net", "Port", "1005"), QStringLiteral("1006"));
        QCOMPARE(ReadIniFile(path, "Net", "ID", "Quillon"), QStringLiteral("李雷"));

        const QString fresh = FileWith("");
        QVERIFY(SaveSettings(fresh, Options{}, local));
        QVERIFY(!ReadFile(fresh).contains("[Net]"));
    }

    void settingsFileLocation() {
        // A folder that does not exist takes no file.
        QVERIFY(!SaveSettings(dir_.filePath("no/such/folder/Vorn.ini"), Options{}, Session{}));
        QTemporaryDir program;
        QVERIFY(program.isValid());
        QCOMPARE(SettingsPath(program.path()), program.path() + "/Vorn.ini");

        const QString config =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Vorn/Vorn.ini";
        QVERIFY(QStandardPaths::isTestModeEnabled());  // the folder below is the tests' own
        QDir(QFileInfo(config).path()).removeRecursively();
        QCOMPARE(SettingsPath(program.path(), [](const QString&) { return false; }), config);
        QVERIFY(QFileInfo(QFileInfo(config).path()).isDir());

        // A folder that cannot exist, being under a plain file, is not writable.
        const QString plain = program.filePath("plain");
        QVERIFY(WriteFile(plain, "x"));
        QVERIFY(!FolderIsWritable(plain + "/bin"));
        QCOMPARE(SettingsPath(plain + "/bin"), config);

        // And the fallback file works like the one beside the program.
        Session session;
        session.PlayerNames[0] = "李雷";
        QVERIFY(SaveSettings(config, Options{}, session));
        QCOMPARE(Loaded(SettingsPath(plain + "/bin")).second.PlayerNames[0], std::string("李雷"));
    }
};

}  // namespace

VORN_TEST(TestSettings)
}  // namespace vorn

#include "settings_test.moc"
