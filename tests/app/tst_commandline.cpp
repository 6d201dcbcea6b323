#include "TestSupport.h"
#include "app/CommandLine.h"

#include <QTest>

using testsupport::bytes;

namespace {

QByteArrayList list(const std::vector<std::string>& strings) {
    QByteArrayList result;
    for (const std::string& string : strings)
        result.append(QByteArray::fromStdString(string));
    return result;
}

} // namespace

Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void parse_data() {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<CommandLine::Action>("action");
        QTest::addColumn<bool>("showSplash");
        QTest::addColumn<QByteArrayList>("paths");
        using A = CommandLine::Action;
        QTest::newRow("nothing") << QByteArrayList{} << A::Run << true << QByteArrayList{};
        // A running instance has another working folder: relative paths must arrive absolute.
        QTest::newRow("relative paths made absolute")
            << QByteArrayList{"a.pdf", "./sub/../b.pdf", "../c", "/abs/d.PDF"} << A::Run << true
            << QByteArrayList{"/work/here/a.pdf", "/work/here/b.pdf", "/work/c", "/abs/d.PDF"};
        QTest::newRow("no splash among paths") << QByteArrayList{"a.pdf", "--no-splash"} << A::Run << false
                                               << QByteArrayList{"/work/here/a.pdf"};
        QTest::newRow("paths after --") << QByteArrayList{"--", "--help", "-x.pdf"} << A::Run << true
                                        << QByteArrayList{"/work/here/--help", "/work/here/-x.pdf"};
        QTest::newRow("help wins over paths")
            << QByteArrayList{"a.pdf", "-h"} << A::Help << true << QByteArrayList{"/work/here/a.pdf"};
        QTest::newRow("version") << QByteArrayList{"--version"} << A::Version << true << QByteArrayList{};
        // Qt's own options are not taken: Qt never sees the command line.
        QTest::newRow("unknown option")
            << QByteArrayList{"-platform", "offscreen"} << A::UsageError << true << QByteArrayList{};
    }

    void parse() {
        QFETCH(QByteArrayList, arguments);
        std::vector<std::string> args;
        for (const QByteArray& argument : arguments)
            args.push_back(argument.toStdString());
        const CommandLine line = CommandLine::parse(args, "/work/here");
        QTEST(line.action, "action");
        QTEST(line.showSplash, "showSplash");
        QTEST(list(line.paths), "paths");
        QCOMPARE(line.error.empty(), line.action != CommandLine::Action::UsageError);
    }

    void usageErrorNamesTheOption() {
        const CommandLine line = CommandLine::parse({"a.pdf", "--bogus", "--help"}, "/");
        QCOMPARE(line.action, CommandLine::Action::UsageError);
        QCOMPARE(bytes(line.error), QByteArray("unknown option '--bogus'"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
