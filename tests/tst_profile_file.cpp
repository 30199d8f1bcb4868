#include "settings/profile_file.h"
#include "support/scratch_files.h"

#include <QTest>

#include <map>
#include <random>

using profile::readString;
using profile::writeString;

namespace {

const QByteArray noFile = "\x01"; // marks a row that starts without any file

// A name followed by a number; appended, since "name" + std::string trips a false -Wrestrict of
// GCC 12 at -O3.
std::string numbered(const char* name, int number)
{
    return std::string(name).append(std::to_string(number));
}

void readRow(const char* name, const QByteArray& text, const QByteArray& section,
             const QByteArray& key, int buffer, const QByteArray& expected)
{
    QTest::newRow(name) << text << section << key << buffer << expected;
}

void defaultRow(const char* name, const QByteArray& defaultValue, int buffer,
                const QByteArray& expected)
{
    QTest::newRow(name) << defaultValue << buffer << expected;
}

// The writes are (section, key, value) triples.
void writeRow(const char* name, const QByteArray& before, const QByteArrayList& writes,
              const QByteArray& after)
{
    QTest::newRow(name) << before << writes << after;
}

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::string pathOf(const char* name) const { return toPath(dir.filePath(name)); }

private slots:
    void cleanup() { openFoldersAgain(dir); }

