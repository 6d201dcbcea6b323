#include "platform/DesktopShell.h"

#include "../support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <thread>

using namespace platform;
using namespace std::chrono_literals;

namespace {

// Stands in for the desktop's opener so the test launches nothing: it notes its argument,
// waits FAKE_OPENER_SECONDS and exits with FAKE_OPENER_STATUS.
class FakeOpener {
public:
    FakeOpener() {
        QFile script(program());
        if (!script.open(QIODevice::WriteOnly))
            return;
        script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + QFile::encodeName(log()) +
                     "\"\nsleep \"${FAKE_OPENER_SECONDS:-0}\"\nexit \"${FAKE_OPENER_STATUS:-0}\"\n");
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    QString program() const { return dir.filePath(QStringLiteral("opener")); }
    QString log() const { return dir.filePath(QStringLiteral("opened.txt")); }
    QStringList opened() const {
        QFile file(log());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    static void behave(int status, int seconds = 0) {
        qputenv("FAKE_OPENER_STATUS", QByteArray::number(status));
        qputenv("FAKE_OPENER_SECONDS", QByteArray::number(seconds));
    }

private:
    QTemporaryDir dir;
};

// Collects what launch() reports.
struct Outcomes {
    QList<ShellResult> results;
    ShellOutcome recorder() {
        return [this](const ShellResult& result) { results.append(result); };
    }
};

} // namespace

class TestDesktopShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        opener = std::make_unique<FakeOpener>();
        FakeOpener::behave(0);
    }
    void cleanup() { opener.reset(); }

    void opensExistingFilesAndFolders() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("out.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        DesktopShell shell(opener->program());
        QVERIFY(shell.openFile(path).ok);
        QTRY_COMPARE(opener->opened(), QStringList{path});
        QVERIFY(shell.exploreFolder(dir.path() + QLatin1Char('/')).ok);
        QTRY_COMPARE(opener->opened(), (QStringList{path, dir.path() + QLatin1Char('/')}));
    }

    // Failure must be reported, never passed off as success, and nothing is launched.
    void missingTargetsFailWithAReason() {
        DesktopShell shell(opener->program());
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("gone.pdf"));
        auto result = shell.openFile(missing);
        QVERIFY(!result.ok);
        QVERIFY(result.error.contains(missing));
        result = shell.exploreFolder(missing);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(!shell.openFile(QString()).ok);

        Outcomes outcomes;
        shell.launch(ShellVerb::Open, missing, this, outcomes.recorder());
        QCOMPARE(outcomes.results.size(), 1); // known at once
        QCOMPARE(outcomes.results.at(0).failure, ShellFailure::FileNotFound);
        QTest::qWait(50);
        QVERIFY(opener->opened().isEmpty());
    }

    void folderMustBeAFolder() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("plain.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(!DesktopShell(opener->program()).exploreFolder(path).ok);
    }

    void opensLinks() {
        DesktopShell shell(opener->program());
        QVERIFY(shell.openUrl(QStringLiteral("https://www.corvanta.example/help.html")).ok);
        QTRY_COMPARE(opener->opened().size(), 1);
        QVERIFY(shell.openUrl(QStringLiteral("mailto:?subject=Try Folverin&body=See downloads.html")).ok);
        QTRY_COMPARE(
            opener->opened(),
            (QStringList{QStringLiteral("https://www.corvanta.example/help.html"),
                         QStringLiteral("mailto:?subject=Try%20Folverin&body=See%20downloads.html")}));

        QVERIFY(!shell.openUrl(QString()).ok);
        QVERIFY(!shell.openUrl(QStringLiteral("no scheme here")).ok);
        QTest::qWait(50);
        QCOMPARE(opener->opened().size(), 2);
    }

    // The opener starting is no success: with no mail program it exits non-zero.
    void openerExitStatusIsTheOutcome_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("failure");
        QTest::newRow("opened") << 0 << true << int(ShellFailure::Unknown);
        QTest::newRow("syntax") << 1 << false << int(ShellFailure::Unknown);
        QTest::newRow("missing file") << 2 << false << int(ShellFailure::FileNotFound);
        QTest::newRow("no program") << 3 << false << int(ShellFailure::NoAssociation);
        QTest::newRow("program failed") << 4 << false << int(ShellFailure::NoAssociation);
    }

    void openerExitStatusIsTheOutcome() {
        QFETCH(int, status);
        QFETCH(bool, ok);
        QFETCH(int, failure);
        FakeOpener::behave(status);
        DesktopShell shell(opener->program());
        Outcomes outcomes;
        shell.launch(ShellVerb::Url, QStringLiteral("mailto:support@corvanta.example"), this,
                     outcomes.recorder());
        QVERIFY(outcomes.results.isEmpty()); // not before the opener has exited
        QTRY_COMPARE(outcomes.results.size(), 1);
        QCOMPARE(outcomes.results.at(0).ok, ok);
        if (!ok) {
            QCOMPARE(int(outcomes.results.at(0).failure), failure);
            QVERIFY(outcomes.results.at(0).error.contains(QStringLiteral("mailto:support@corvanta.example")));
        }
    }

    void missingOpenerMeansNoProgram() {
        DesktopShell shell(opener->program() + QStringLiteral("-absent"));
        const ShellResult result = shell.openUrl(QStringLiteral("https://www.corvanta.example/"));
        QVERIFY(!result.ok);
        QCOMPARE(result.failure, ShellFailure::NoAssociation);
        Outcomes outcomes;
        shell.launch(ShellVerb::Url, QStringLiteral("https://www.corvanta.example/"), this,
                     outcomes.recorder());
        QCOMPARE(outcomes.results.size(), 1);
        QCOMPARE(outcomes.results.at(0).failure, ShellFailure::NoAssociation);
    }

    // A generic opener runs the browser in the foreground: once it has been up for a while,
    // the target is showing, whatever the status it ends with much later. Told once only.
    void openerStillRunningCountsAsOpened() {
        FakeOpener::behave(1, 1);
        DesktopShell shell(opener->program(), 100ms);
        Outcomes outcomes;
        shell.launch(ShellVerb::Url, QStringLiteral("https://www.corvanta.example/"), this,
                     outcomes.recorder());
        QTRY_COMPARE_WITH_TIMEOUT(outcomes.results.size(), 1, 800);
        QVERIFY(outcomes.results.at(0).ok);
        QTest::qWait(1300);
        QCOMPARE(outcomes.results.size(), 1);
    }

    // A caller that went away (a closed dialog) is not called back.
    void goneContextHearsNothing() {
        FakeOpener::behave(1, 0);
        DesktopShell shell(opener->program());
        Outcomes outcomes;
        auto context = std::make_unique<QObject>();
        shell.launch(ShellVerb::Url, QStringLiteral("https://www.corvanta.example/"), context.get(),
                     outcomes.recorder());
        context.reset();
        QTRY_COMPARE(opener->opened().size(), 1);
        QTest::qWait(300);
        QVERIFY(outcomes.results.isEmpty());
    }

    // A worker thread without an event loop may open the result of its batch.
    void handsOverFromAnotherThread() {
        DesktopShell shell(opener->program());
        std::optional<ShellResult> result;
        std::thread worker([&] { result = shell.openUrl(QStringLiteral("https://www.corvanta.example/")); });
        worker.join();
        QVERIFY(result && result->ok);
        QTRY_COMPARE(opener->opened(), QStringList{QStringLiteral("https://www.corvanta.example/")});
    }

private:
    std::unique_ptr<FakeOpener> opener;
};

QTEST_MAIN(TestDesktopShell)
#include "tst_desktopshell.moc"
