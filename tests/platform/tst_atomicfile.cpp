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
        const QString path = folder.filePath(QString::fromStdString(reservation.name));
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link(folder.path() + QStringLiteral("/elsewhere"), path));
        const Status published = writer.publish(reservation);
        QVERIFY(!published.ok());
        QCOMPARE(published.error(), std::string("its temporary file was replaced by another program"));
        QVERIFY(!QFileInfo::exists(QString::fromStdString(target)));
        QVERIFY(QFileInfo(path).isSymLink());
    }

    // The same swap between writing and renaming: the old output stays, and what was put in
    // the temporary's place is neither renamed into the output nor removed.
    void swappedTemporaryIsNotRenamedOverTheOutput_data() {
        QTest::addColumn<bool>("plantLink");
        QTest::newRow("a file of another user") << false;
        QTest::newRow("a link to a victim file") << true;
    }
    void swappedTemporaryIsNotRenamedOverTheOutput() {
        QFETCH(bool, plantLink);
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("out.txt"));
        const QString victim = folder.filePath(QStringLiteral("victim"));
        QVERIFY(writeFile(target.toStdString(), "old") && writeFile(victim.toStdString(), "victim"));
        AtomicFile file(target.toStdString());
        QVERIFY(file.open().ok());
        file.write("ours");
        const QStringList temporaries =
            QDir(folder.path()).entryList({QStringLiteral(".*.part")}, QDir::Files | QDir::Hidden);
        QCOMPARE(temporaries.size(), 1);
        const QString temporary = folder.filePath(temporaries.first());
        QVERIFY(QFile::rename(temporary, folder.filePath(QStringLiteral("moved away"))));
        if (plantLink)
            QVERIFY(QFile::link(victim, temporary));
        else
            QVERIFY(writeFile(temporary.toStdString(), "planted"));
        if (::geteuid() == 0)
            QCOMPARE(::lchown(QFile::encodeName(temporary).constData(), 65534, 65534), 0);

        const Status committed = file.commit();
        QVERIFY(!committed.ok());
        QCOMPARE(committed.error(), std::string("its temporary file was replaced by another program"));
        QCOMPARE(read(target), QByteArray("old"));
        QVERIFY(!QFileInfo(target).isSymLink());
        QCOMPARE(QFileInfo(temporary).isSymLink(), plantLink);
        QCOMPARE(read(temporary), plantLink ? QByteArray("victim") : QByteArray("planted"));
    }

    // A new output gets the user's usual permissions; an existing one passes its own on only
    // when it is a plain file of this user's, and never set-user-id, set-group-id or sticky.
    void permissionsComeOnlyFromOwnPlainFiles_data() {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("theirs");
        QTest::addColumn<uint>("mode");
        QTest::addColumn<uint>("expected"); // with the umask 022
        QTest::newRow("new") << false << false << 0u << 0644u;
        QTest::newRow("own, private") << true << false << 0600u << 0600u;
        QTest::newRow("own, set-user-id") << true << false << 04755u << 0755u;
        QTest::newRow("own, every special bit") << true << false << 07777u << 0777u;
        QTest::newRow("another user's, 6777") << true << true << 06777u << 0644u;
        QTest::newRow("another user's, private") << true << true << 0600u << 0644u;
    }
    void permissionsComeOnlyFromOwnPlainFiles() {
        QFETCH(bool, exists);
        QFETCH(bool, theirs);
        QFETCH(uint, mode);
        QFETCH(uint, expected);
        if (theirs && ::geteuid() != 0)
            QSKIP("giving a file to another user needs the superuser");
        QTemporaryDir folder;
        const QByteArray target = QFile::encodeName(folder.filePath(QStringLiteral("doc3.txt")));
        if (exists) {
            const uid_t owner = theirs ? 65534 : ::geteuid();
            QVERIFY(writeFile(target.toStdString(), "planted"));
            QCOMPARE(::chown(target.constData(), owner, owner), 0);
            QCOMPARE(::chmod(target.constData(), mode), 0);
        }
        const mode_t mask = ::umask(022);
        const bool written = writeFile(target.toStdString(), "ours");
        ::umask(mask);
        QVERIFY(written);
        struct stat info {};
        QCOMPARE(::lstat(target.constData(), &info), 0);
        QVERIFY(S_ISREG(info.st_mode));
        QCOMPARE(info.st_uid, ::geteuid());
        QCOMPARE(uint(info.st_mode & 07777), expected);
    }

    // A link on the way to a file is followed only when it is ours or belongs to the owner of
    // the folder that holds it; another user's link in a shared folder leads nowhere. A link
    // at the file's own name is followed when it is ours and otherwise replaced.
    void linksOnTheWayAreFollowedOnlyWhenTrusted_data() {
        QTest::addColumn<QString>("write");
        QTest::addColumn<QString>("refusedLink"); // empty when the write goes through
        QTest::addColumn<QString>("landsAt");
        const auto row = [](const char* name, const char* write, const char* refusedLink,
                            const char* landsAt) {
            QTest::newRow(name) << QString::fromUtf8(write) << QString::fromUtf8(refusedLink)
                                << QString::fromUtf8(landsAt);
        };
        row("another user's link in a sticky folder", "shared/theirs/out.txt", "shared/theirs", "");
        row("our own link", "shared/mine/out.txt", "", "private/out.txt");
        row("the folder owner's link", "owned/link/out.txt", "", "private/out.txt");
        row("our link to a file behind another user's link", "shared/mine-through-theirs.txt",
            "shared/theirs", "");
        row("another user's link as the file", "shared/their-file.txt", "", "shared/their-file.txt");
    }
    void linksOnTheWayAreFollowedOnlyWhenTrusted() {
        QFETCH(QString, write);
        QFETCH(QString, refusedLink);
        QFETCH(QString, landsAt);
        if (::geteuid() != 0)
            QSKIP("planting another user's links needs the superuser");
        QTemporaryDir temp;
        const auto at = [&](const QString& name) { return temp.filePath(name); };
        const auto plant = [&](const QString& target, const QString& link, uid_t owner) {
            QVERIFY(QFile::link(target, at(link)));
            QCOMPARE(::lchown(QFile::encodeName(at(link)).constData(), owner, owner), 0);
        };
        for (const char* name : {"shared", "private", "owned"})
            QVERIFY(QDir(temp.path()).mkdir(QString::fromLatin1(name)));
        QCOMPARE(::chmod(QFile::encodeName(at(QStringLiteral("shared"))).constData(), 01777), 0);
        QCOMPARE(::chmod(QFile::encodeName(at(QStringLiteral("private"))).constData(), 0700), 0);
        QCOMPARE(::chown(QFile::encodeName(at(QStringLiteral("owned"))).constData(), 65534, 65534), 0);
        plant(at(QStringLiteral("private")), QStringLiteral("shared/theirs"), 65534);
        plant(at(QStringLiteral("private")), QStringLiteral("shared/mine"), 0);
        plant(at(QStringLiteral("private")), QStringLiteral("owned/link"), 65534);
        plant(at(QStringLiteral("shared/theirs/out.txt")), QStringLiteral("shared/mine-through-theirs.txt"),
              0);
        plant(at(QStringLiteral("private/their-target")), QStringLiteral("shared/their-file.txt"), 65534);

        AtomicFile file(at(write).toStdString());
        const Status opened = file.open();
        if (!refusedLink.isEmpty()) {
            QVERIFY(!opened.ok());
            QCOMPARE(QString::fromStdString(opened.error()),
                     QStringLiteral("the folder '%1' is another user's link").arg(at(refusedLink)));
            QCOMPARE(QDir(at(QStringLiteral("private")))
                         .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     QStringList());
            return;
        }
        QVERIFY(opened.ok());
        file.write("ours");
        QVERIFY(file.commit().ok());
        QVERIFY(!QFileInfo(at(landsAt)).isSymLink());
        QCOMPARE(read(at(landsAt)), QByteArray("ours"));
        QVERIFY(!QFileInfo::exists(at(QStringLiteral("private/their-target"))));
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