    void read_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("buffer");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray sample = "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\n"
                                  "name4=a\r\n[section2]\r\n";
        readRow("key in another case", sample, "section1", "NaMe1", 100, "val1");
        readRow("quotes removed", sample, "section1", "name2", 100, "val2");
        readRow("line without =", sample, "section1", "name3", 100, "def");
        readRow("buffer of 4", sample, "section1", "name1", 4, "val");
        readRow("section without the key", sample, "section2", "name1", 100, "def");
        readRow("blanks outside the quotes", raw("[S]\r\nK=  \"   V   \"  \r\n"), "S", "K", 100,
                "   V   ");
        readRow("first key wins", raw("[S]\r\nK=V1\r\nK=V2"), "S", "K", 100, "V1");
        readRow("first section only", raw("[S]\r\n[S]\r\nK=V"), "S", "K", 100, "def");
        readRow("later section not searched", raw("[S]\r\nA=1\r\n[T]\r\n[s]\r\nK=V\r\n"), "S", "K",
                100, "def");
        readRow("text after ] ignored", raw("[sec]whoops]\r\nK=V"), "sec", "K", 100, "V");
        readRow("section name trimmed", raw("[ x ]\r\nK=V"), "x", "K", 100, "V");
        readRow("header without ]", raw("[ S \t\r\nK=V"), "S", "K", 100, "V");
        readRow("empty section name", raw("[]\r\nK=V"), "", "K", 100, "V");
        readRow("key on the header line", raw("[S]K=V\r\n"), "S", "K", 100, "def");
        readRow("empty key name", raw("[S]\r\n=v\r\n"), "S", "", 100, "v");
        readRow("before any header", raw("K=V\r\n[S]\r\n"), "S", "K", 100, "def");
        readRow("before any header, empty name", raw("K=V\r\n[]\r\n"), "", "K", 100, "def");
        readRow("LF ends", raw("[S]\nA=1\nK=2\n"), "S", "K", 100, "2");
        readRow("CR ends", raw("[S]\rA=1\rK=2\r"), "S", "K", 100, "2");
        readRow("LF then CR", raw("[S]\n\rK=2"), "S", "K", 100, "2");
        readRow("blanks: space, tab, vertical tab", raw(" \t\v[S]\r\n\v\t K \t= \tv w\v \r\n"), "S",
                "K", 100, "v w");
        readRow("form feed is no blank", raw("[S]\r\n\fK=v\r\n"), "S", "K", 100, "def");
        readRow("comment", raw("[S]\r\n;K=1\r\nK=2"), "S", "K", 100, "2");
        readRow("comment is never a key", raw("[S]\r\n ;K=1"), "S", ";K", 100, "def");
        readRow("# is a plain character", raw("[S]\r\n#K=1"), "S", "#K", 100, "1");
        readRow("no end-of-line comment", raw("[S]\r\nK=v ;x"), "S", "K", 100, "v ;x");
        readRow("inner =", raw("[S]\r\nK=a=b"), "S", "K", 100, "a=b");
        readRow("names in any ASCII case", raw("[sEcT]\r\nkEy=V"), "SECT", "KEY", 100, "V");
        readRow("only ASCII letters fold", raw("[\xC9]\r\nK=V"), "\xE9", "K", 100, "def");
        readRow("names asked stripped of spaces", raw("[S]\r\nK=V"), " S ", " K ", 100, "V");
        readRow("names asked not stripped of tabs", raw("[S]\r\nK=V"), "\tS", "K", 100, "def");
        readRow("single quotes", raw("[S]\r\nK='V'"), "S", "K", 100, "V");
        readRow("mismatched quotes stay", raw("[S]\r\nK=\"V'"), "S", "K", 100, "\"V'");
        readRow("one pair only", raw("[S]\r\nK=\"\"V\"\""), "S", "K", 100, "\"V\"");
        readRow("lone quote", raw("[S]\r\nK=\""), "S", "K", 100, "\"");
        readRow("empty quotes", raw("[S]\r\nK=\"\""), "S", "K", 100, "");
        readRow("empty value is not the default", raw("[S]\r\nK=\r\n"), "S", "K", 100, "");
        readRow("UTF-8 BOM is three bytes", raw("\xEF\xBB\xBF[S]\r\nK=V"), "S", "K", 100, "def");
        readRow("8-bit bytes unchanged", raw("[S]\r\nK=\xE9\x80\xFF\r\n"), "S", "K", 100,
                raw("\xE9\x80\xFF"));
        readRow("NUL is a plain byte", raw("[S]\r\nK=a\0b\r\n"), "S", "K", 100, raw("a\0b"));
        readRow("buffer of 1", raw("[S]\r\nK=V"), "S", "K", 1, "");
        readRow("no file", noFile, "S", "K", 100, "def");
        readRow("empty file", QByteArray(""), "S", "K", 100, "def");
    }
    void read()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(int, buffer);
        QFETCH(QByteArray, expected);
        const std::string path = pathOf("read.ini");
        QFile::remove(QFile::decodeName(path.c_str()));
        if (text != noFile)
            QVERIFY(writeFile(path, text));
        const std::string value =
            readString(section.toStdString(), key.toStdString(), "def", buffer, path);
        QCOMPARE(QByteArray::fromStdString(value), expected);
    }

    void readDefault_data()
    {
        QTest::addColumn<QByteArray>("defaultValue");
        QTest::addColumn<int>("buffer");
        QTest::addColumn<QByteArray>("expected");
        defaultRow("trailing spaces removed", "d  ", 100, "d");
        defaultRow("leading spaces and tabs kept", "  d\t", 100, "  d\t");
        defaultRow("not unquoted", "\"d\"", 100, "\"d\"");
        defaultRow("cut to the buffer", "default", 4, "def");
    }
    void readDefault()
    {
        QFETCH(QByteArray, defaultValue);
        QFETCH(int, buffer);
        QFETCH(QByteArray, expected);
        const std::string value =
            readString("S", "K", defaultValue.toStdString(), buffer, pathOf("no such file.ini"));
        QCOMPARE(QByteArray::fromStdString(value), expected);
    }

    // Each row: the file before (or noFile), writes as (section, key, value) triples, the file
    // after.
    void write_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArrayList>("writes");
        QTest::addColumn<QByteArray>("after");

        writeRow("new file", noFile, QByteArrayList{"App", "key", ""}, raw("[App]\r\nkey=\r\n"));
        writeRow("key spelled as in the file, line end added",
                 raw("[SectionName]\r\nTestKey=TestValue"),
                 QByteArrayList{"SECTIONNAME", "TESTKEY", "TestValue2"},
                 raw("[SectionName]\r\nTestKey=TestValue2\r\n"));
        writeRow("new keys after the last key", raw("[S]\r\nb=value\r\na=value\r\n"),
                 QByteArrayList{"S", "z", "", "S", "b", "", "S", "y", "", "S", "a", ""},
                 raw("[S]\r\nb=\r\na=\r\nz=\r\ny=\r\n"));
        writeRow("LF kept", raw("[S]\nK=1\nL=2\n"), QByteArrayList{"S", "K", "9"},
                 raw("[S]\nK=9\nL=2\n"));
        writeRow("CR kept", raw("[S]\rK=1\r"), QByteArrayList{"S", "K", "9"}, raw("[S]\rK=9\r"));
        writeRow("line rebuilt without blanks", raw("[S]\r\n \t k \t= 1 \r\nx\r\n"),
                 QByteArrayList{"S", "K", "2"}, raw("[S]\r\nk=2\r\nx\r\n"));
        writeRow("new key before blank lines and comments",
                 raw("[S]\r\na=1\r\n\r\n;c\r\n[T]\r\nb=2\r\n"), QByteArrayList{"S", "z", "3"},
                 raw("[S]\r\na=1\r\nz=3\r\n\r\n;c\r\n[T]\r\nb=2\r\n"));
        writeRow("new key right after a header without keys", raw("[S]\r\n;k=1\r\n[T]\r\n"),
                 QByteArrayList{"S", "k", "v"}, raw("[S]\r\nk=v\r\n;k=1\r\n[T]\r\n"));
        writeRow("header ends the file", raw("[S]"), QByteArrayList{"S", "k", "v"},
                 raw("[S]\r\nk=v\r\n"));
        writeRow("new section after a missing line end", raw("[S]\r\na=1"),
                 QByteArrayList{"T", "k", "v"}, raw("[S]\r\na=1\r\n[T]\r\nk=v\r\n"));
        writeRow("new section after a LF", raw("x\n"), QByteArrayList{"T", "k", "v"},
                 raw("x\n[T]\r\nk=v\r\n"));
        writeRow("empty file", QByteArray(""), QByteArrayList{"T", "k", "v"},
                 raw("[T]\r\nk=v\r\n"));
        writeRow("first section only", raw("[S]\r\n[S]\r\nK=V\r\n"), QByteArrayList{"s", "K", "W"},
                 raw("[S]\r\nK=W\r\n[S]\r\nK=V\r\n"));
        writeRow("names stripped of spaces", noFile, QByteArrayList{" S ", " k ", "v"},
                 raw("[S]\r\nk=v\r\n"));
        writeRow("value as given", noFile, QByteArrayList{"S", "k", " \"a\" ;b "},
                 raw("[S]\r\nk= \"a\" ;b \r\n"));
        writeRow("odd bytes kept", raw("\xFF\0junk\r\n[S]\r\nk=1\r\n\x01"),
                 QByteArrayList{"S", "k", "2"}, raw("\xFF\0junk\r\n[S]\r\nk=2\r\n\x01"));
        writeRow("keys before any header untouched", raw("k=0\r\n[S]\r\nk=1\r\n"),
                 QByteArrayList{"S", "k", "2"}, raw("k=0\r\n[S]\r\nk=2\r\n"));
        writeRow("key on the header line is no key", raw("[S]K=V\r\n"),
                 QByteArrayList{"S", "K", "W"}, raw("[S]K=V\r\nK=W\r\n"));
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArrayList, writes);
        QFETCH(QByteArray, after);
        const std::string path = pathOf("write.ini");
        QFile::remove(QFile::decodeName(path.c_str()));
        if (before != noFile)
            QVERIFY(writeFile(path, before));
        for (qsizetype i = 0; i + 2 < writes.size(); i += 3)
            QVERIFY(writeString(writes[i].toStdString(), writes[i + 1].toStdString(),
                                writes[i + 2].toStdString(), path));
        QCOMPARE(readFile(path), after);
    }

    // Many writes in random order over several sections read back as a plain map of them.
    void roundTrip()
    {
        const std::string path = pathOf("round trip.ini");
        QVERIFY(writeFile(path, raw("; kept\r\n[Other]\r\nk0=x\r\n")));
        const std::vector<std::string> values = {"",
                                                 "plain",
                                                 "inner  spaces",
                                                 "/d/d\xC3\xA9j\xC3\xA0 vu/",
                                                 "a=b;c#d[e]",
                                                 std::string(3000, 'v'),
                                                 "\xE9\xFF\x80"};
        std::map<std::pair<int, int>, std::string> expected;
        std::mt19937 random(7);
        for (int n = 0; n < 100; ++n) {
            const int section = static_cast<int>(random() % 3),
                      key = static_cast<int>(random() % 8);
            const std::string& value = values[random() % values.size()];
            QVERIFY(writeString(numbered("Sec", section), numbered("k", key), value, path));
            expected[{section, key}] = value;
        }
        for (const auto& [where, value] : expected) {
            const std::string read = readString(numbered("SEC", where.first),
                                                numbered("K", where.second), "missing", 4096, path);
            QCOMPARE(QByteArray::fromStdString(read), QByteArray::fromStdString(value));
        }
        QCOMPARE(readString("Other", "k0", "", 10, path), std::string("x"));
        QVERIFY(readFile(path).startsWith("; kept\r\n[Other]\r\nk0=x\r\n[Sec"));
    }

    void writeFailsWithoutFolder()
    {
        const std::string path = pathOf("missing folder/velmo.INI");
        QVERIFY(!writeString("S", "k", "v", path));
        QVERIFY(!QFileInfo::exists(dir.filePath("missing folder")));
        QVERIFY(!writeString("S", "k", "v", pathOf("read.ini/velmo.INI")));
    }

    void writeFailsOnAFolder()
    {
        QVERIFY(QDir(dir.path()).mkpath("a folder"));
        QVERIFY(!writeString("S", "k", "v", pathOf("a folder")));
        QVERIFY(QFileInfo(dir.filePath("a folder")).isDir());
        QVERIFY(entriesOf(pathOf("a folder")).isEmpty());
        QCOMPARE(readString("S", "k", "def", 10, pathOf("a folder")), std::string("def"));
    }

    void writeKeepsPermissionsAndLinks()
    {
        const std::string target = pathOf("target.ini"), link = pathOf("link.ini");
        QVERIFY(writeFile(target, "[S]\r\nk=1\r\n"));
        QVERIFY(::chmod(target.c_str(), 0604) == 0);
        QVERIFY(::symlink(target.c_str(), link.c_str()) == 0);
        QVERIFY(writeString("S", "k", "2", link));
        QVERIFY(QFileInfo(QFile::decodeName(link.c_str())).isSymLink());
        QCOMPARE(readFile(target), QByteArray("[S]\r\nk=2\r\n"));
        QCOMPARE(modeOf(target), mode_t(0604));
    }

    // A read-only file in a folder that takes new files: replacing it by a rename would work.
    void writeFailsOnAReadOnlyFile()
    {
        const std::string folder = pathOf("open folder"), path = folder + "/locked.ini";
        QVERIFY(::mkdir(folder.c_str(), 0777) == 0 && ::chmod(folder.c_str(), 0777) == 0);
        QVERIFY(::chmod(toPath(dir.path()).c_str(), 0755) == 0);
        const QByteArray before = "[S]\r\nk=1\r\n";
        QVERIFY(writeFile(path, before));
        QVERIFY(::chmod(path.c_str(), 0444) == 0);
        {
            OrdinaryUser user;
            QVERIFY(!writeString("S", "k", "2", path));
        }
        QCOMPARE(readFile(path), before);
        QCOMPARE(entriesOf(folder), QStringList{"locked.ini"});
    }

    void writeFailsInAReadOnlyFolder()
    {
        const std::string folder = pathOf("read-only folder"), path = folder + "/velmo.INI";
        QVERIFY(::mkdir(folder.c_str(), 0777) == 0);
        const QByteArray before = "; mine\r\n[S]\r\nk=1\r\n";
        QVERIFY(writeFile(path, before));
        QVERIFY(::chmod(path.c_str(), 0444) == 0 && ::chmod(folder.c_str(), 0555) == 0);
        QVERIFY(::chmod(toPath(dir.path()).c_str(), 0755) == 0);
        {
            OrdinaryUser user;
            QVERIFY(!writeString("S", "k", "2", path));
            QVERIFY(!writeString("S", "k", "2", folder + "/new.INI"));
        }
        QCOMPARE(readFile(path), before);
        QCOMPARE(entriesOf(folder), QStringList{"velmo.INI"});
    }

    // A folder that takes no new file but holds a writable file: that file is rewritten in place.
    void folderWithoutRoomRewritesInPlace()
    {
        const std::string folder = pathOf("closed folder"), path = folder + "/velmo.INI";
        QVERIFY(::mkdir(folder.c_str(), 0777) == 0);
        QVERIFY(writeFile(path, "; mine\r\n[S]\r\nk=1\r\n"));
        QVERIFY(::chmod(path.c_str(), 0646) == 0 && ::chmod(folder.c_str(), 0555) == 0);
        QVERIFY(::chmod(toPath(dir.path()).c_str(), 0755) == 0);
        {
            OrdinaryUser user;
            QVERIFY(writeString("S", "k", "22", path));
            QVERIFY(writeString("S", "a", "", path));
            QCOMPARE(readFile(path), QByteArray("; mine\r\n[S]\r\nk=22\r\na=\r\n"));
            QVERIFY(writeString("S", "k", "", path));
        }
        QCOMPARE(readFile(path), QByteArray("; mine\r\n[S]\r\nk=\r\na=\r\n"));
        QCOMPARE(modeOf(path), mode_t(0646));
        QCOMPARE(entriesOf(folder), QStringList{"velmo.INI"});
    }

    // In place, growing beyond the free room fails before any byte changes.
    void fullDiskInPlaceLeavesTheFileIntact()
    {
        ScratchMount scratch("size=64k,nr_inodes=2");
        SKIP_UNLESS_MOUNTED(scratch);
        const std::string path = scratch.path("velmo.INI");
        QVERIFY(writeFile(path, "; mine\r\n[S]\r\nk=1\r\n"));
        QVERIFY(!writeFile(scratch.path("other"), "x"));
        QVERIFY(writeString("S", "k", "22", path));
        const QByteArray before = readFile(path);
        QCOMPARE(before, QByteArray("; mine\r\n[S]\r\nk=22\r\n"));
        QVERIFY(!writeString("S", "big", std::string(80000, 'x'), path));
        QCOMPARE(readFile(path), before);
    }

    void fullDiskLeavesTheFileIntact()
    {
        ScratchMount scratch("size=64k");
        SKIP_UNLESS_MOUNTED(scratch);
        const std::string path = scratch.path("velmo.INI");
        const std::string big(40000, 'x');
        QVERIFY(writeString("S", "big", big, path));
        const QByteArray before = readFile(path);
        // The new file needs as much room again as the old one, which the disk does not have.
        QVERIFY(!writeString("S", "k", "v", path));
        QCOMPARE(readFile(path), before);
        QCOMPARE(entriesOf(scratch.folder()), QStringList{"velmo.INI"});
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profile_file.moc"
