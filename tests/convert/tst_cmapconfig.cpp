#include "TestSupport.h"
#include "convert/CMapConfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCMapConfig : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void linesCarryTheProgramFolderTabsAndCrLf() {
        const QList<QByteArray> lines = CMapConfig::text(QStringLiteral("/opt/My Folverin/")).split('\n');
        QCOMPARE(lines.size(), CMapConfig::lineCount + 1); // the last line end leaves an empty tail
        QVERIFY(lines.last().isEmpty());
        QCOMPARE(lines[0],
                 QByteArray("cidToUnicode\tAdobe-GB1\t/opt/My Folverin/Unicode/Adobe-GB1.cidToUnicode\r"));
        QCOMPARE(lines[2], QByteArray("unicodeMap\tEUC-CN\t\t/opt/My Folverin/Unicode/EUC-CN.unicodeMap\r"));
        QCOMPARE(lines[4], QByteArray("cMapDir\t\tAdobe-GB1\t/opt/My Folverin/Unicode/CMap\r"));
        QCOMPARE(lines[5], QByteArray("toUnicodeDir\t\t\t/opt/My Folverin/Unicode/CMap\r"));
        QCOMPARE(lines[15],
                 QByteArray("unicodeMap\tBig5ascii\t/opt/My Folverin/Unicode/Big5ascii.unicodeMap\r"));
        QCOMPARE(lines[27], QByteArray("unicodeMap\tKOI8-R\t\t/opt/My Folverin/Unicode/KOI8-R.unicodeMap\r"));
        for (const QByteArray& line : lines.mid(0, CMapConfig::lineCount)) {
            QVERIFY2(line.endsWith('\r') && line.count('\r') == 1, line.constData());
            QVERIFY2(!line.contains('\\'), line.constData());
        }
    }

    void writingTwiceGivesTheSameFile() {
        QTemporaryDir temp;
        const QString path = temp.filePath(QStringLiteral("CMapConfig.ini"));
        CMapConfig::write(path, QStringLiteral("/a/"));
        QFile first(path);
        QVERIFY(first.open(QIODevice::ReadOnly));
        const QByteArray once = first.readAll();
        first.close();
        CMapConfig::write(path, QStringLiteral("/a/"));
        QVERIFY(first.open(QIODevice::ReadOnly));
        QCOMPARE(first.readAll(), once);
        QCOMPARE(once, CMapConfig::text(QStringLiteral("/a/")));
    }

    void everyTableTheLinesNameIsBesideTheProgram() {
        for (const QByteArray& line : CMapConfig::text(testsupport::programDir()).split('\n')) {
            const QByteArray path = line.mid(line.lastIndexOf('\t') + 1).trimmed();
            if (!path.isEmpty())
                QVERIFY2(QFileInfo::exists(QFile::decodeName(path)), path.constData());
        }
    }

    void encodingIndexesResolveToEngineNames() {
        QCOMPARE(CMapConfig::encodings().size(), std::size_t(18));
        QCOMPARE(CMapConfig::encodingName(0), QStringLiteral("Latin1"));
        QCOMPARE(CMapConfig::encodingName(6), QStringLiteral("GBK"));
        QCOMPARE(CMapConfig::encodingName(14), QStringLiteral("KSX1001"));
        QCOMPARE(CMapConfig::encodingName(17), QStringLiteral("Windows-1255"));
        QCOMPARE(CMapConfig::encodingName(18), QStringLiteral("Latin1"));
        QCOMPARE(CMapConfig::encodingName(-1), QStringLiteral("Latin1"));
        QCOMPARE(QLatin1String(CMapConfig::encodings()[7].label),
                 QLatin1String("Big5 (Traditional Chinese)"));
        QCOMPARE(CMapConfig::encodingIndex(QStringLiteral("EUC-JP")), 12);
        QCOMPARE(CMapConfig::encodingIndex(QStringLiteral("nope")), -1);
    }

    void endOfLineNames() {
        QCOMPARE(CMapConfig::endOfLineName(0), "dos");
        QCOMPARE(CMapConfig::endOfLineName(1), "unix");
        QCOMPARE(CMapConfig::endOfLineName(2), "mac");
        QCOMPARE(CMapConfig::endOfLineName(7), "dos");
    }
};

QTEST_GUILESS_MAIN(TestCMapConfig)
#include "tst_cmapconfig.moc"
