#include "platform/FilePath.h"

#include "../support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using platform::CFilePath;

namespace {

// Paths travel as the file system's bytes; texts in the checks are QStrings for readable failures.
std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString shown(const std::string& text) {
    return QFile::decodeName(QByteArray::fromStdString(text));
}

} // namespace

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
        const CFilePath file(native(path));
        QCOMPARE(shown(file.drive()), QString());
        QCOMPARE(shown(file.directory()), directory);
        QTEST(shown(file.title()), "title");
        QTEST(shown(file.extension()), "extension");
        QTEST(shown(file.fileName()), "fileName");
        QTEST(file.isRelative(), "relative");
        QCOMPARE(shown(file.folder()), directory);
        QCOMPARE(shown(file.fullPath()), directory + shown(file.fileName()));
        QCOMPARE(shown(file.originalPath()), path);
        QCOMPARE(shown(file.extensionWithDot()),
                 file.extension().empty() ? QString() : QLatin1Char('.') + shown(file.extension()));
    }

    void treatAsDirectory() {
        const CFilePath folder("/Docs/reports.2024", true);
        QCOMPARE(shown(folder.directory()), QStringLiteral("/Docs/reports.2024/"));
        QCOMPARE(shown(folder.title()), QString());
        QCOMPARE(shown(folder.extension()), QString());
        QCOMPARE(shown(folder.fullPath()), QStringLiteral("/Docs/reports.2024/"));
        QVERIFY(!folder.isRelative());

        const CFilePath withSlash("/Docs/", true);
        QCOMPARE(shown(withSlash.directory()), QStringLiteral("/Docs/"));

        const CFilePath bare("out", true);
        QCOMPARE(shown(bare.directory()), QStringLiteral("out/"));
        QVERIFY(bare.isRelative());
    }

    void directoryComponents() {
        const CFilePath file("/home/user//docs/a.pdf");
        QCOMPARE(shown(file.directoryComponent(-1)), QStringLiteral("/home/user//docs/"));
        QCOMPARE(file.directoryComponentCount(), 3);
        QCOMPARE(shown(file.directoryComponent(0)), QStringLiteral("home"));
        QCOMPARE(shown(file.directoryComponent(1)), QStringLiteral("user"));
        QCOMPARE(shown(file.directoryComponent(2)), QStringLiteral("docs"));
        QCOMPARE(shown(file.directoryComponent(3)), QString());
        QCOMPARE(shown(file.directoryComponent(-2)), QString());

        const CFilePath relative("a/b/c.pdf");
        QCOMPARE(relative.directoryComponentCount(), 2);
        QCOMPARE(shown(relative.directoryComponent(0)), QStringLiteral("a"));
        QCOMPARE(shown(relative.directoryComponent(1)), QStringLiteral("b"));

        QCOMPARE(CFilePath("a.pdf").directoryComponentCount(), 0);
        QCOMPARE(CFilePath("/a.pdf").directoryComponentCount(), 0);
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
        QCOMPARE(shown(CFilePath(native(link)).longPath()), canonicalDir + QStringLiteral("/real.pdf"));
        QCOMPARE(shown(CFilePath(native(dir.path() + QStringLiteral("/sub/../real.pdf"))).longPath()),
                 canonicalDir + QStringLiteral("/real.pdf"));
        QCOMPARE(shown(CFilePath(native(dir.path() + QStringLiteral("/sub")), true).longPath()),
                 canonicalDir + QStringLiteral("/sub/"));
        QCOMPARE(shown(CFilePath("/no/such/file.pdf").longPath()), QStringLiteral("/no/such/file.pdf"));
        QCOMPARE(shown(CFilePath("").longPath()), QString());
    }

    // A name that is not valid UTF-8 (an old Latin-1 archive) must still name the same file.
    void nonUtf8NameKeepsItsBytes() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string path = native(dir.path()) + "/caf\xe9.final.pdf";
        // Qt would turn the byte into a replacement character, so the file is made directly.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0);
        // QTemporaryDir cannot name the file to remove it either.
        const std::unique_ptr<const char, int (*)(const char*)> removeLater(path.c_str(), ::unlink);
        QCOMPARE(::write(fd, "abc", 3), ssize_t(3));
        ::close(fd);
        const CFilePath pdf(path);
        QVERIFY(pdf.title() == "caf\xe9.final");
        QVERIFY(pdf.extension() == "pdf");
        QVERIFY(pdf.fullPath() == path);
        std::uint64_t bytes = 0;
        QVERIFY(pdf.size(bytes));
        QCOMPARE(bytes, std::uint64_t(3));
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
        std::uint64_t bytes = 0;
        QVERIFY(CFilePath(native(path)).size(bytes));
        QCOMPARE(bytes, std::uint64_t(fiveGiB));
    }

    void missingOrUnusableFileReportsFailure_data() {
        QTest::addColumn<QString>("which");
        QTest::newRow("missing") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("empty path") << "empty";
        // The system would read only up to the NUL and report on "real.pdf" instead.
        QTest::newRow("NUL inside the path") << "nul";
    }

    void missingOrUnusableFileReportsFailure() {
        QFETCH(QString, which);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile real(dir.filePath(QStringLiteral("real.pdf")));
        QVERIFY(real.open(QIODevice::WriteOnly));
        real.write("content");
        real.close();
        std::string path;
        if (which == QLatin1String("missing"))
            path = native(dir.filePath(QStringLiteral("gone.pdf")));
        else if (which == QLatin1String("folder"))
            path = native(dir.path());
        else if (which == QLatin1String("nul"))
            path = native(real.fileName()) + std::string(1, '\0') + "/../other.pdf";
        const CFilePath file(path);
        std::uint64_t bytes = 12345;
        QVERIFY(!file.size(bytes));
        QCOMPARE(bytes, std::uint64_t(0));
        std::time_t time = 1234567890;
        QVERIFY(!file.time(CFilePath::CreationTime, time));
        QCOMPARE(time, std::time_t(0));
        QVERIFY(file.longPath() == file.fullPath());
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
        std::uint64_t bytes = 1;
        QVERIFY(!CFilePath(native(path)).size(bytes));
        QCOMPARE(bytes, std::uint64_t(0));
    }

    void namedPipeDoesNotBlock() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        std::uint64_t bytes = 1;
        QVERIFY(CFilePath(native(path)).size(bytes)); // returns at once instead of waiting for a writer
        QCOMPARE(bytes, std::uint64_t(0));
    }

    void timesPickTheRightStamp() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("dated.pdf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write("data");
        QVERIFY(file.flush());
        // Fractions of a second close to the next one: the stamp is cut to whole seconds, not rounded.
        const QDateTime written(QDate(2020, 3, 4), QTime(5, 6, 7, 900));
        const QDateTime accessed(QDate(2021, 8, 9), QTime(10, 11, 12, 900));
        QVERIFY(file.setFileTime(written, QFileDevice::FileModificationTime));
        QVERIFY(file.setFileTime(accessed, QFileDevice::FileAccessTime));
        file.close();

        const CFilePath pdf(native(path));
        std::time_t time = 0;
        QVERIFY(pdf.time(CFilePath::LastWriteTime, time));
        QCOMPARE(qint64(time), written.toSecsSinceEpoch());
        QVERIFY(pdf.time(CFilePath::LastAccessTime, time));
        QCOMPARE(qint64(time), accessed.toSecsSinceEpoch());
        QVERIFY(pdf.time(7, time));
        QCOMPARE(qint64(time), accessed.toSecsSinceEpoch());

        // Creation: the birth time (just now) where recorded, else the modification time.
        QVERIFY(pdf.time(CFilePath::CreationTime, time));
        const QDateTime birth = QFileInfo(path).birthTime();
        if (birth.isValid())
            QVERIFY(qAbs(qint64(time) - birth.toSecsSinceEpoch()) <= 1);
        else
            QCOMPARE(qint64(time), written.toSecsSinceEpoch());
    }
};

QTEST_GUILESS_MAIN(TestFilePath)
#include "tst_filepath.moc"
