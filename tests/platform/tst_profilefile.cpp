#include "TestSupport.h"
#include "platform/ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::ProfileFile;

class TestProfileFile : public QObject {
    Q_OBJECT

    QTemporaryDir temp;
    QString path;

    void write(const QByteArray& contents) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    QByteArray contents() const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        path = temp.filePath(QStringLiteral("test.ini"));
        QFile::remove(path);
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
        QCOMPARE(ProfileFile::readInt(path, QStringLiteral("S"), QStringLiteral("Key"), 99), expected);
    }

    void missingFileSectionOrKeyGivesTheDefault() {
        QCOMPARE(ProfileFile::readInt(path, QStringLiteral("S"), QStringLiteral("Key"), 99), 99);
        write("[Other]\nKey=1\n[S]\nOtherKey=2\n;Key=3\n");
        QCOMPARE(ProfileFile::readInt(path, QStringLiteral("S"), QStringLiteral("Key"), 99), 99);
        QCOMPARE(
            ProfileFile::readString(path, QStringLiteral("S"), QStringLiteral("Key"), QStringLiteral("d")),
            QStringLiteral("d"));
    }

    void namesMatchWithoutCase() {
        write("[output GENERAL]\n  end page = 12 \n");
        QCOMPARE(ProfileFile::readInt(path, QStringLiteral("Output General"), QStringLiteral("End Page"), 0),
                 12);
        QCOMPARE(ProfileFile::readString(path, QStringLiteral("OUTPUT general"), QStringLiteral("END PAGE")),
                 QStringLiteral("12"));
    }

    void firstWriteCreatesTheFileWithCrLfLines() {
        QVERIFY(
            ProfileFile::writeString(path, QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1")));
        QVERIFY(
            ProfileFile::writeString(path, QStringLiteral("A"), QStringLiteral("y"), QStringLiteral("2")));
        QVERIFY(
            ProfileFile::writeString(path, QStringLiteral("B"), QStringLiteral("z"), QStringLiteral("3")));
        QCOMPARE(contents(), QByteArray("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n"));
    }

    void writesReplaceInPlaceAndKeepEverythingElse() {
        write("; comment\n[A]\nX = old\nkeep=me\n\n[B]\nb=1\n");
        QVERIFY(
            ProfileFile::writeString(path, QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("new")));
        QVERIFY(ProfileFile::writeString(path, QStringLiteral("A"), QStringLiteral("added"),
                                         QStringLiteral("5")));
        QCOMPARE(contents(),
                 QByteArray("; comment\r\n[A]\r\nx=new\r\nkeep=me\r\nadded=5\r\n\r\n[B]\r\nb=1\r\n"));
    }

    void unwritablePlaceFailsAndLeavesNothing() {
        const QString blocked = temp.filePath(QStringLiteral("no-such-folder/test.ini"));
        QVERIFY(!ProfileFile::writeString(blocked, QStringLiteral("A"), QStringLiteral("x"),
                                          QStringLiteral("1")));
        QVERIFY(!QFile::exists(blocked));
        QVERIFY(!ProfileFile::writeString(QStringLiteral("/proc/test.ini"), QStringLiteral("A"),
                                          QStringLiteral("x"), QStringLiteral("1")));
    }

    void writingLeavesNoTemporaryFiles() {
        for (int i = 0; i < 5; ++i)
            QVERIFY(
                ProfileFile::writeString(path, QStringLiteral("A"), QStringLiteral("x"), QString::number(i)));
        QCOMPARE(QDir(temp.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("test.ini")});
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
