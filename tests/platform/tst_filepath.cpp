#include "platform/FilePath.h"

#include "../support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using platform::CFilePath;

class TestFilePath : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void splitsParts_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("relative");

        QTest::newRow("last dot splits") << "/Docs/report.final.pdf"
                                         << "/Docs/"
                                         << "report.final"
                                         << "pdf"
                                         << "report.final.pdf" << false;
        QTest::newRow("no extension") << "/Docs/README"
                                      << "/Docs/"
                                      << "README"
                                      << ""
                                      << "README" << false;
        QTest::newRow("name only") << "a.pdf"
                                   << ""
                                   << "a"
                                   << "pdf"
                                   << "a.pdf" << false;
        QTest::newRow("relative") << "sub/dir/a.pdf"
                                  << "sub/dir/"
                                  << "a"
                                  << "pdf"
                                  << "a.pdf" << true;
        QTest::newRow("dot in folder only") << "/a.b/readme"
                                            << "/a.b/"
                                            << "readme"
                                            << ""
                                            << "readme" << false;
        QTest::newRow("trailing slash") << "/Docs/sub/"
                                        << "/Docs/sub/"
                                        << ""
                                        << ""
                                        << "" << false;
        QTest::newRow("root file") << "/x.txt"
                                   << "/"
                                   << "x"
                                   << "txt"
                                   << "x.txt" << false;
        // Hidden files and names ending in a dot keep their whole name, so fullPath() still
        // names the same file.
        QTest::newRow("dotfile") << "/home/u/.bashrc"
                                 << "/home/u/"
                                 << ".bashrc"
                                 << ""
                                 << ".bashrc" << false;
        QTest::newRow("dotfile with extension") << "/home/u/.notes.pdf"
                                                << "/home/u/"
                                                << ".notes"
                                                << "pdf"
                                                << ".notes.pdf" << false;
        QTest::newRow("trailing dot") << "/tmp/report."
                                      << "/tmp/"
                                      << "report."
                                      << ""
                                      << "report." << false;
        QTest::newRow("backslash is a name character") << "/tmp/a\\b.pdf"
                                                       << "/tmp/"
                                                       << "a\\b"
                                                       << "pdf"
                                                       << "a\\b.pdf" << false;
        QTest::newRow("quoted") << "\"/My Docs/a b.pdf\""
                                << "/My Docs/"
                                << "a b"
                                << "pdf"
                                << "a b.pdf" << false;
        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << ""
                               << "" << false;
        QTest::newRow("only quotes") << "\"\""
                                     << ""
                                     << ""
                                     << ""
                                     << "" << false;
    }

    void splitsParts() {
        QFETCH(QString, path);
        QFETCH(QString, directory);
        const CFilePath file(path);
        QCOMPARE(file.drive(), QString());
        QCOMPARE(file.directory(), directory);
        QTEST(file.title(), "title");
        QTEST(file.extension(), "extension");
        QTEST(file.fileName(), "fileName");
        QTEST(file.isRelative(), "relative");
        QCOMPARE(file.folder(), directory);
        QCOMPARE(file.fullPath(), directory + file.fileName());
        QCOMPARE(file.originalPath(), path);
        QCOMPARE(file.extensionWithDot(),
                 file.extension().isEmpty() ? QString() : QLatin1Char('.') + file.extension());
    }

    void treatAsDirectory() {
        const CFilePath folder(QStringLiteral("/Docs/reports.2024"), true);
        QCOMPARE(folder.directory(), QStringLiteral("/Docs/reports.2024/"));
        QCOMPARE(folder.title(), QString());
        QCOMPARE(folder.extension(), QString());
        QCOMPARE(folder.fullPath(), QStringLiteral("/Docs/reports.2024/"));

        const CFilePath withSlash(QStringLiteral("/Docs/"), true);
        QCOMPARE(withSlash.directory(), QStringLiteral("/Docs/"));
    }

    void directoryComponents() {
        const CFilePath file(QStringLiteral("/home/user//docs/a.pdf"));
        QCOMPARE(file.directoryComponent(-1), QStringLiteral("/home/user//docs/"));
        QCOMPARE(file.directoryComponentCount(), 3);
        QCOMPARE(file.directoryComponent(0), QStringLiteral("home"));
        QCOMPARE(file.directoryComponent(1), QStringLiteral("user"));
        QCOMPARE(file.directoryComponent(2), QStringLiteral("docs"));
        QCOMPARE(file.directoryComponent(3), QString());
        QCOMPARE(file.directoryComponent(-2), QString());

        const CFilePath relative(QStringLiteral("a/b/c.pdf"));
        QCOMPARE(relative.directoryComponentCount(), 2);
        QCOMPARE(relative.directoryComponent(0), QStringLiteral("a"));
    }

    void longPathResolvesLinksAndKeepsMissingPaths() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString target = dir.filePath(QStringLiteral("real.pdf"));
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString link = dir.filePath(QStringLiteral("link.pdf"));
        QVERIFY(QFile::link(target, link));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString canonicalDir = QFileInfo(dir.path()).canonicalFilePath();
        QCOMPARE(CFilePath(link).longPath(), canonicalDir + QStringLiteral("/real.pdf"));
        QCOMPARE(CFilePath(dir.path() + QStringLiteral("/sub/../real.pdf")).longPath(),
                 canonicalDir + QStringLiteral("/real.pdf"));
        QCOMPARE(CFilePath(QStringLiteral("/no/such/file.pdf")).longPath(),
                 QStringLiteral("/no/such/file.pdf"));
    }

    void sizeOfLargeSparseFileIsExact() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("big.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const qint64 fiveGiB = 5LL * 1024 * 1024 * 1024 + 7;
        if (!file.resize(fiveGiB))
            QSKIP("the file system cannot hold a 5 GiB sparse file");
        file.close();
        quint64 bytes = 0;
        QVERIFY(CFilePath(path).size(bytes));
        QCOMPARE(bytes, quint64(fiveGiB));
    }

    void missingOrUnusableFileReportsFailure_data() {
        QTest::addColumn<QString>("which");
        QTest::newRow("missing") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("empty path") << "empty";
    }

    void missingOrUnusableFileReportsFailure() {
        QFETCH(QString, which);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString path;
        if (which == QLatin1String("missing"))
            path = dir.filePath(QStringLiteral("gone.pdf"));
        else if (which == QLatin1String("folder"))
            path = dir.path();
        const CFilePath file(path);
        quint64 bytes = 12345;
        QVERIFY(!file.size(bytes));
        QCOMPARE(bytes, quint64(0));
        QDateTime time = QDateTime::currentDateTime();
        QVERIFY(!file.time(CFilePath::CreationTime, time));
        QVERIFY(!time.isValid());
    }

    void unreadableFileReportsFailure() {
        if (::geteuid() == 0)
            QSKIP("the superuser can read any file");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("locked.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.close();
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        quint64 bytes = 1;
        QVERIFY(!CFilePath(path).size(bytes));
        QCOMPARE(bytes, quint64(0));
    }

    void namedPipeDoesNotBlock() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        quint64 bytes = 1;
        QVERIFY(CFilePath(path).size(bytes)); // returns at once instead of waiting for a writer
        QCOMPARE(bytes, quint64(0));
    }

    void timesAreLocalAndPickTheRightStamp() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dated.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write("data");
        QVERIFY(file.flush());
        const QDateTime written(QDate(2020, 3, 4), QTime(5, 6, 7));
        const QDateTime accessed(QDate(2021, 8, 9), QTime(10, 11, 12));
        QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
        QVERIFY(file.setFileTime(accessed, QFileDevice::FileAccessTime));
        file.close();

        const CFilePath pdf(path);
        QDateTime time;
        QVERIFY(pdf.time(CFilePath::LastWriteTime, time));
        QCOMPARE(time, written);
        QCOMPARE(time.timeSpec(), Qt::LocalTime);
        QVERIFY(pdf.time(CFilePath::LastAccessTime, time));
        QCOMPARE(time, accessed);
        QVERIFY(pdf.time(7, time));
        QCOMPARE(time, accessed);

        // Creation: the birth time (just now) where recorded, else the modification time.
        QVERIFY(pdf.time(CFilePath::CreationTime, time));
        const QDateTime birth = QFileInfo(path).birthTime();
        if (birth.isValid())
            QVERIFY(qAbs(time.secsTo(birth)) <= 1);
        else
            QCOMPARE(time, written);
    }
};

QTEST_GUILESS_MAIN(TestFilePath)
#include "tst_filepath.moc"
