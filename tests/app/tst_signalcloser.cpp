#include "TestSupport.h"
#include "app/SignalCloser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

class CountingWindow : public QWidget {
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        event->accept();
    }
};

constexpr int NOT_CLOSED = 42;

volatile std::sig_atomic_t previousHandlerRan = 0;
void previousHandler(int) {
    previousHandlerRan = 1;
}

} // namespace

class TestSignalCloser : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    void aSignalClosesTheWindowTheNormalWay_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }

    void aSignalClosesTheWindowTheNormalWay() {
        QFETCH(int, signal);
        CountingWindow window;
        window.show();
        SignalCloser closer(window);
        QVERIFY(closer.isActive());
        QCOMPARE(::raise(signal), 0); // the default action would end the test program here
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(window.closes, 1);
    }

    // A dialog left open would keep the program running with no window, and a batch waiting
    // for the dialog's answer would never stop.
    void openDialogsCloseFirstAnsweringAsEscapeWould() {
        CountingWindow window;
        window.show();
        SignalCloser closer(window);
        QDialog dialog(&window);
        QMessageBox question(QMessageBox::NoIcon, QStringLiteral("Folverin"), QStringLiteral("Go on?"),
                             QMessageBox::Yes | QMessageBox::No, &window);
        for (QDialog* open : {&dialog, static_cast<QDialog*>(&question)}) {
            QTimer::singleShot(0, [] { ::raise(SIGTERM); });
            QTimer::singleShot(5000, open, [open] { open->done(NOT_CLOSED); });
            QVERIFY(open->exec() != NOT_CLOSED);
        }
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(question.result(), int(QMessageBox::No));
        QTRY_VERIFY(!window.isVisible());
    }

    void theHandlersBeforeComeBack() {
        struct sigaction own {};
        own.sa_handler = previousHandler;
        sigemptyset(&own.sa_mask);
        struct sigaction before {};
        ::sigaction(SIGTERM, &own, &before);
        {
            QWidget window;
            SignalCloser closer(window);
        }
        previousHandlerRan = 0;
        ::raise(SIGTERM);
        QCOMPARE(int(previousHandlerRan), 1);
        ::sigaction(SIGTERM, &before, nullptr);
    }
};

QTEST_MAIN(TestSignalCloser)
#include "tst_signalcloser.moc"
