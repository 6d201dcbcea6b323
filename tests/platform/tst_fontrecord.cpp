#include "platform/FontRecord.h"

#include "../support/TestSupport.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

using platform::FontRecord;

class TestFontRecord : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void recordToFontAndBack_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("weight");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("strikeOut");
        QTest::newRow("bold header") << -14 << 700 << false << false << false;
        QTest::newRow("normal italic") << -12 << 400 << true << false << false;
        QTest::newRow("link") << -13 << 400 << false << true << false;
        QTest::newRow("struck heavy") << -20 << 900 << false << false << true;
    }

    void recordToFontAndBack() {
        FontRecord record;
        QFETCH(int, height);
        QFETCH(int, weight);
        record.height = height;
        record.weight = weight;
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        QFETCH(bool, strikeOut);
        record.italic = italic;
        record.underline = underline;
        record.strikeOut = strikeOut;
        record.faceName = QStringLiteral("DejaVu Sans");

        const QFont font = record.toQFont();
        QCOMPARE(font.pixelSize(), -height);
        QCOMPARE(int(font.weight()), weight);
        QCOMPARE(font.italic(), italic);
        QCOMPARE(font.underline(), underline);
        QCOMPARE(font.strikeOut(), strikeOut);
        QCOMPARE(font.family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(FontRecord::fromQFont(font), record);
    }

    void positiveHeightIsTheCellHeight() {
        FontRecord record;
        record.height = 30;
        record.faceName = QStringLiteral("DejaVu Sans");
        const QFont font = record.toQFont();
        QVERIFY(font.pixelSize() < 30); // the em is smaller than the cell
        QVERIFY(qAbs(QFontMetrics(font).height() - 30) <= 1);
    }

    void zeroHeightAndWeightTakeDefaults() {
        FontRecord record;
        record.weight = 0;
        const QFont font = record.toQFont();
        QCOMPARE(font.pointSizeF(), QApplication::font().pointSizeF());
        QCOMPARE(font.weight(), QFont::Normal);
    }

    void missingFacesFallBackToTheApplicationFont_data() {
        QTest::addColumn<QString>("face");
        QTest::newRow("MS Sans Serif") << "MS Sans Serif";
        QTest::newRow("Tahoma") << "Tahoma";
        QTest::newRow("unknown") << "No Such Family 1234";
        QTest::newRow("empty") << "";
    }

    void missingFacesFallBackToTheApplicationFont() {
        QFETCH(QString, face);
        FontRecord record;
        record.height = -11;
        record.faceName = face;
        QCOMPARE(record.toQFont().family(), QApplication::font().family());
    }

    void fontWithPointSizeGivesPixelHeight() {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(10);
        const FontRecord record = FontRecord::fromQFont(font);
        QCOMPARE(record.height, -QFontInfo(font).pixelSize());
        QVERIFY(record.height < 0);
    }

    void systemFontsComeFromTheApplication() {
        QFont appFont(QStringLiteral("DejaVu Serif"));
        appFont.setPixelSize(17);
        const QFont before = QApplication::font();
        QApplication::setFont(appFont);
        const FontRecord message = FontRecord::systemFont();
        QApplication::setFont(before);
        QCOMPARE(message.faceName, QStringLiteral("DejaVu Serif"));
        QCOMPARE(message.height, -17);
        QVERIFY(FontRecord::systemFont(FontRecord::SystemRole::Menu).height < 0);
    }
};

QTEST_MAIN(TestFontRecord)
#include "tst_fontrecord.moc"
