#include "SessionBus.h"
#include "TestSupport.h"

#include "platform/DesktopNotifier.h"
#include "platform/SleepInhibitor.h"

#include <QTest>

#include <memory>

// What the program asks of the desktop session over a private bus: notices reach the
// notification service, holds on suspending are given back, and nothing is left waiting or
// held where no service answers.
class TestDesktopSession : public QObject {
    Q_OBJECT

    testsupport::PrivateSessionBus bus;

private Q_SLOTS:
    void initTestCase() { QVERIFY2(bus.started(), testsupport::PrivateSessionBus::notStarted); }
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void noticesReachTheServiceOnlyWhileItRuns() {
        const platform::DesktopNotifier notifier(QStringLiteral("Folverin"), QStringLiteral("folverin"));
        testsupport::NotificationListener listener;
        // No service yet: the notice is dropped, not kept for one that comes later.
        notifier.notify(QStringLiteral("Early"), QStringLiteral("nobody listens"));
        QVERIFY(listener.serveOn(bus.connect(QStringLiteral("notices"))));
        QTest::qWait(200);
        QVERIFY(listener.notices.isEmpty());

        notifier.notify(QStringLiteral("Convert Finished"), QStringLiteral("3 converted, 1 skipped"));
        QTRY_COMPARE(listener.notices.size(), 1);
        QCOMPARE(listener.notices.first().appName, QStringLiteral("Folverin"));
        QCOMPARE(listener.notices.first().summary, QStringLiteral("Convert Finished"));
        QCOMPARE(listener.notices.first().body, QStringLiteral("3 converted, 1 skipped"));
        listener.leave();
    }

    void sleepIsHeldUntilGivenBack() {
        testsupport::PowerManagementListener power;
        QVERIFY(power.serveOn(bus.connect(QStringLiteral("power"))));
        const QString reason = QStringLiteral("Converting PDF files");
        {
            platform::SleepInhibitor inhibitor(QStringLiteral("Folverin"));
            inhibitor.inhibit(reason);
            inhibitor.inhibit(reason); // one hold however often it is asked for
            QTRY_VERIFY(inhibitor.isHeld());
            QCOMPARE(power.calls, QStringList{QStringLiteral("Inhibit 41 Converting PDF files")});
            inhibitor.release();
            QVERIFY(!inhibitor.isHeld());
            QTRY_COMPARE(power.calls.size(), 2);
            QCOMPARE(power.calls.last(), QStringLiteral("UnInhibit 41"));

            // Released before the service granted it: the hold is given back once it comes,
            // never kept for the rest of the session.
            inhibitor.inhibit(reason);
            inhibitor.release();
            QTRY_COMPARE(power.calls.size(), 4);
            QCOMPARE(power.calls.last(), QStringLiteral("UnInhibit 42"));
            QVERIFY(!inhibitor.isHeld());

            inhibitor.inhibit(reason); // kept when the program ends its batch by closing
            QTRY_VERIFY(inhibitor.isHeld());
        }
        QTRY_VERIFY(power.held.isEmpty());
        QCOMPARE(power.calls.size(), 6);

        // Without a service nothing is held.
        power.leave();
        platform::SleepInhibitor inhibitor(QStringLiteral("Folverin"));
        inhibitor.inhibit(reason);
        QTest::qWait(200);
        QVERIFY(!inhibitor.isHeld());
        QCOMPARE(power.calls.size(), 6);
    }
};

QTEST_MAIN(TestDesktopSession)
#include "tst_desktopsession.moc"
