#include "platform/CommandRouter.h"

#include "../support/TestSupport.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

using platform::CommandRouter;

class TestCommandRouter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void actionsAreCreatedOncePerId() {
        CommandRouter router;
        QVERIFY(!router.findAction(32770));
        QAction* open = router.action(32770);
        QCOMPARE(router.action(32770), open);
        QCOMPARE(router.findAction(32770), open);
        QCOMPARE(CommandRouter::commandId(open), 32770);
        QCOMPARE(CommandRouter::commandId(nullptr), -1);
        QVERIFY(router.action(32771) != open);
    }

    void commandWithoutHandlerIsDisabled() {
        CommandRouter router;
        QAction* action = router.action(32783);
        QVERIFY(!action->isEnabled());
        QVERIFY(!router.execute(32783));
        int runs = 0;
        router.setHandler(32783, [&runs] { ++runs; });
        QVERIFY(action->isEnabled());
        action->trigger();
        QCOMPARE(runs, 1);
        router.removeHandlers(32783);
        QVERIFY(!action->isEnabled());
    }

    void enablersDriveActionsOnUpdate() {
        CommandRouter router;
        bool converting = false;
        int started = 0;
        router.setHandler(32781, [&started] { ++started; });
        router.setEnabler(32781, [&converting] { return !converting; });
        QAction* start = router.action(32781);
        QVERIFY(start->isEnabled());

        converting = true;
        QVERIFY(start->isEnabled()); // stale until the owner reports the change
        router.updateEnabling();
        QVERIFY(!start->isEnabled());
        converting = false;
        router.updateEnabling();
        QVERIFY(start->isEnabled());
        QCOMPARE(started, 0);
    }

    // A shortcut or button can still fire between a state change and the next update: the
    // rule is asked again at execution, as the command's owner expects.
    void executeAsksTheRuleNow() {
        CommandRouter router;
        bool allowed = true;
        int runs = 0;
        router.setHandler(1, [&runs] { ++runs; });
        router.setEnabler(1, [&allowed] { return allowed; });
        QSignalSpy executed(&router, &CommandRouter::executed);
        allowed = false;
        router.action(1)->trigger(); // still enabled: no update since
        QCOMPARE(runs, 0);
        QVERIFY(!router.execute(1));
        allowed = true;
        QVERIFY(router.execute(1));
        QCOMPARE(runs, 1);
        QCOMPARE(executed.count(), 1);
        QCOMPARE(executed.first().first().toInt(), 1);
    }

    void checkedStateFollowsTheChecker() {
        CommandRouter router;
        bool on = false;
        router.setHandler(7, [&on] { on = !on; });
        router.setChecker(7, [&on] { return on; });
        QAction* action = router.action(7);
        QVERIFY(action->isCheckable());
        QVERIFY(!action->isChecked());
        action->trigger();
        QVERIFY(on);
        QVERIFY(action->isChecked());

        // The handler may refuse to change state: Qt's own toggle must not stick.
        router.setHandler(7, [] {});
        action->trigger();
        QVERIFY(action->isChecked());
    }

    void menuOpeningRefreshesStates() {
        CommandRouter router;
        QMenu menu;
        bool enabled = false;
        router.setHandler(5, [] {});
        router.setEnabler(5, [&enabled] { return enabled; });
        menu.addAction(router.action(5));
        router.watchMenu(&menu);
        QVERIFY(!router.action(5)->isEnabled());
        enabled = true;
        Q_EMIT menu.aboutToShow();
        QVERIFY(router.action(5)->isEnabled());
    }

    void handlerMayRemoveItself() {
        CommandRouter router;
        int runs = 0;
        router.setHandler(9, [&router, &runs] {
            ++runs;
            router.removeHandlers(9);
        });
        QVERIFY(router.execute(9));
        QVERIFY(!router.execute(9));
        QCOMPARE(runs, 1);
    }
};

QTEST_MAIN(TestCommandRouter)
#include "tst_commandrouter.moc"
