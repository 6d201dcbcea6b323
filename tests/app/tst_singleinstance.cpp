#include "TestSupport.h"
#include "app/SingleInstance.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <latch>
#include <memory>

#include <cstring>
#include <fcntl.h>
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

    // A later start waits for the first one's answer, which this thread's event loop gives: so
    // the later start runs on a thread of its own, as it would in a process of its own.
    static Role laterStart(const Paths& paths, QString* errorText = nullptr) {
        Role role = Role::Alone;
        const std::unique_ptr<QThread> start(QThread::create([&] {
            SingleInstance later(QStringLiteral("folverin"));
            role = later.claim(paths);
            if (errorText)
                *errorText = later.errorText();
        }));
        QEventLoop loop;
        connect(start.get(), &QThread::finished, &loop, &QEventLoop::quit);
        start->start();
        loop.exec();
        return role;
    }

    // A start that speaks the hand-over by hand, as a broken or hostile one might.
    static std::unique_ptr<QLocalSocket> rawStart(const SingleInstance& first, const QByteArray& bytes) {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(first.serverName());
        if (socket->waitForConnected(1000))
            socket->write(bytes);
        return socket;
    }

    static QByteArray handOverOf(const QByteArray& message) {
        const auto length = quint32(message.size());
        const char bytes[4] = {char(length >> 24), char(length >> 16), char(length >> 8), char(length)};
        return QByteArray(bytes, 4) + message;
    }

    // The paths of the command line exist; these stand for them. Names are bytes, as on disk.
    std::string existing(const std::string& name) const {
        const std::string file = QFile::encodeName(temp.path()).toStdString() + '/' + name;
        ::close(::open(file.c_str(), O_WRONLY | O_CREAT, 0600));
        return file;
    }

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
        const Paths paths{existing("a b.pdf"), existing("line\nfeed.pdf"), existing("latin1-\xe9.pdf"),
                          QFile::encodeName(temp.path()).toStdString()};
        QCOMPARE(laterStart(paths), Role::HandedOver);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(received(spy, 0), paths);

        // A start without paths still reaches the first, which then comes forward.
        QCOMPARE(laterStart({}), Role::HandedOver);
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
        QCOMPARE(laterStart({existing("b.pdf")}), Role::HandedOver);
        QCOMPARE(spy.count(), 1);
    }

    // Once the window has gone, a start must open its own instead of handing files to nobody.
    void aStoppedInstanceTakesNoMorePaths() {
        SingleInstance first(QStringLiteral("folverin"));
        QCOMPARE(first.claim({}), Role::First);
        first.stopListening();
        QCOMPARE(laterStart({"/a.pdf"}), Role::First);
    }

    // Starts at the same moment (a file manager opening several files, one start each) must
    // find exactly one first: two listeners would leave one of them unreachable.
    void simultaneousStartsFindOneFirst() {
        constexpr int STARTS = 6;
        for (int attempt = 0; attempt < 10; ++attempt) {
            useRuntimeFolder(temp.filePath(QStringLiteral("race%1-%2").arg(round).arg(attempt)));
            std::atomic<int> firsts = 0;
            std::atomic<int> handedOver = 0;
            std::latch ready(STARTS);
            std::vector<std::unique_ptr<QThread>> starts;
            for (int i = 0; i < STARTS; ++i) {
                starts.emplace_back(QThread::create([&] {
                    SingleInstance start(QStringLiteral("folverin"));
                    ready.arrive_and_wait();
                    switch (start.claim({"/a.pdf"})) {
                    case Role::First:
                        ++firsts;
                        break;
                    case Role::HandedOver:
                        ++handedOver;
                        break;
                    default:
                        break;
                    }
                    // The first answers the others until all have claimed: one that ended
                    // would let a later one listen.
                    while (firsts + handedOver < STARTS && firsts <= 1)
                        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                }));
                starts.back()->start();
            }
            for (const auto& start : starts)
                QVERIFY(start->wait(30000));
            QCOMPARE(firsts.load(), 1);
            QCOMPARE(handedOver.load(), STARTS - 1);
        }
    }

    // A path the window cannot use is left out, as on the command line; the rest arrive.
    void relativeAndMissingPathsAreLeftOut() {
        SingleInstance first(QStringLiteral("folverin"));
        QCOMPARE(first.claim({}), Role::First);
        QSignalSpy spy(&first, &SingleInstance::pathsReceived);
        const std::string kept = existing("kept.pdf");
        QCOMPARE(laterStart({"kept.pdf", "/no/such/folder/a.pdf", kept}), Role::HandedOver);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(received(spy, 0), Paths{kept});
    }

    // The paths count as taken only once the later start has heard so and committed: a start
    // that gives up in between has its files opened nowhere, and says so itself.
    void pathsAreTakenOnlyWhenBothSidesKnowIt() {
        SingleInstance first(QStringLiteral("folverin"));
        QCOMPARE(first.claim({}), Role::First);
        QSignalSpy spy(&first, &SingleInstance::pathsReceived);
        const std::string pdf = existing("a.pdf");
        const QByteArray message = QByteArray::fromStdString(pdf) + '\0';

        const std::unique_ptr<QLocalSocket> gaveUp = rawStart(first, handOverOf(message));
        QTRY_COMPARE(gaveUp->bytesAvailable(), 1);
        QCOMPARE(gaveUp->read(1), "A");
        gaveUp->abort();
        QCOMPARE(spy.count(), 0);
        const std::unique_ptr<QLocalSocket> committed = rawStart(first, handOverOf(message));
        QTRY_COMPARE(committed->bytesAvailable(), 1);
        committed->write("C");
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(received(spy, 0), Paths{pdf});
    }

    // A listener that hangs up without taking the paths (an instance ending, or hung and then
    // killed) leaves the later start knowing its files were not opened.
    void aListenerThatDoesNotTakeThePathsIsReported() {
        SingleInstance probe(QStringLiteral("folverin"));
        QLocalServer ending;
        QVERIFY(ending.listen(probe.serverName()));
        connect(&ending, &QLocalServer::newConnection, &ending, [&ending] {
            while (QLocalSocket* socket = ending.nextPendingConnection())
                socket->abort();
        });
        QString errorText;
        QCOMPARE(laterStart({existing("a.pdf")}, &errorText), Role::NotTaken);
        QVERIFY(!errorText.isEmpty());
    }

    // Another program of this user speaking nonsense costs only its own connection: a record
    // too long is cut off at once, a stalled one after a few seconds, and nothing is taken.
    void oversizedAndStalledHandOversAreCutOff() {
        SingleInstance first(QStringLiteral("folverin"));
        QCOMPARE(first.claim({}), Role::First);
        QSignalSpy spy(&first, &SingleInstance::pathsReceived);

        const std::unique_ptr<QLocalSocket> huge =
            rawStart(first, handOverOf(QByteArray(SingleInstance::MAX_MESSAGE_BYTES + 1, 'x')));
        QTRY_COMPARE(huge->state(), QLocalSocket::UnconnectedState);
        const std::unique_ptr<QLocalSocket> stalled = rawStart(first, QByteArray("\0\0", 2));
        QTRY_COMPARE_WITH_TIMEOUT(stalled->state(), QLocalSocket::UnconnectedState, 10000);
        QCOMPARE(spy.count(), 0);

        QCOMPARE(laterStart({existing("b.pdf")}), Role::HandedOver);
        QCOMPARE(spy.count(), 1);
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
