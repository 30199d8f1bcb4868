#include "platform/base/error.h"
#include "settings/TIniFile.h"
#include "settings/integer_text.h"
#include "settings/settings_io.h"
#include "settings/settings_location.h"
#include "settings/settings_path.h"
#include "support/scratch_files.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTest>

#include <algorithm>
#include <climits>
#include <random>

namespace {

const QByteArray noFile = "\x01"; // marks a row without any settings file
const std::string exeFolder = "/opt/velmo/";

// A window that records each bound assigned, and may refuse a width below its minimum.
class FakeWindow : public WindowGeometry {
public:
    QStringList assigned;
    int minimumWidth = 0;
    int l = 0, t = 0, w = 0, h = 0;
    bool maximized = false;

    int left() const override { return l; }
    int top() const override { return t; }
    int width() const override { return w; }
    int height() const override { return h; }
    void setLeft(int value) override { assigned << QStringLiteral("left %1").arg(l = value); }
    void setTop(int value) override { assigned << QStringLiteral("top %1").arg(t = value); }
    void setWidth(int value) override
    {
        w = std::max(value, minimumWidth);
        assigned << QStringLiteral("width %1").arg(value);
    }
    void setHeight(int value) override { assigned << QStringLiteral("height %1").arg(h = value); }
    bool isMaximized() const override { return maximized; }
};

QStringList defaultBounds(int screenWidth, int screenHeight)
{
    return {"width 640", "height 480", QStringLiteral("left %1").arg((screenWidth - 640) / 2),
            QStringLiteral("top %1").arg((screenHeight - 480) / 2)};
}

const QByteArray allKeys = "[Configuration]\r\n"
                           "Chemin de chargement=/d/pages/\r\n"
                           "Chemin de copie=\r\n"
                           "Chemin de d\xE9placement=/d/moved\r\n"
                           "Affichage plein \xE9"
                           "cran=0\r\n"
                           "Largeur=800\r\nHauteur=600\r\nGauche=-5\r\nHaut=20\r\n"
                           "Gestion rapide=1\r\n";

bool makeFolder(const std::string& path, mode_t mode)
{
    return ::mkdir(path.c_str(), mode) == 0 && ::chmod(path.c_str(), mode) == 0;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::string pathOf(const char* name) const { return toPath(dir.filePath(name)); }

    SettingsValues readWith(const QByteArray& file, int screenWidth, int screenHeight,
                            FakeWindow& window)
    {
        const std::string path = pathOf("read.INI");
        QFile::remove(QFile::decodeName(path.c_str()));
        if (file != noFile)
            writeFile(path, file);
        return readSettings(TIniFile(path), exeFolder, {screenWidth, screenHeight}, window);
    }

private slots:
    void cleanup()
    {
        // Also the folders that a test closed deeper down.
        QDirIterator folders(dir.path(), QDir::Dirs | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
        while (folders.hasNext())
            ::chmod(toPath(folders.next()).c_str(), 0755);
    }

    void integer_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<int>("value");
        const auto row = [](const char* text, bool parses, int value = 0) {
            QTest::newRow(text) << QByteArray(text) << parses << value;
        };
        for (const char* text : {"640", "0640", "$280", "0x280", "0X280", "x280", "X280", "  640",
                                 "000000000000640", "+640"})
            row(text, true, 640);
        row("-2147483648", true, INT_MIN);
        row("2147483647", true, INT_MAX);
        row("-0", true, 0);
        row("$FFFFFFFF", true, -1);
        row("$80000000", true, INT_MIN);
        row("$7fffffff", true, INT_MAX);
        row("$000000001", true, 1);
        row("x00000000aBcDeF", true, 0xABCDEF);
        for (const char* text : {"6 40",
                                 "640a",
                                 "640 ",
                                 "\t640",
                                 "+$10",
                                 "-0x10",
                                 "-x10",
                                 "0x",
                                 "$",
                                 "x",
                                 "",
                                 "   ",
                                 "+",
                                 "-",
                                 "--1",
                                 "2147483648",
                                 "-2147483649",
                                 "4294967936",
                                 "99999999999999999999",
                                 "$100000000",
                                 "0x1FFFFFFFF",
                                 "$G",
                                 "1e3",
                                 "0x-1",
                                 "0$1"})
            row(text, false);
    }
    void integer()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, parses);
        QFETCH(int, value);
        const std::optional<int> parsed = parseSettingsInteger(text.toStdString());
        QCOMPARE(parsed.has_value(), parses);
        if (parses)
            QCOMPARE(*parsed, value);
    }

    void flag_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("defaultValue");
        QTest::addColumn<bool>("expected");
        for (const char* text : {"1", "2", "-1", "0x1", "$FFFFFFFF"})
            QTest::newRow(text) << QByteArray(text) << false << true;
        QTest::newRow("0") << QByteArray("0") << true << false;
        QTest::newRow("True") << QByteArray("True") << false << false;
        QTest::newRow("Oui, default true") << QByteArray("Oui") << true << true;
        QTest::newRow("empty") << QByteArray("") << true << true;
    }
    void flag()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, defaultValue);
        QFETCH(bool, expected);
        const std::string path = pathOf("flag.INI");
        QVERIFY(writeFile(path, "[S]\r\nF=" + text + "\r\n"));
        QCOMPARE(TIniFile(path).readFlag("S", "F", defaultValue), expected);
        QCOMPARE(TIniFile(path).readFlag("S", "missing", defaultValue), defaultValue);
    }

    void settingsPath_data()
    {
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("folder");
        QTest::newRow("no extension") << "/opt/velmo/velmo"
                                      << "/opt/velmo/velmo.INI"
                                      << "/opt/velmo/";
        QTest::newRow("extension") << "/opt/v/pages.exe"
                                   << "/opt/v/pages.INI"
                                   << "/opt/v/";
        QTest::newRow("dot in a folder") << "/a.b/pages"
                                         << "/a.b/pages.INI"
                                         << "/a.b/";
        QTest::newRow("two dots") << "/d/v.tar.gz"
                                  << "/d/v.tar.INI"
                                  << "/d/";
        QTest::newRow("colon is plain") << "/d/C:velmo"
                                        << "/d/C:velmo.INI"
                                        << "/d/";
        QTest::newRow("at the root") << "/velmo"
                                     << "/velmo.INI"
                                     << "/";
    }
    void settingsPath()
    {
        QFETCH(QString, exe);
        QFETCH(QString, ini);
        QFETCH(QString, folder);
        QCOMPARE(QString::fromStdString(settingsFilePath(exe.toStdString())), ini);
        QCOMPARE(QString::fromStdString(executableFolder(exe.toStdString())), folder);
    }

    // Rows: the folder beside the program and its settings file, the per-user file and whether its
    // folder can be made; the file read and the one written ("" when the write fails), the folder
    // the dialogs start in while none is stored.
    void location_data()
    {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<QByteArray>("beside");
        QTest::addColumn<bool>("besideWritable");
        QTest::addColumn<QByteArray>("perUser");
        QTest::addColumn<bool>("configWritable");
        QTest::addColumn<QString>("readFrom");
        QTest::addColumn<QString>("writtenTo");
        QTest::addColumn<QString>("startFolder");
        const QByteArray admin = "; pos\xE9 par l'administrateur\r\n[Configuration]\r\n";
        const QByteArray mine = "[Configuration]\r\n; mien\r\nGestion rapide=0\r\n";
        QTest::newRow("writable folder") << true << admin << true << mine << true << "beside"
                                         << "beside"
                                         << "program";
        QTest::newRow("writable folder, no file yet")
            << true << noFile << false << noFile << true << "beside"
            << "beside"
            << "program";
        QTest::newRow("read-only folder, writable file")
            << false << admin << true << mine << true << "beside"
            << "beside"
            << "program";
        QTest::newRow("read-only folder, no per-user file")
            << false << admin << false << noFile << true << "beside"
            << "per-user"
            << "home";
        QTest::newRow("read-only folder, nothing beside")
            << false << noFile << false << noFile << true << "beside"
            << "per-user"
            << "home";
        QTest::newRow("read-only folder, per-user file")
            << false << admin << false << mine << false << "per-user"
            << "per-user"
            << "home";
        QTest::newRow("neither writable") << false << admin << false << noFile << false << "beside"
                                          << ""
                                          << "home";
    }
    void location()
    {
        QFETCH(bool, folderWritable);
        QFETCH(QByteArray, beside);
        QFETCH(bool, besideWritable);
        QFETCH(QByteArray, perUser);
        QFETCH(bool, configWritable);
        QFETCH(QString, readFrom);
        QFETCH(QString, writtenTo);
        QFETCH(QString, startFolder);
        static int count = 0;
        const std::string top = pathOf("location") + std::to_string(++count);
        const std::string bin = top + "/bin", config = top + "/config";
        const std::string besidePath = bin + "/velmo.INI";
        const std::string perUserPath = config + "/velmo/velmo.INI";
        QVERIFY(makeFolder(top, 0755) && makeFolder(bin, 0777) && makeFolder(config, 0777));
        if (beside != noFile) {
            QVERIFY(writeFile(besidePath, beside));
            QVERIFY(::chmod(besidePath.c_str(), besideWritable ? 0666 : 0444) == 0);
        }
        if (perUser != noFile) {
            QVERIFY(makeFolder(config + "/velmo", 0777) && writeFile(perUserPath, perUser));
            QVERIFY(::chmod(perUserPath.c_str(), 0666) == 0);
        }
        QVERIFY(::chmod(bin.c_str(), folderWritable ? 0777 : 0555) == 0);
        QVERIFY(::chmod(config.c_str(), configWritable ? 0777 : 0555) == 0);
        QVERIFY(::chmod(toPath(dir.path()).c_str(), 0755) == 0);
        const auto pathFor = [&](const QString& which) {
            return which == "beside" ? besidePath : which == "per-user" ? perUserPath : "";
        };

        OrdinaryUser user;
        const SettingsLocation location = settingsLocation(besidePath, perUserPath);
        QCOMPARE(location.readPath, pathFor(readFrom));
        QCOMPARE(defaultStartFolder(location, besidePath, bin + "/", "/home/u"),
                 startFolder == "home" ? std::string("/home/u/") : bin + "/");
        const QByteArray read = readFile(location.readPath);
        prepareForWriting(location);
        TIniFile ini(location.writePath);
        SettingsValues values{"/a/", "/b/", "/c/", false, true};
        FakeWindow window;
        try {
            writeSettings(ini, values, window);
            QVERIFY2(!writtenTo.isEmpty(), "the settings were written");
        } catch (const VelmoError& error) {
            QVERIFY2(writtenTo.isEmpty(), error.what());
            // The message names the per-user file, the one that could not be written.
            QCOMPARE(QString::fromUtf8(error.what()),
                     QString::fromUtf8("Impossible d'écrire dans " + perUserPath));
            QVERIFY(entriesOf(config).isEmpty());
        }
        if (writtenTo.isEmpty())
            return;
        QCOMPARE(location.writePath, pathFor(writtenTo));
        // The written file is a copy of the one read, with the values changed.
        const QByteArray written = readFile(location.writePath);
        QVERIFY(written.contains("Gestion rapide=1\r\n"));
        QVERIFY(written.startsWith(read.left(read.indexOf('\n') + 1)));
        if (location.writePath != besidePath)
            QCOMPARE(readFile(besidePath), beside == noFile ? QByteArray() : beside);
        if (location.writePath != besidePath && perUser == noFile)
            QCOMPARE(modeOf(config + "/velmo"), mode_t(0700));
    }

    void perUserPath_data()
    {
        QTest::addColumn<QString>("xdgConfigHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected");
        QTest::newRow("XDG_CONFIG_HOME") << "/x/cfg/"
                                         << "/home/a"
                                         << "/x/cfg/velmo/velmo.INI";
        QTest::newRow("unset") << ""
                               << "/home/a"
                               << "/home/a/.config/velmo/velmo.INI";
        QTest::newRow("relative XDG_CONFIG_HOME is ignored") << "cfg"
                                                             << "/home/a"
                                                             << "/home/a/.config/velmo/velmo.INI";
        QTest::newRow("no home") << ""
                                 << ""
                                 << "";
    }
    void perUserPath()
    {
        QFETCH(QString, xdgConfigHome);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(
                     perUserSettingsPath(xdgConfigHome.toStdString(), home.toStdString())),
                 expected);
    }

    // Rows: the file, the screen, a minimum width of the window; the bounds assigned in order;
    // the three folders ("*" for the executable's folder), the two flags.
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<int>("screenHeight");
        QTest::addColumn<int>("minimumWidth");
        QTest::addColumn<QStringList>("bounds");
        QTest::addColumn<QByteArrayList>("folders");
        QTest::addColumn<bool>("pleinEcran");
        QTest::addColumn<bool>("quitterRapide");
        const QByteArrayList exe{"*", "*", "*"};

        QTest::newRow("no file") << noFile << 1920 << 1080 << 0 << defaultBounds(1920, 1080) << exe
                                 << false << false;
        QTest::newRow("width 1027 on a 1024 screen")
            << QByteArray("[Configuration]\r\nLargeur=1027\r\n") << 1024 << 768 << 0
            << QStringList{"width 1027", "height 480", "left -1", "top 144"} << exe << false
            << false;
        QTest::newRow("left from the width the window took")
            << QByteArray("[Configuration]\r\nLargeur=10\r\n") << 1024 << 768 << 200
            << QStringList{"width 10", "height 480", "left 412", "top 144"} << exe << false
            << false;
        QTest::newRow("every key") << allKeys << 1024 << 768 << 0
                                   << QStringList{"width 800", "height 600", "left -5", "top 20"}
                                   << QByteArrayList{"/d/pages/", "", "/d/moved"} << false << true;
        QTest::newRow("maximized: no bounds read")
            << QByteArray(allKeys).replace("cran=0", "cran=1") << 1024 << 768 << 0 << QStringList{}
            << QByteArrayList{"/d/pages/", "", "/d/moved"} << true << true;
        QTest::newRow("keys written in UTF-8 are other keys")
            << QByteArray("[Configuration]\r\nChemin de d\xC3\xA9placement=/x/\r\n"
                          "Affichage plein \xC3\xA9"
                          "cran=1\r\n")
            << 1024 << 768 << 0 << defaultBounds(1024, 768) << exe << false << false;
        QTest::newRow("folder of 5000 characters")
            << "[Configuration]\r\nChemin de copie=" + QByteArray(2047, 'a') +
                   QByteArray(2953, 'b') + "\r\n"
            << 1024 << 768 << 0 << defaultBounds(1024, 768)
            << QByteArrayList{"*", QByteArray(2047, 'a'), "*"} << false << false;
    }
    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, screenWidth);
        QFETCH(int, screenHeight);
        QFETCH(int, minimumWidth);
        QFETCH(QStringList, bounds);
        QFETCH(QByteArrayList, folders);
        QFETCH(bool, pleinEcran);
        QFETCH(bool, quitterRapide);
        FakeWindow window;
        window.minimumWidth = minimumWidth;
        const SettingsValues values = readWith(file, screenWidth, screenHeight, window);
        QCOMPARE(window.assigned, bounds);
        const auto folder = [](const QByteArray& expected) {
            return expected == "*" ? exeFolder : expected.toStdString();
        };
        QCOMPARE(values.Chemin_Chargement, folder(folders[0]));
        QCOMPARE(values.Chemin_Copie, folder(folders[1]));
        QCOMPARE(values.Chemin_Deplacement, folder(folders[2]));
        QCOMPARE(values.Plein_Ecran, pleinEcran);
        QCOMPARE(values.Quitter_Rapide, quitterRapide);
        // Reading never creates the file.
        QVERIFY(file != noFile || !QFileInfo::exists(dir.filePath("read.INI")));
    }

    // Files that hold nothing usable give every default, without a crash.
    void badFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        std::mt19937 random(1);
        QByteArray garbage(1 << 16, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random());
        QTest::newRow("binary garbage") << garbage;
        QTest::newRow("10 MB") << QByteArray("Largeur=1\r\n").repeated(1000000) +
                                      "[configuration]\r\nLargeur=99999999999\r\nHauteur=\r\n";
        QTest::newRow("NUL bytes") << QByteArray(1 << 16, '\0');
        QTest::newRow("NUL bytes in keys and values")
            << raw("[Configuration]\r\nLargeur=8\0"
                   "00\r\nHauteur\0=600\r\n\0Gauche=5\r\n");
        QTest::newRow("100 kB line")
            << "[Configuration]\r\nLargeur=" + QByteArray(100000, '9') + "\r\n";
        QTest::newRow("no final line end") << QByteArray("[Configuration]\r\nLargeur=x");
        QTest::newRow("CR-only line ends")
            << QByteArray("[Configuration]\rLargeur=4294967297\rGestion rapide=oui\r");
        QTest::newRow("beyond 32 bits")
            << QByteArray("[Configuration]\r\nLargeur=4294967297\r\nHauteur=$100000001\r\n"
                          "Gauche=-2147483649\r\nHaut=2147483648\r\n"
                          "Affichage plein \xE9"
                          "cran=4294967296\r\n");
    }
    void badFile()
    {
        QFETCH(QByteArray, file);
        FakeWindow window;
        const SettingsValues values = readWith(file, 1024, 768, window);
        QCOMPARE(window.assigned, defaultBounds(1024, 768));
        QCOMPARE(values.Chemin_Chargement, exeFolder);
        QCOMPARE(values.Chemin_Copie, exeFolder);
        QCOMPARE(values.Chemin_Deplacement, exeFolder);
        QVERIFY(!values.Plein_Ecran);
        QVERIFY(!values.Quitter_Rapide);
    }

    void writeFreshFile()
    {
        const std::string path = pathOf("fresh.INI");
        TIniFile ini(path);
        SettingsValues values{"/d/pages/", "/d/copies/", "/d/d\xC3\xA9plac\xC3\xA9s", false, true};
        FakeWindow window;
        window.l = -5, window.t = 20, window.w = 800, window.h = 600, window.maximized = true;
        writeSettings(ini, values, window);
        QVERIFY(values.Plein_Ecran);
        QCOMPARE(readFile(path), QByteArray("[Configuration]\r\n"
                                            "Chemin de chargement=/d/pages/\r\n"
                                            "Chemin de copie=/d/copies/\r\n"
                                            "Chemin de d\xE9placement=/d/d\xC3\xA9plac\xC3\xA9s\r\n"
                                            "Affichage plein \xE9"
                                            "cran=1\r\n"
                                            "Largeur=800\r\n"
                                            "Hauteur=600\r\n"
                                            "Gauche=-5\r\n"
                                            "Haut=20\r\n"
                                            "Gestion rapide=1\r\n"));
    }

    // Over a file edited by hand, only the values change; what was written reads back.
    void writeOverExistingFile()
    {
        const std::string path = pathOf("edited.INI");
        QVERIFY(writeFile(path, "; mine\n[Autre]\nx=1\n[CONFIGURATION]\nLARGEUR = 1\n"
                                "gestion rapide=1\n\n"));
        TIniFile ini(path);
        SettingsValues values{"/a/", "", "/c", true, false};
        FakeWindow window;
        window.l = INT_MIN, window.t = 0, window.w = 1, window.h = 2;
        writeSettings(ini, values, window);
        QVERIFY(!values.Plein_Ecran);
        QCOMPARE(readFile(path), QByteArray("; mine\n[Autre]\nx=1\n[CONFIGURATION]\nLARGEUR=1\n"
                                            "gestion rapide=0\n"
                                            "Chemin de chargement=/a/\r\n"
                                            "Chemin de copie=\r\n"
                                            "Chemin de d\xE9placement=/c\r\n"
                                            "Affichage plein \xE9"
                                            "cran=0\r\n"
                                            "Hauteur=2\r\n"
                                            "Gauche=-2147483648\r\n"
                                            "Haut=0\r\n\n"));
        FakeWindow reread;
        const SettingsValues back = readSettings(ini, exeFolder, {1024, 768}, reread);
        QCOMPARE(reread.assigned,
                 (QStringList{"width 1", "height 2", "left -2147483648", "top 0"}));
        QCOMPARE(back.Chemin_Chargement, values.Chemin_Chargement);
        QCOMPARE(back.Chemin_Copie, values.Chemin_Copie);
        QCOMPARE(back.Chemin_Deplacement, values.Chemin_Deplacement);
        QCOMPARE(back.Quitter_Rapide, false);
    }

    void writeFailsAtTheFirstKey()
    {
        const std::string folder = pathOf("read-only"), path = folder + "/velmo.INI";
        QVERIFY(::mkdir(folder.c_str(), 0555) == 0);
        QVERIFY(::chmod(toPath(dir.path()).c_str(), 0755) == 0);
        TIniFile ini(path);
        SettingsValues values{"/a/", "/b/", "/c/", true, true};
        FakeWindow window;
        OrdinaryUser user;
        try {
            writeSettings(ini, values, window);
            QFAIL("writing into a read-only folder succeeded");
        } catch (const VelmoError& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QString::fromUtf8("Impossible d'écrire dans " + path));
        }
        QVERIFY(values.Plein_Ecran);
        QVERIFY(entriesOf(folder).isEmpty());
    }

    // Each key is its own write: those before the failing one stay, the later ones are not made.
    void writeStopsAtTheFailingKey()
    {
        ScratchMount scratch("size=64k");
        SKIP_UNLESS_MOUNTED(scratch);
        // The third key's new file no longer fits beside the old one.
        const std::string big(16000, 'a');
        SettingsValues values{big, big, big, false, true};
        FakeWindow window;
        window.maximized = true;
        TIniFile ini(scratch.path("velmo.INI"));
        QVERIFY_THROWS_EXCEPTION(VelmoError, writeSettings(ini, values, window));
        QCOMPARE(readFile(scratch.path("velmo.INI")),
                 QByteArray::fromStdString("[Configuration]\r\nChemin de chargement=" + big +
                                           "\r\nChemin de copie=" + big + "\r\n"));
        QVERIFY(!values.Plein_Ecran);
        QCOMPARE(entriesOf(scratch.folder()), QStringList{"velmo.INI"});
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
