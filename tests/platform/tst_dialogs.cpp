#include "TestSupport.h"
#include "platform/Dialogs.h"
#include "platform/ScriptedDialogs.h"

#include <QTemporaryFile>
#include <QTest>
#include <cstdio>
#include <unistd.h>

using platform::DialogResult;
using platform::Dialogs;
using platform::MessageButtons;

class TestDialogs : public QObject {
    Q_OBJECT

    // What the calls made by run print on standard error.
    template <typename Calls> static QByteArray standardErrorOf(Calls run) {
        QTemporaryFile capture;
        if (!capture.open())
            qFatal("cannot make a file for standard error");
        std::fflush(stderr);
        const int saved = ::dup(STDERR_FILENO);
        ::dup2(capture.handle(), STDERR_FILENO);
        run();
        std::fflush(stderr);
        ::dup2(saved, STDERR_FILENO);
        ::close(saved);
        capture.seek(0);
        return capture.readAll();
    }

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    // Code that reports before any front end is set up (or after it is gone) neither crashes
    // nor loses the text, and no question is taken as a yes.
    void withoutAFrontEndMessagesGoToStandardErrorAndQuestionsAreDismissed() {
        Dialogs::setInstance(nullptr);
        QList<DialogResult> answers;
        const QByteArray printed = standardErrorOf([&] {
            for (MessageButtons buttons : {MessageButtons::Ok, MessageButtons::OkCancel,
                                           MessageButtons::YesNo, MessageButtons::YesNoCancel})
                answers << Dialogs::message("Replace it?", buttons, "/docs/a.pdf");
        });
        QCOMPARE(answers, (QList<DialogResult>{DialogResult::Ok, DialogResult::Cancel, DialogResult::No,
                                               DialogResult::Cancel}));
        QCOMPARE(printed, QByteArray("Replace it?\n").repeated(4));
        QVERIFY(Dialogs::instance().openFiles({}).empty());
        QVERIFY(Dialogs::instance().selectFolder({}).empty());
        QVERIFY(Dialogs::instance().saveFile({}).empty());

        platform::ScriptedDialogs scripted;
        Dialogs::setInstance(&scripted);
        QVERIFY(standardErrorOf([] { Dialogs::message("Converted."); }).isEmpty());
        Dialogs::setInstance(nullptr);
        QCOMPARE(scripted.messageTexts(), std::vector<std::string>{"Converted."});
    }
};

QTEST_GUILESS_MAIN(TestDialogs)
#include "tst_dialogs.moc"
