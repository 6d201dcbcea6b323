#include "TestSupport.h"

#include "core/ConvertOptionFields.h"
#include "pool/WireFormat.h"
#include "pool/WorkerMessages.h"

#include <QTest>
#include <cstdint>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::bytes;

// The bytes between the program and its workers: what is written reads back field for field,
// and a stream that is cut short or damaged is refused instead of read as other values.
class TestWireFormat : public QObject {
    Q_OBJECT

    static std::string payloadOf(const std::string& record) {
        std::string stream = record;
        return wire::takeRecord(stream).value_or(std::string());
    }

    static ConvertRequest sampleRequest() {
        ConvertRequest request;
        request.job = {"/data/ünïcode name.pdf", "owner", std::string("us\0er", 5), 3, 7};
        request.options = ConvertOptions::defaults();
        request.options.outputDirectory = "/out";
        request.options.endPage = 42;
        request.options.recognizeScannedPages = option::recognizeAllPages;
        request.options.ocrLanguages = "eng+deu";
        request.configPath = "/config";
        request.programDir = "/program/";
        request.outputPath = "/out/name.txt";
        request.pieceIndex = 2;
        request.order = PageOrder{{3, 40, false, true}, std::vector<int>{3, 9, 40}};
        request.documentStamp = {INT64_MIN, INT64_MAX, 1ll << 40, -1, 999'999'999};
        return request;
    }

    struct SocketPair {
        SocketPair() {
            int ends[2];
            QVERIFY(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0);
            program.reset(ends[0]);
            worker.reset(ends[1]);
        }
        platform::UniqueFd program;
        platform::UniqueFd worker;
    };

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    // Records follow each other in one stream; each is taken off whole, in order, and a
    // record still arriving leaves the stream as it was.
    void recordsReadBackFieldForField() {
        const std::string texts[] = {std::string(), std::string("a\0b", 3), "ünïcode",
                                     std::string(70000, 'x')};
        wire::Writer first(9);
        first.put(INT32_MIN).put(-1).put(INT32_MAX).put64(INT64_MIN).put64(-2).put64(INT64_MAX);
        for (const std::string& text : texts)
            first.put(text);
        const std::string second = wire::Writer(200).put(5).record();
        std::string stream = first.record() + second + second.substr(0, second.size() - 1);

        wire::Reader reader(wire::takeRecord(stream).value());
        QCOMPARE(int{reader.kind()}, 9);
        QCOMPARE(reader.getInt(), INT32_MIN);
        QCOMPARE(reader.getInt(), -1);
        QCOMPARE(reader.getInt(), INT32_MAX);
        QCOMPARE(reader.getInt64(), INT64_MIN);
        QCOMPARE(reader.getInt64(), std::int64_t{-2});
        QCOMPARE(reader.getInt64(), INT64_MAX);
        for (const std::string& text : texts)
            QCOMPARE(bytes(reader.getText()), bytes(text));
        QVERIFY(!reader.broken());

        wire::Reader next(wire::takeRecord(stream).value());
        QCOMPARE(int{next.kind()}, 200);
        QCOMPARE(next.getInt(), 5);
        QVERIFY(!next.broken());

        const std::string partial = stream;
        QVERIFY(!wire::takeRecord(stream));
        QCOMPARE(bytes(stream), bytes(partial));
        QVERIFY(!wire::damaged(stream));
    }

