#include "TestSupport.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::AtomicFile;
using platform::Status;

class TestAtomicFile : public QObject {
    Q_OBJECT

    static bool writeFile(const std::string& path, const std::string& text) {
        AtomicFile file(path);
        if (!file.open().ok())
            return false;
        file.write(text);
        return file.commit().ok();
    }

    // Writes as an ordinary user: the superuser may create files in any folder, which would
    // hide what a closed folder does to everyone else.
    static bool writeFileUnprivileged(const std::string& path, const std::string& text) {
        if (::geteuid() != 0)
            return writeFile(path, text);
        const pid_t child = ::fork();
        if (child == 0) {
            const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
            ::_exit(dropped && writeFile(path, text) ? 0 : 1);
        }
        int status = 0;
        return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }

    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void temporaryNamesFitAFolderEntry_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("short") << QStringLiteral("a.txt");
        QTest::newRow("255 ASCII bytes") << QString(251, QLatin1Char('n')) + QStringLiteral(".txt");
        QTest::newRow("three-byte characters") << QString(83, QChar(0x4E2D)) + QStringLiteral(".txt");
        QTest::newRow("four-byte characters")
            << QString::fromUtf8("\xF0\x9F\x98\x80").repeated(62) + QStringLiteral(".txt");
    }
    void temporaryNamesFitAFolderEntry() {
        QFETCH(QString, name);
        const std::string temporary = AtomicFile::temporaryNameFor("/x/" + name.toStdString(), "0123abcd");
        QVERIFY(temporary.size() <= 255);
        QVERIFY(temporary.ends_with(".0123abcd.part"));
        // Cut at a character, never inside one.
        QCOMPARE(QString::fromUtf8(temporary).toUtf8().toStdString(), temporary);
        QVERIFY(!QString::fromUtf8(temporary).contains(QChar::ReplacementCharacter));

        QTemporaryDir folder;
        const QString target = folder.filePath(name);
        QVERIFY(writeFile(target.toStdString(), "text"));
        QCOMPARE(read(target), QByteArray("text"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }

    // A folder that takes no new file still lets its writable files be rewritten.
    void closedFolderRewritesAWritableFileInPlace() {
        QTemporaryDir temp;
        QCOMPARE(::chmod(QFile::encodeName(temp.path()).constData(), 0755), 0);
        const QString folder = temp.filePath(QStringLiteral("closed"));
        QVERIFY(QDir().mkdir(folder));
        const QString target = folder + QStringLiteral("/out.txt");
        QFile stale(target);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("old text, longer than the new one");
        stale.close();
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0666), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);

        const bool written = writeFileUnprivileged(target.toStdString(), "new");
        const bool newFileRefused =
            !writeFileUnprivileged((folder + QStringLiteral("/new.txt")).toStdString(), "x");
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
        QVERIFY(written);
        QVERIFY(newFileRefused);
        QCOMPARE(read(target), QByteArray("new"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.txt")});
    }

    // A dead run's temporaries of the output go when it is written again; a live writer's
    // (locked), another output's and another user's stay.
    void staleTemporariesOfTheOutputGoLiveOnesStay() {
        QTemporaryDir folder;
        const std::string target = (folder.path() + QStringLiteral("/out.txt")).toStdString();
        const auto temporary = [&](const char* suffix, const std::string& of) {
            const QString name = folder.path() + QLatin1Char('/') +
                                 QString::fromStdString(AtomicFile::temporaryNameFor(of, suffix));
            QFile file(name);
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot make %s", qPrintable(name));
            return name;
        };
        const QString stale = temporary("0badf00d", target);
        const QString live = temporary("00c0ffee", target);
        const QString other = temporary("0ddba115", target + "x");
        const QString foreign = temporary("0000beef", target);
        if (::geteuid() == 0)
            QCOMPARE(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
        const int held = ::open(QFile::encodeName(live).constData(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(held, LOCK_EX), 0);
        QVERIFY(writeFile(target, "text"));
        ::close(held);
        QVERIFY(!QFile::exists(stale));
        QVERIFY(QFile::exists(live));
        QVERIFY(QFile::exists(other));
        QCOMPARE(QFile::exists(foreign), ::geteuid() == 0);
    }

    // Another user who swaps the reserved temporary for a file or link of theirs gets nothing
    // published: the name no longer holds the file that was written.
    void swappedTemporaryIsNotPublished() {
        QTemporaryDir folder;
        const std::string target = (folder.path() + QStringLiteral("/out.txt")).toStdString();
        AtomicFile writer(target);
        platform::Result<AtomicFile::Reservation> reserved = writer.reserve();
        QVERIFY(reserved.ok());
        AtomicFile::Reservation& reservation = reserved.value();
        QVERIFY(reservation.valid());
        const QString path = QString::fromStdString(reservation.path);
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link(folder.path() + QStringLiteral("/elsewhere"), path));
        const Status published = AtomicFile::publish(reservation, target);
        QVERIFY(!published.ok());
        QCOMPARE(published.error(), std::string("its temporary file was replaced by another program"));
        QVERIFY(!QFileInfo::exists(QString::fromStdString(target)));
    }

    // A write that fails names the reason of the call that failed, never "Success".
    void failedWriteReportsItsOwnReason() {
        QTemporaryDir folder;
        const std::string target = (folder.path() + QStringLiteral("/big.txt")).toStdString();
        const pid_t child = ::fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &small);
            AtomicFile file(target);
            if (!file.open().ok())
                ::_exit(2);
            file.write(std::string(1 << 20, 'x'));
            const Status committed = file.commit();
            ::_exit(!committed.ok() && committed.error() == std::strerror(EFBIG) ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // Our own link to a pipe or device is followed, but what it names is never replaced.
    void devicesAndPipesAtTheTargetAreNeverReplaced() {
        QTemporaryDir folder;
        const QString fifo = folder.filePath(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString link = folder.filePath(QStringLiteral("out.txt"));
        QVERIFY(QFile::link(fifo, link));
        AtomicFile file(link.toStdString());
        const Status opened = file.open();
        QVERIFY(!opened.ok());
        QCOMPARE(opened.error(), std::string("it is not a plain file"));
        struct stat info {};
        QCOMPARE(::lstat(QFile::encodeName(fifo).constData(), &info), 0);
        QVERIFY(S_ISFIFO(info.st_mode));
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
