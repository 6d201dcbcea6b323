#include "TestSupport.h"
#include "core/CMapConfig.h"
#include "engine/EngineDataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCMapConfig : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void linesCarryTheProgramFolderTabsAndCrLf() {
        const QList<QByteArray> lines = testsupport::bytes(CMapConfig::text("/opt/My Folverin/")).split('\n');
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
        CMapConfig::write(path.toStdString(), "/a/");
        QFile first(path);
        QVERIFY(first.open(QIODevice::ReadOnly));
        const QByteArray once = first.readAll();
        first.close();
        CMapConfig::write(path.toStdString(), "/a/");
        QVERIFY(first.open(QIODevice::ReadOnly));
        QCOMPARE(first.readAll(), once);
        QCOMPARE(once, testsupport::bytes(CMapConfig::text("/a/")));
    }

    void everyTableTheLinesNameIsBesideTheProgram() {
        for (const QByteArray& line :
             testsupport::bytes(CMapConfig::text(testsupport::programDir().toStdString())).split('\n')) {
            const QByteArray path = line.mid(line.lastIndexOf('\t') + 1).trimmed();
            if (!path.isEmpty())
                QVERIFY2(QFileInfo::exists(QFile::decodeName(path)), path.constData());
        }
    }

    void dataFolderLinksEveryTableUnderTheEngineLayout() {
        QTemporaryDir temp;
        EngineDataFolder folders(temp.filePath(QStringLiteral("cache")).toStdString());
        const std::string config = CMapConfig::text("/prog/");
        const QString folder = QString::fromStdString(folders.folderFor(config));
        QVERIFY(!folder.isEmpty());
        QCOMPARE(QFileInfo(folder + QStringLiteral("/unicodeMap/GBK")).symLinkTarget(),
                 QStringLiteral("/prog/Unicode/GBK.unicodeMap"));
        QCOMPARE(QFileInfo(folder + QStringLiteral("/cidToUnicode/Adobe-Japan1")).symLinkTarget(),
                 QStringLiteral("/prog/Unicode/Adobe-Japan1.cidToUnicode"));
        QCOMPARE(QFileInfo(folder + QStringLiteral("/cMap/Adobe-Korea1")).symLinkTarget(),
                 QStringLiteral("/prog/Unicode/CMap"));
        QCOMPARE(QDir(folder + QStringLiteral("/unicodeMap"))
                     .entryList(QDir::System | QDir::NoDotAndDotDot)
                     .size(),
                 16);
        QCOMPARE(QDir(folder + QStringLiteral("/cMap")).entryList(QDir::System | QDir::NoDotAndDotDot).size(),
                 4);
        QCOMPARE(QDir(folder + QStringLiteral("/nameToUnicode"))
                     .entryList(QDir::System | QDir::NoDotAndDotDot)
                     .size(),
                 3);

        // The same text finds the same folder, also from a new process; another text another.
        EngineDataFolder later(temp.filePath(QStringLiteral("cache")).toStdString());
        QCOMPARE(QString::fromStdString(later.folderFor(config)), folder);
        QVERIFY(QString::fromStdString(later.folderFor(CMapConfig::text("/elsewhere/"))) != folder);
        QCOMPARE(QDir(temp.filePath(QStringLiteral("cache")))
                     .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)
                     .size(),
                 2); // no half-made folders left behind
    }

    void tableNamesCannotLeaveTheDataFolder() {
        QTemporaryDir temp;
        const std::string root = temp.filePath(QStringLiteral("data")).toStdString();
        QVERIFY(EngineDataFolder::layOut(root, "unicodeMap\t../../escape\t/x\ncidToUnicode\t..\t/y\n"));
        QVERIFY(!QFileInfo::exists(temp.filePath(QStringLiteral("escape"))));
        QVERIFY(!QFileInfo(temp.filePath(QStringLiteral("escape"))).isSymLink());
        QCOMPARE(QDir(temp.filePath(QStringLiteral("data/unicodeMap")))
                     .entryList(QDir::System | QDir::NoDotAndDotDot)
                     .size(),
                 0);
    }

    void withoutAWritableCacheATemporaryFolderServes() {
        EngineDataFolder folders("/proc/no-cache-here");
        const QString folder = QString::fromStdString(folders.folderFor(CMapConfig::text("/prog/")));
        QVERIFY(!folder.isEmpty());
        QVERIFY(QFileInfo(folder + QStringLiteral("/unicodeMap/Latin2")).isSymLink());
    }

    void encodingIndexesResolveToEngineNames() {
        QCOMPARE(CMapConfig::encodings().size(), std::size_t(18));
        QCOMPARE(testsupport::bytes(CMapConfig::encodingName(0)), QByteArray("Latin1"));
        QCOMPARE(testsupport::bytes(CMapConfig::encodingName(6)), QByteArray("GBK"));
        QCOMPARE(testsupport::bytes(CMapConfig::encodingName(14)), QByteArray("KSX1001"));
        QCOMPARE(testsupport::bytes(CMapConfig::encodingName(17)), QByteArray("Windows-1255"));
        QCOMPARE(testsupport::bytes(CMapConfig::encodingName(18)), QByteArray("Latin1"));
        QCOMPARE(testsupport::bytes(CMapConfig::encodingName(-1)), QByteArray("Latin1"));
        QCOMPARE(QLatin1String(CMapConfig::encodings()[7].label),
                 QLatin1String("Big5 (Traditional Chinese)"));
        QCOMPARE(CMapConfig::encodingIndex("EUC-JP"), 12);
        QCOMPARE(CMapConfig::encodingIndex("nope"), -1);
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