    // Requests and summaries survive the trip, and cut anywhere they are refused.
    void messagesRoundTripAndTruncatedOnesAreRefused() {
        const ConvertRequest request = sampleRequest();
        const std::string payload = payloadOf(request.record());
        wire::Reader whole(payload);
        QCOMPARE(whole.kind(), request::convert);
        const ConvertRequest read = ConvertRequest::from(whole);
        QVERIFY(!whole.broken());
        QCOMPARE(bytes(read.record()), bytes(request.record()));
        QVERIFY(read.options == request.options);
        QCOMPARE(read.order->readPages, request.order->readPages);
        QCOMPARE(read.order->pages.first, 3);
        QVERIFY(!read.order->pages.head && read.order->pages.foot);

        for (std::size_t cut = 0; cut < payload.size(); ++cut) {
            wire::Reader reader(payload.substr(0, cut));
            ConvertRequest::from(reader);
            QVERIFY2(reader.broken(), qPrintable(QStringLiteral("cut at %1").arg(cut)));
        }
        // A text whose length says less than was written leaves bytes over: read as the
        // later fields they would be wrong, so the record is refused.
        std::string shortened = payload;
        shortened[1] = static_cast<char>(shortened[1] - 1);
        for (const std::string& longer : {payload + std::string(1, '\0'), payload + "abcd", shortened}) {
            wire::Reader reader(longer);
            ConvertRequest::from(reader);
            QVERIFY(reader.broken());
        }

        SummaryReport report;
        report.documentValid = true;
        report.encrypted = true;
        report.pageCount = 12;
        report.pagesWithoutText = 5;
        report.pagesWithUnusableText = 3;
        report.lines = {{SummaryLine::Style::Path, "/a.pdf"}, {SummaryLine::Style::Plain, "Pages: 12"}};
        const std::string summary = payloadOf(reply::summaryRecord(report));
        wire::Reader summaryReader(summary);
        const SummaryReport back = reply::summaryFrom(summaryReader);
        QVERIFY(!summaryReader.broken());
        QVERIFY(back.documentValid && back.encrypted);
        QCOMPARE(back.pageCount, 12);
        QCOMPARE(back.pagesWithoutText, 5);
        QCOMPARE(back.pagesWithUnusableText, 3);
        QCOMPARE(back.lines.size(), std::size_t{2});
        QCOMPARE(back.lines[1].style, SummaryLine::Style::Plain);
        QCOMPARE(bytes(back.lines[1].text), bytes("Pages: 12"));
        for (std::size_t cut = 0; cut < summary.size(); ++cut) {
            wire::Reader reader(summary.substr(0, cut));
            reply::summaryFrom(reader);
            QVERIFY2(reader.broken(), qPrintable(QStringLiteral("cut at %1").arg(cut)));
        }
        wire::Reader longerSummary(summary + "x");
        reply::summaryFrom(longerSummary);
        QVERIFY(longerSummary.broken());
    }

    // Every option field travels into its own member, and a record whose option fields are
    // counted differently (a peer built with other fields) is refused, not read shifted.
    void optionFieldsTravelAndAnotherFieldCountIsRefused() {
        ConvertRequest request = sampleRequest();
        std::int32_t next = 0;
        for (const ConvertOptionField& field : convertOptionFields()) {
            if (const auto* member = std::get_if<ConvertOptionField::IntMember>(&field.member))
                request.options.** member = ++next;
            else
                request.options.*std::get<ConvertOptionField::TextMember>(field.member) =
                    "/dir" + std::to_string(++next);
        }
        const std::string payload = payloadOf(request.record());
        wire::Reader reader(payload);
        QCOMPARE(ConvertRequest::from(reader).options, request.options);
        QVERIFY(!reader.broken());

        const ConvertJob& job = request.job;
        const std::size_t countAt = payloadOf(wire::Writer(request::convert)
                                                  .put(job.pdfPath)
                                                  .put(job.ownerPassword)
                                                  .put(job.userPassword)
                                                  .put(job.jobNumber)
                                                  .put(job.jobCount)
                                                  .record())
                                        .size();
        const auto fieldCount = static_cast<std::int32_t>(convertOptionFields().size());
        const std::string count = payloadOf(wire::Writer(0).put(fieldCount).record()).substr(1);
        QCOMPARE(bytes(payload.substr(countAt, 4)), bytes(count));
        for (const std::int32_t other : {fieldCount - 1, fieldCount + 1, 0, -1}) {
            std::string changed = payload;
            changed.replace(countAt, 4, payloadOf(wire::Writer(0).put(other).record()).substr(1));
            wire::Reader refused(changed);
            const ConvertRequest read = ConvertRequest::from(refused);
            QVERIFY2(refused.broken(), qPrintable(QString::number(other)));
            QVERIFY(read.outputPath.empty());
        }
    }

