#include "TestSupport.h"
#include "convert/ConverterApp.h"
#include "platform/ProfileFile.h"
#include "platform/ScriptedDialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::DialogResult;

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir temp;
    platform::ScriptedDialogs dialogs;

    ConverterApp freshApp() {
        ConverterApp app;
        app.deriveDataFolder(temp.path() + QStringLiteral("/program"),
                             temp.path() + QStringLiteral("/config"));
        return app;
    }

    void writeSettings(const QByteArray& contents) {
        const ConverterApp app = freshApp();
        QFile file(app.settingsPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        QVERIFY(temp.isValid());
        QDir(temp.path()).removeRecursively();
        QDir().mkpath(temp.path() + QStringLiteral("/program"));
        dialogs.clear();
        platform::Dialogs::setInstance(&dialogs);
    }

    void dataFolderIsCreatedInsideTheUserConfigFolder() {
        const ConverterApp app = freshApp();
        QCOMPARE(app.programDir, temp.path() + QStringLiteral("/program/"));
        QCOMPARE(app.dataDir, temp.path() + QStringLiteral("/config/Corvanta/Folverin/"));
        QVERIFY(QFileInfo(app.dataDir).isDir());
        QCOMPARE(app.settingsPath, app.dataDir + QStringLiteral("Settings.ini"));
        QCOMPARE(app.configPath, app.dataDir + QStringLiteral("CMapConfig.ini"));
    }

    void dataFolderFallsBackToTheProgramFolder() {
        ConverterApp app;
        app.deriveDataFolder(temp.path() + QStringLiteral("/program"), QString());
        QCOMPARE(app.dataDir, temp.path() + QStringLiteral("/program/Corvanta/Folverin/"));
        QVERIFY(QFileInfo(app.dataDir).isDir());
    }

    void firstStartLoadsDefaultsAndSavesElevenKeysInOrder() {
        ConverterApp app = freshApp();
        app.loadSettings();
        QCOMPARE(app.options, ConvertOptions::defaults());
        QCOMPARE(app.options.endPage, 1000);
        QCOMPARE(app.options.rawMode, 1);
        app.saveSettings();
        QFile file(app.settingsPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("[Output General]\r\nPage Range=0\r\nStart Page=1\r\nEnd Page=1000\r\n"
                            "Open Result=0\r\n[Output Options]\r\nOutput Mode=0\r\nLayout=0\r\n"
                            "Raw Mode=1\r\nEnd-of-Line=0\r\nPage Breaks=0\r\nHtml Meta=0\r\n"
                            "TextEncoding=0\r\n"));
    }

    void savedValuesComeBackAndTheOutputFolderDoesNot() {
        ConverterApp app = freshApp();
        app.loadSettings();
        app.options.pageRange = 1;
        app.options.startPage = -3;
        app.options.endPage = 7;
        app.options.textEncoding = 12;
        app.options.outputDirectory = temp.path();
        app.saveSettings();
        ConverterApp restarted = freshApp();
        restarted.loadSettings();
        QCOMPARE(restarted.options.pageRange, 1);
        QCOMPARE(restarted.options.startPage, -3);
        QCOMPARE(restarted.options.endPage, 7);
        QCOMPARE(restarted.options.textEncoding, 12);
        QVERIFY(restarted.options.outputDirectory.isEmpty());
    }

    void oddValuesLoadAsTheProfileReaderMakesThem() {
        writeSettings("[output general]\nEnd Page=abc\nstart page= 42xyz\n[Output Options]\nEnd-of-Line=7\n"
                      "TextEncoding=-1\n");
        ConverterApp app = freshApp();
        app.loadSettings();
        QCOMPARE(app.options.endPage, 0);
        QCOMPARE(app.options.startPage, 42);
        QCOMPARE(app.options.endOfLine, 7); // kept; the conversion treats it as DOS
        QCOMPARE(app.options.textEncoding, -1);
        QCOMPARE(app.options.rawMode, 1); // missing key: default
    }

    void savingKeepsWhatOthersWroteInTheFile() {
        writeSettings("; kept\r\n[Tips]\r\nStartUp=1\r\n[Output General]\r\nPage Range=1\r\n");
        ConverterApp app = freshApp();
        app.loadSettings();
        app.saveSettings();
        QCOMPARE(platform::ProfileFile::readInt(app.settingsPath, QStringLiteral("Tips"),
                                                QStringLiteral("StartUp"), 0),
                 1);
        QFile file(app.settingsPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith(
            "; kept\r\n[Tips]\r\nStartUp=1\r\n[Output General]\r\nPage Range=1\r\n"));
    }

    void resetAsksAndKeepsEncodingAndOutputFolder() {
        ConverterApp app = freshApp();
        app.options.textEncoding = 6;
        app.options.outputDirectory = QStringLiteral("/tmp/");
        app.options.layout = 1;
        app.options.endPage = 5;
        dialogs.queueAnswer(DialogResult::No);
        QVERIFY(!app.resetAllOptions());
        QCOMPARE(app.options.layout, 1);
        QVERIFY(app.resetAllOptions());
        QCOMPARE(dialogs.messageTexts(), QStringList(2, QStringLiteral("Reset all the convert options?")));
        QCOMPARE(dialogs.messages().first().buttons, platform::MessageButtons::YesNo);
        ConvertOptions expected = ConvertOptions::defaults();
        expected.textEncoding = 6;
        expected.outputDirectory = QStringLiteral("/tmp/");
        QCOMPARE(app.options, expected);
    }

    void unwritableDataFolderLeavesDefaults() {
        ConverterApp app;
        app.deriveDataFolder(temp.path(), QStringLiteral("/proc/no-such-place"));
        app.loadSettings();
        QCOMPARE(app.options, ConvertOptions::defaults());
        app.saveSettings(); // must neither crash nor create anything
        QVERIFY(!QFile::exists(app.settingsPath));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
