#include "FixturePdf.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

// The program run as a user starts it, with its own settings, cache and runtime folders on
// the offscreen platform. FOLVERIN_TEST_REPORT makes it print its job list after every
// addition, which is all a test can see of another process's window.
class Program {
public:
    Program(const QProcessEnvironment& environment, const QString& workingFolder) {
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(workingFolder);
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { errors += process.readAllStandardError(); });
    }
    ~Program() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }

    void start(const QString& program, const QStringList& arguments) {
        process.start(program, arguments);
        QVERIFY2(process.waitForStarted(), qPrintable(program));
    }

    // The job list of the latest report, or nothing before the first.
    QStringList jobs() const {
        QStringList list;
        QStringList reported;
        for (const QByteArray& line : errors.split('\n')) {
            if (line.startsWith("job "))
                list.append(QString::fromUtf8(line.mid(4)));
            else if (line.startsWith("jobs ")) {
                reported = list;
                list.clear();
            }
        }
        return reported;
    }
    bool hasReported() const { return errors.contains("\njobs ") || errors.startsWith("jobs "); }

    void signal(int number) const { ::kill(pid_t(process.processId()), number); }
    bool finishes(int milliseconds = 30000) { return process.waitForFinished(milliseconds); }
    bool isRunning() const { return process.state() == QProcess::Running; }
    int exitCode() const { return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1; }
    QByteArray output() { return process.readAllStandardOutput(); }
    QByteArray errorOutput() const { return errors; }

