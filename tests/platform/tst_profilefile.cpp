#include "TestSupport.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using platform::ProfileFile;

class TestProfileFile : public QObject {
    Q_OBJECT

    QTemporaryDir temp;
    std::string path;

    void write(const QByteArray& contents) {
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    QByteArray contents() const {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        path = temp.filePath(QStringLiteral("test.ini")).toStdString();
        QFile::remove(QString::fromStdString(path));
    }

    void integersAreReadFromLeadingDigits_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << QByteArray("1000") << 1000;
        QTest::newRow("negative") << QByteArray("-3") << -3;
        QTest::newRow("plus") << QByteArray("+5") << 5;
        QTest::newRow("trailing text") << QByteArray("42abc") << 42;
        QTest::newRow("blanks around") << QByteArray("  7  ") << 7;
        QTest::newRow("no digits") << QByteArray("abc") << 0;
        QTest::newRow("empty") << QByteArray("") << 0;
        QTest::newRow("sign only") << QByteArray("-") << 0;
        QTest::newRow("wraps like a 32-bit number") << QByteArray("4294967297") << 1;
    }
    void integersAreReadFromLeadingDigits() {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        write("[S]\r\nKey=" + value + "\r\n");
        QCOMPARE(ProfileFile::readInt(path, "S", "Key", 99), expected);
    }

    void missingFileSectionOrKeyGivesTheDefault() {
        QCOMPARE(ProfileFile::readInt(path, "S", "Key", 99), 99);
        write("[Other]\nKey=1\n[S]\nOtherKey=2\n;Key=3\n");
        QCOMPARE(ProfileFile::readInt(path, "S", "Key", 99), 99);
        QCOMPARE(testsupport::bytes(ProfileFile::readString(path, "S", "Key", "d")), QByteArray("d"));
    }

    void namesMatchWithoutCase() {
        write("[output GENERAL]\n  end page = 12 \n");
        QCOMPARE(ProfileFile::readInt(path, "Output General", "End Page", 0), 12);
        QCOMPARE(testsupport::bytes(ProfileFile::readString(path, "OUTPUT general", "END PAGE")),
                 QByteArray("12"));
    }

    void firstWriteCreatesTheFileWithCrLfLines() {
        QVERIFY(ProfileFile::writeString(path, "A", "x", "1"));
        QVERIFY(ProfileFile::writeString(path, "A", "y", "2"));
        QVERIFY(ProfileFile::writeString(path, "B", "z", "3"));
        QCOMPARE(contents(), QByteArray("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n"));
    }

    void writesReplaceInPlaceAndKeepEverythingElse() {
        write("; comment\n[A]\nX = old\nkeep=me\n\n[B]\nb=1\n");
        QVERIFY(ProfileFile::writeString(path, "a", "x", "new"));
        QVERIFY(ProfileFile::writeString(path, "A", "added", "5"));
        QCOMPARE(contents(),
                 QByteArray("; comment\r\n[A]\r\nx=new\r\nkeep=me\r\nadded=5\r\n\r\n[B]\r\nb=1\r\n"));
    }

    void unwritablePlaceFailsAndLeavesNothing() {
        const std::string blocked = temp.filePath(QStringLiteral("no-such-folder/test.ini")).toStdString();
        QVERIFY(!ProfileFile::writeString(blocked, "A", "x", "1"));
        QVERIFY(!QFile::exists(QString::fromStdString(blocked)));
        QVERIFY(!ProfileFile::writeString("/proc/test.ini", "A", "x", "1"));
    }

    // The user keeps the settings elsewhere and private: the link stays a link, the mode stays.
    void writingThroughALinkKeepsTheLinkAndTheMode() {
        const QString target = temp.filePath(QStringLiteral("linked/real/Settings.ini"));
        QDir().mkpath(QFileInfo(target).path());
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[A]\r\nx=1\r\n");
        file.close();
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0600), 0);
        const QString link = temp.filePath(QStringLiteral("linked/link.ini"));
        QVERIFY(QFile::link(QStringLiteral("real/Settings.ini"), link));

        QVERIFY(ProfileFile::writeString(link.toStdString(), "A", "x", "2"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ProfileFile::readInt(target.toStdString(), "A", "x", 0), 2);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0600u);
    }

    void writingLeavesNoTemporaryFiles() {
        for (int i = 0; i < 5; ++i)
            QVERIFY(ProfileFile::writeString(path, "A", "x", std::to_string(i)));
        QCOMPARE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("test.ini")});
    }

    // What stands in the file's place but is no plain file reads as a missing file, at once,
    // and is left as it is: a link to an endless device, a pipe nobody writes, a folder.
    void nonFilesReadAsMissingAndStayAsTheyAre() {
        const QString zero = temp.filePath(QStringLiteral("zero.ini"));
        const QString fifo = temp.filePath(QStringLiteral("fifo.ini"));
        const QString folder = temp.filePath(QStringLiteral("folder.ini"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(QDir().mkpath(folder));
        for (const QString& file : {zero, fifo, folder}) {
            QCOMPARE(ProfileFile::readInt(file.toStdString(), "A", "x", 7), 7);
            QVERIFY(!ProfileFile::writeString(file.toStdString(), "A", "x", "1"));
        }
        QVERIFY(QFileInfo(zero).isSymLink());
        struct stat info {};
        QCOMPARE(::stat("/dev/zero", &info), 0);
        QVERIFY(S_ISCHR(info.st_mode));
        QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
    }

    // A byte-order mark from another editor is not part of the first section's name; a file the
    // user made read-only keeps its contents, for the superuser too.
    void byteOrderMarkIsSkippedAndReadOnlyFilesAreKept() {
        write("\xEF\xBB\xBF[A]\r\nx=5\r\n");
        QCOMPARE(ProfileFile::readInt(path, "A", "x", 0), 5);
        QCOMPARE(::chmod(path.c_str(), 0444), 0);
        QVERIFY(!ProfileFile::writeString(path, "A", "x", "6"));
        QCOMPARE(contents(), QByteArray("\xEF\xBB\xBF[A]\r\nx=5\r\n"));
        QCOMPARE(::chmod(path.c_str(), 0644), 0);
        QVERIFY(ProfileFile::writeString(path, "A", "x", "6"));
        QCOMPARE(contents(), QByteArray("[A]\r\nx=6\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
