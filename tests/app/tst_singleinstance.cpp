#include "TestSupport.h"
#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <latch>
#include <memory>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using Role = SingleInstance::Role;
using Paths = std::vector<std::string>;

// Two starts in one process stand for two processes: the guard only meets through the socket.
class TestSingleInstance : public QObject {
    Q_OBJECT

    QTemporaryDir temp;
    int round = 0;

    // A runtime folder of its own for every test, as the desktop session gives one per user.
    void useRuntimeFolder(const QString& path) {
        QDir().mkpath(path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path));
    }

    static Paths received(const QSignalSpy& spy, int index) { return spy.at(index).at(0).value<Paths>(); }

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<Paths>(); }

    void init() {
        testsupport::failOnUnexpectedWarnings();
        useRuntimeFolder(temp.filePath(QStringLiteral("runtime%1").arg(++round)));
    }

    void laterStartsHandTheirPathsToTheFirst() {
        SingleInstance first(QStringLiteral("folverin"));
        QCOMPARE(first.claim({"/ignored.pdf"}), Role::First);
        QSignalSpy spy(&first, &SingleInstance::pathsReceived);

        // Paths are the file system's bytes: spaces, line feeds and non-UTF-8 bytes arrive intact.
        const Paths paths{"/docs/a b.pdf", "/docs/line\nfeed.pdf", "/docs/latin1-\xe9.pdf", "/docs/folder"};
        QCOMPARE(SingleInstance(QStringLiteral("folverin")).claim(paths), Role::HandedOver);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(received(spy, 0), paths);

        // A start without paths still reaches the first, which then comes forward.
        QCOMPARE(SingleInstance(QStringLiteral("folverin")).claim({}), Role::HandedOver);
        QTRY_COMPARE(spy.count(), 2);
        QVERIFY(received(spy, 1).empty());
    }

    void programsOfOtherNamesRunApart() {
        SingleInstance first(QStringLiteral("folverin"));
        QCOMPARE(first.claim({}), Role::First);
        SingleInstance copy(QStringLiteral("folverin-copy"));
        QCOMPARE(copy.claim({"/a.pdf"}), Role::First);
        QVERIFY(first.serverName() != copy.serverName());
    }

    // A killed instance leaves its socket file behind; nobody answers there.
    void aSocketLeftByAKilledInstanceDoesNotBlock() {
        SingleInstance probe(QStringLiteral("folverin"));
        const QByteArray path = QFile::encodeName(probe.serverName());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        QVERIFY(QFile::exists(probe.serverName()));

        SingleInstance next(QStringLiteral("folverin"));
        QCOMPARE(next.claim({}), Role::First);
        QSignalSpy spy(&next, &SingleInstance::pathsReceived);
        QCOMPARE(SingleInstance(QStringLiteral("folverin")).claim({"/b.pdf"}), Role::HandedOver);
        QTRY_COMPARE(spy.count(), 1);
    }

    // Once the window has gone, a start must open its own instead of handing files to nobody.
    void aStoppedInstanceTakesNoMorePaths() {
        SingleInstance first(QStringLiteral("folverin"));
        QCOMPARE(first.claim({}), Role::First);
        first.stopListening();
        QCOMPARE(SingleInstance(QStringLiteral("folverin")).claim({"/a.pdf"}), Role::First);
    }

    // Starts at the same moment (a file manager opening several files, one start each) must
    // find exactly one first: two listeners would leave one of them unreachable.
    void simultaneousStartsFindOneFirst() {
        constexpr int STARTS = 6;
        for (int attempt = 0; attempt < 10; ++attempt) {
            useRuntimeFolder(temp.filePath(QStringLiteral("race%1-%2").arg(round).arg(attempt)));
            std::atomic<int> firsts = 0;
            std::latch ready(STARTS);
            std::latch claimed(STARTS);
            std::vector<std::unique_ptr<QThread>> starts;
            for (int i = 0; i < STARTS; ++i) {
                starts.emplace_back(QThread::create([&] {
                    SingleInstance start(QStringLiteral("folverin"));
                    ready.arrive_and_wait();
                    if (start.claim({"/a.pdf"}) == Role::First)
                        ++firsts;
                    claimed.arrive_and_wait(); // a first that ended would let a later one listen
                }));
                starts.back()->start();
            }
            for (const auto& start : starts)
                QVERIFY(start->wait(30000));
            QCOMPARE(firsts.load(), 1);
        }
    }

    void aSocketThatCannotBeMadeLeavesTheProgramAlone() {
        // Longer than a local socket address can be.
        useRuntimeFolder(temp.filePath(QStringLiteral("deep/") + QString(120, QLatin1Char('x'))));
        SingleInstance first(QStringLiteral("folverin"));
        QCOMPARE(first.claim({}), Role::Alone);
        QVERIFY(!first.errorText().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