private:
    QProcess process;
    QByteArray errors;
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> temp;

    QString path(const QString& name) const { return temp->filePath(name); }
    QString program() const { return testsupport::programDir() + QStringLiteral("folverin"); }
    QString dataFile(const char* name) const {
        return path(QStringLiteral("config/Corvanta/Folverin/")) + QLatin1String(name);
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("cache")));
        environment.insert(QStringLiteral("XDG_STATE_HOME"), path(QStringLiteral("state")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("FOLVERIN_TEST_REPORT"), QStringLiteral("1"));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        return environment;
    }

    std::unique_ptr<Program> start(const QStringList& arguments, const QString& executable = {}) {
        auto started = std::make_unique<Program>(environment(), temp->path());
        started->start(executable.isEmpty() ? program() : executable, arguments);
        return started;
    }

    // A start that must hand its paths over and end at once, without a window of its own.
    void handOver(const QStringList& arguments, const QString& workingFolder, QByteArray* errors = nullptr) {
        Program secondStart(environment(), workingFolder);
        QElapsedTimer clock;
        clock.start();
        secondStart.start(program(), arguments);
        QVERIFY2(secondStart.finishes(5000), "a second start kept running");
        QCOMPARE(secondStart.exitCode(), 0);
        QVERIFY(!secondStart.hasReported());
        QVERIFY2(clock.elapsed() < 5000, "a second start took long to end");
        if (errors)
            *errors = secondStart.errorOutput();
    }

    QString pdf(const QString& name) const {
        const QString file = path(name);
        QDir().mkpath(QFileInfo(file).path());
        fixtures::RawPdf raw;
        raw.pageTexts = {"hello"};
        if (!fixtures::writeRawPdf(file, raw))
            qFatal("fixture %s", qPrintable(name));
        return file;
    }

    // The keys of the two option sections in file order.
    static QByteArrayList optionKeys(const QString& settingsFile) {
        QFile file(settingsFile);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QByteArrayList keys;
        bool inOptions = false;
        for (QByteArray line : file.readAll().split('\n')) {
            line = line.trimmed();
            if (line.startsWith('['))
                inOptions = line == "[Output General]" || line == "[Output Options]";
            else if (inOptions && line.contains('='))
                keys.append(line.left(line.indexOf('=')));
        }
        return keys;
    }

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        temp = std::make_unique<QTemporaryDir>();
        QDir().mkpath(path(QStringLiteral("runtime")));
        QFile::setPermissions(path(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void aSecondStartHandsItsFilesToTheFirstAndEnds() {
        const QString first = pdf(QStringLiteral("first.pdf"));
        const std::unique_ptr<Program> running = start({QStringLiteral("first.pdf")});
        QTRY_COMPARE_WITH_TIMEOUT(running->jobs(), QStringList{first}, 30000);
        QVERIFY(QFile::exists(dataFile("CMapConfig.ini")));

        // Relative to the second start's folder, which the first does not share.
        const QString second = pdf(QStringLiteral("in/second.pdf"));
        const QString deep = pdf(QStringLiteral("in/folder/sub/deep.pdf"));
        handOver({QStringLiteral("second.pdf"), QStringLiteral("folder")}, path(QStringLiteral("in")));
        QTRY_COMPARE_WITH_TIMEOUT(running->jobs(), (QStringList{first, second, deep}), 10000);

        // SIGTERM closes the window the normal way: the options are saved.
        QVERIFY(optionKeys(dataFile("Settings.ini")).isEmpty()); // written at exit only
        running->signal(SIGTERM);
        QVERIFY(running->finishes());
        QCOMPARE(running->exitCode(), 0);
        QCOMPARE(optionKeys(dataFile("Settings.ini")),
                 (QByteArrayList{"Page Range", "Start Page", "End Page", "Open Result", "Output Mode",
                                 "Layout", "Raw Mode", "End-of-Line", "Page Breaks", "Html Meta",
                                 "TextEncoding", "Recognize Scanned Pages", "OCR Languages"}));
    }

    void aCopyUnderAnotherNameRunsApart() {
        const std::unique_ptr<Program> running = start({});
        QTRY_VERIFY_WITH_TIMEOUT(running->hasReported(), 30000);
        const QString copy = path(QStringLiteral("folverin-copy"));
        QVERIFY(QFile::copy(program(), copy));
        const std::unique_ptr<Program> other = start({pdf(QStringLiteral("a.pdf"))}, copy);
        QTRY_COMPARE_WITH_TIMEOUT(other->jobs(), QStringList{path(QStringLiteral("a.pdf"))}, 30000);
        QVERIFY(running->jobs().isEmpty());
        for (Program* program : {running.get(), other.get()}) {
            program->signal(SIGTERM);
            QVERIFY(program->finishes());
            QCOMPARE(program->exitCode(), 0);
        }
    }

    void aKilledInstanceDoesNotBlockTheNextStart() {
        const std::unique_ptr<Program> killed = start({});
        QTRY_VERIFY_WITH_TIMEOUT(killed->hasReported(), 30000);
        killed->signal(SIGKILL);
        QVERIFY(killed->finishes());
        QVERIFY(QFile::exists(path(QStringLiteral("runtime/folverin.socket")))); // left behind

        const QString a = pdf(QStringLiteral("a.pdf"));
        const std::unique_ptr<Program> next = start({a});
        QTRY_COMPARE_WITH_TIMEOUT(next->jobs(), QStringList{a}, 30000);
        const QString b = pdf(QStringLiteral("b.pdf"));
        // A mistyped path is named in the terminal of the start that got it.
        QByteArray errors;
        handOver({b, QStringLiteral("mistyped.pdf")}, temp->path(), &errors);
        QCOMPARE(errors, "folverin: " + QFile::encodeName(path(QStringLiteral("mistyped.pdf"))) +
                             ": no such file or folder\n");
        QTRY_COMPARE_WITH_TIMEOUT(next->jobs(), (QStringList{a, b}), 10000);

        next->signal(SIGINT);
        QVERIFY(next->finishes());
        QCOMPARE(next->exitCode(), 0);
        QCOMPARE(optionKeys(dataFile("Settings.ini")).size(), 13);
    }

    // An instance that hangs up without taking the files (it is ending) leaves them with the
    // start that has them, which says so and fails instead of ending as if they were opened.
    void aSecondStartWhoseFilesWereNotTakenSaysSo() {
        QDir().mkpath(path(QStringLiteral("runtime")));
        QLocalServer ending;
        QVERIFY(ending.listen(path(QStringLiteral("runtime/folverin.socket"))));
        connect(&ending, &QLocalServer::newConnection, &ending, [&ending] {
            while (QLocalSocket* socket = ending.nextPendingConnection())
                socket->abort();
        });
        const std::unique_ptr<Program> second = start({pdf(QStringLiteral("a.pdf"))});
        QTRY_VERIFY_WITH_TIMEOUT(!second->isRunning(), 20000);
        QCOMPARE(second->exitCode(), 1);
        QVERIFY2(second->errorOutput().contains("the files given are not opened"), second->errorOutput());
        QVERIFY(!second->hasReported());
    }

    // Two starts at the same moment, as a file manager opening two files one program each.
    void simultaneousStartsOpenOneWindow() {
        const QString a = pdf(QStringLiteral("a.pdf"));
        const QString b = pdf(QStringLiteral("b.pdf"));
        const std::unique_ptr<Program> one = start({a});
        const std::unique_ptr<Program> two = start({b});
        QTRY_VERIFY_WITH_TIMEOUT(!one->isRunning() || !two->isRunning(), 30000);
        Program& stayed = one->isRunning() ? *one : *two;
        Program& ended = one->isRunning() ? *two : *one;
        QCOMPARE(ended.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(stayed.jobs().size(), 2, 10000);
        stayed.signal(SIGTERM);
        QVERIFY(stayed.finishes());
    }

    void answersInTheTerminalWithoutADisplay_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("error");
        QTest::addColumn<QString>("display");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0
                              << QByteArray("Usage: folverin [OPTION]... [PDF-FILE|FOLDER]...\n")
                              << QByteArray() << QString();
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0
                                 << QByteArray("folverin " FOLVERIN_VERSION "\n") << QByteArray()
                                 << QString();
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--bogus")} << 2 << QByteArray()
            << QByteArray("folverin: unknown option '--bogus'\nUsage: folverin") << QString();
        QTest::newRow("no display") << QStringList{} << 1 << QByteArray()
                                    << QByteArray("folverin: no display to open the window on") << QString();
        // Set, but no server answers there: said so, not Qt's abort with a hint to reinstall.
        QTest::newRow("unreachable display")
            << QStringList{} << 1 << QByteArray()
            << QByteArray("folverin: cannot open the display (DISPLAY=:97)") << QStringLiteral(":97");
    }

    void answersInTheTerminalWithoutADisplay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, error);
        QFETCH(QString, display);
        QProcessEnvironment bare = environment();
        bare.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!display.isEmpty())
            bare.insert(QStringLiteral("DISPLAY"), display);
        Program run(bare, temp->path());
        run.start(program(), arguments);
        QVERIFY(run.finishes(10000));
        QCOMPARE(run.exitCode(), status);
        const QByteArray printed = run.output();
        QVERIFY2(printed.startsWith(output), printed.constData());
        QVERIFY2(run.errorOutput().startsWith(error), run.errorOutput().constData());
        QVERIFY(!QFile::exists(dataFile("CMapConfig.ini"))); // it never got as far as starting
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