    // Lengths that promise more than is there, up to the largest a length can say, break the
    // reader without reading past the record or reserving what they promise.
    void lengthsBeyondTheRecordBreakTheReader() {
        wire::Reader text(payloadOf(wire::Writer(1).put(-1).put(7).record()));
        QCOMPARE(bytes(text.getText()), QByteArray());
        QVERIFY(text.broken());
        QCOMPARE(text.getInt(), 0); // the field after the damage is not read as the 7 behind it

        const std::string lines =
            payloadOf(wire::Writer(reply::summary).put(1).put(0).put(3).put(INT32_MAX).record());
        wire::Reader summary(lines);
        const SummaryReport report = reply::summaryFrom(summary);
        QVERIFY(summary.broken());
        QVERIFY(report.lines.size() <= 1);

        wire::Reader empty{std::string()};
        QCOMPARE(int{empty.kind()}, 0);
        QVERIFY(empty.broken());
    }

    // A record length past the largest allowed marks the stream damaged as soon as its four
    // bytes are in; the largest allowed itself is a record still arriving.
    void streamsWithImpossibleLengthsAreDamaged() {
        const auto header = [](std::uint32_t length) {
            std::string bytes;
            for (int shift = 0; shift < 32; shift += 8)
                bytes.push_back(static_cast<char>((length >> shift) & 0xFF));
            return bytes;
        };
        QVERIFY(!wire::damaged(header(wire::maxRecordBytes)));
        QVERIFY(wire::damaged(header(wire::maxRecordBytes + 1)));
        QVERIFY(wire::damaged(header(UINT32_MAX) + "payload"));
        QVERIFY(!wire::damaged(header(UINT32_MAX).substr(0, 3)));

        SocketPair socket;
        QVERIFY(wire::writeAll(socket.program.get(), header(wire::maxRecordBytes + 1) + "rest"));
        std::deque<platform::UniqueFd> received;
        QVERIFY(!wire::readRecord(socket.worker.get(), received));
    }

    // Over a socket a record arrives whole however it was split, with the descriptors sent
    // along in their order; a peer that goes mid-record ends the stream instead of handing on
    // a short record.
    void socketsCarryWholeRecordsAndRefuseCutOnes() {
        SocketPair socket;
        const std::string record = sampleRequest().record();
        platform::UniqueFd first(::memfd_create("first", MFD_CLOEXEC));
        platform::UniqueFd second(::memfd_create("second", MFD_CLOEXEC));
        QVERIFY(wire::writeAll(socket.program.get(), record.substr(0, 3), first.get()));
        QVERIFY(wire::writeAll(socket.program.get(), record.substr(3, 10)));
        QVERIFY(wire::writeAll(socket.program.get(), record.substr(13), second.get()));
        QVERIFY(wire::writeAll(socket.program.get(), record.substr(0, record.size() - 1)));
        socket.program.reset();

        std::deque<platform::UniqueFd> received;
        const std::optional<std::string> read = wire::readRecord(socket.worker.get(), received);
        QCOMPARE(bytes(read.value_or(std::string())), bytes(payloadOf(record)));
        QCOMPARE(received.size(), std::size_t{2});
        const auto sameFile = [](int a, int b) {
            struct stat one {};
            struct stat other {};
            return ::fstat(a, &one) == 0 && ::fstat(b, &other) == 0 && one.st_dev == other.st_dev &&
                   one.st_ino == other.st_ino;
        };
        QVERIFY(sameFile(received[0].get(), first.get()));
        QVERIFY(sameFile(received[1].get(), second.get()));

        QVERIFY(!wire::readRecord(socket.worker.get(), received));
        QVERIFY(!wire::writeAll(socket.worker.get(), record));
    }
};

QTEST_GUILESS_MAIN(TestWireFormat)
#include "tst_wireformat.moc"
