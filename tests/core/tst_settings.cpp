#include "TestSupport.h"
#include "core/ConvertOptionFields.h"
#include "core/ConverterApp.h"
#include "core/OcrLanguages.h"
#include "platform/ProfileFile.h"
#include "platform/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using platform::DialogResult;
using testsupport::bytes;
using testsupport::texts;

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir temp;
    platform::ScriptedDialogs dialogs;

    std::string path(const char* name) const {
        return (temp.path() + QLatin1Char('/') + QLatin1String(name)).toStdString();
    }

    // No two fields alike, none at its default.
    static ConvertOptions distinctOptions() {
        ConvertOptions options;
        options.pageRange = 11;
        options.startPage = 12;
        options.endPage = 13;
        options.openResult = 14;
        options.outputMode = 15;
        options.outputDirectory = "/distinct/";
        options.htmlMeta = 16;
        options.layout = 17;
        options.rawMode = 18;
        options.endOfLine = 19;
        options.pageBreaks = 20;
        options.textEncoding = 21;
        options.recognizeScannedPages = 22;
        options.ocrLanguages = "distinct+languages";
        return options;
    }

    ConverterApp freshApp() {
        ConverterApp app;
        app.deriveDataFolder(path("program"), path("config"));
        return app;
    }

    void writeSettings(const QByteArray& contents) {
        const ConverterApp app = freshApp();
        QFile file(QString::fromStdString(app.settingsPath));
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
        QCOMPARE(bytes(app.programDir), bytes(path("program/")));
        QCOMPARE(bytes(app.dataDir), bytes(path("config/Corvanta/Folverin/")));
        QVERIFY(QFileInfo(QString::fromStdString(app.dataDir)).isDir());
        QCOMPARE(bytes(app.settingsPath), bytes(app.dataDir + "Settings.ini"));
        QCOMPARE(bytes(app.configPath), bytes(app.dataDir + "CMapConfig.ini"));
    }

    void dataFolderFallsBackToTheProgramFolder() {
        ConverterApp app;
        app.deriveDataFolder(path("program"), {});
        QCOMPARE(bytes(app.dataDir), bytes(path("program/Corvanta/Folverin/")));
        QVERIFY(QFileInfo(QString::fromStdString(app.dataDir)).isDir());
    }

    void firstStartLoadsDefaultsAndSavesThirteenKeysInOrder() {
        ConverterApp app = freshApp();
        app.loadSettings();
        QCOMPARE(app.options, ConvertOptions::defaults());
        QCOMPARE(app.options.endPage, 1000);
        QCOMPARE(app.options.rawMode, 1);
        app.saveSettings();
        QFile file(QString::fromStdString(app.settingsPath));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 QByteArray("[Output General]\r\nPage Range=0\r\nStart Page=1\r\nEnd Page=1000\r\n"
                            "Open Result=0\r\n[Output Options]\r\nOutput Mode=0\r\nLayout=0\r\n"
                            "Raw Mode=1\r\nEnd-of-Line=0\r\nPage Breaks=0\r\nHtml Meta=0\r\n"
                            "TextEncoding=0\r\nRecognize Scanned Pages=1\r\nOCR Languages=eng\r\n"));
    }

    // A file of an earlier version has the eleven keys alone: they keep their meaning and the
    // recognition options start at their defaults; chosen ones come back.
    void recognitionOptionsFollowTheElevenKeysAndComeBack() {
        writeSettings("[Output General]\r\nPage Range=1\r\nStart Page=2\r\nEnd Page=9\r\nOpen Result=1\r\n"
                      "[Output Options]\r\nOutput Mode=1\r\nLayout=1\r\nRaw Mode=0\r\nEnd-of-Line=2\r\n"
                      "Page Breaks=1\r\nHtml Meta=1\r\nTextEncoding=5\r\n");
        ConverterApp app = freshApp();
        app.loadSettings();
        QCOMPARE(app.options.endOfLine, 2);
        QCOMPARE(app.options.textEncoding, 5);
        QCOMPARE(app.options.recognizeScannedPages, option::recognizePagesWithoutText);
        QCOMPARE(bytes(app.options.ocrLanguages), bytes("eng"));
        app.options.recognizeScannedPages = option::recognizeAllPages;
        app.options.ocrLanguages = "eng+deu";
        app.saveSettings();
        ConverterApp restarted = freshApp();
        restarted.loadSettings();
        QCOMPARE(restarted.options, app.options);
        restarted.resetAllOptions();
        QCOMPARE(restarted.options.recognizeScannedPages, option::recognizePagesWithoutText);
        QCOMPARE(bytes(restarted.options.ocrLanguages), bytes("eng"));
    }

    void markdownOutputModeIsStoredAsTwo() {
        ConverterApp app = freshApp();
        app.loadSettings();
        app.options.outputMode = option::markdownFile;
        app.saveSettings();
        QFile file(QString::fromStdString(app.settingsPath));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("\r\nOutput Mode=2\r\n"));
        ConverterApp restarted = freshApp();
        restarted.loadSettings();
        QCOMPARE(restarted.options.outputMode, option::markdownFile);
    }

    void savedValuesComeBackAndTheOutputFolderDoesNot() {
        ConverterApp app = freshApp();
        app.loadSettings();
        app.options.pageRange = 1;
        app.options.startPage = -3;
        app.options.endPage = 7;
        app.options.textEncoding = 12;
        app.options.outputDirectory = path("");
        app.saveSettings();
        ConverterApp restarted = freshApp();
        restarted.loadSettings();
        QCOMPARE(restarted.options.pageRange, 1);
        QCOMPARE(restarted.options.startPage, -3);
        QCOMPARE(restarted.options.endPage, 7);
        QCOMPARE(restarted.options.textEncoding, 12);
        QVERIFY(restarted.options.outputDirectory.empty());
    }

    // Every stored field comes back into its own member: two rows on one member, or a key
    // read into another field, would lose or swap a value here.
    void everyStoredFieldComesBackIntoItsOwnMember() {
        ConverterApp app = freshApp();
        app.options = distinctOptions();
        app.saveSettings();
        ConverterApp restarted = freshApp();
        restarted.loadSettings();
        ConvertOptions expected = distinctOptions();
        expected.outputDirectory.clear();
        QCOMPARE(restarted.options, expected);
    }

    // The one list of fields covers each member once, and no settings key, option pane row or
    // command-line name is claimed by two fields.
    void fieldTableNamesEachFieldOnce() {
        ConvertOptions copied;
        for (const ConvertOptionField& field : convertOptionFields())
            field.copy(distinctOptions(), copied);
        QCOMPARE(copied, distinctOptions());

        QStringList keys;
        QList<int> paneItems;
        QStringList cliNames;
        for (const ConvertOptionField& field : convertOptionFields()) {
            if (field.stored())
                keys.append(QString::fromLatin1(field.section) + u'/' +
                            QString::fromLatin1(field.key).toLower());
            paneItems.append(field.paneItem);
            for (const char* name : field.cli.names) {
                if (name)
                    cliNames.append(QString::fromLatin1(name));
            }
        }
        QCOMPARE(QSet<QString>(keys.begin(), keys.end()).size(), keys.size());
        QCOMPARE(QSet<int>(paneItems.begin(), paneItems.end()).size(), paneItems.size());
        QCOMPARE(QSet<QString>(cliNames.begin(), cliNames.end()).size(), cliNames.size());
        for (int item = 1; item <= optionpane::ITEM_COUNT; ++item) {
            const bool category =
                item == optionpane::ID_GENERAL_OPTIONS || item == optionpane::ID_OUTPUT_OPTIONS;
            QCOMPARE(optionFieldOfPaneItem(item) == nullptr, category);
        }
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
        QCOMPARE(platform::ProfileFile::readInt(app.settingsPath, "Tips", "StartUp", 0), 1);
        QFile file(QString::fromStdString(app.settingsPath));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().startsWith(
            "; kept\r\n[Tips]\r\nStartUp=1\r\n[Output General]\r\nPage Range=1\r\n"));
    }

    void resetKeepsEncodingAndOutputFolder() {
        ConverterApp app = freshApp();
        app.options.textEncoding = 6;
        app.options.outputDirectory = "/tmp/";
        app.options.layout = 1;
        app.options.endPage = 5;
        app.resetAllOptions();
        QVERIFY(dialogs.messages().empty());
        ConvertOptions expected = ConvertOptions::defaults();
        expected.textEncoding = 6;
        expected.outputDirectory = "/tmp/";
        QCOMPARE(app.options, expected);
    }

    void ocrLanguagesAreTheInstalledDataFilesAndNothingOutsideThem() {
        const QString data = temp.path() + QStringLiteral("/tessdata");
        QVERIFY(QDir().mkpath(data + QStringLiteral("/dir.traineddata")));
        for (const char* file : {"eng.traineddata", "deu.traineddata", "osd.traineddata", "eng.txt"}) {
            QFile made(data + QLatin1Char('/') + QLatin1String(file));
            QVERIFY(made.open(QIODevice::WriteOnly));
        }
        QFile outside(temp.path() + QStringLiteral("/secret.traineddata"));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        const QByteArray saved = qgetenv("TESSDATA_PREFIX");
        qputenv("TESSDATA_PREFIX", data.toUtf8());
        const std::vector<std::string> installed = OcrLanguages::installed();
        const std::vector<std::string> none = OcrLanguages::missing("eng+deu");
        const std::vector<std::string> french = OcrLanguages::missing("deu+fra");
        const std::vector<std::string> climbing = OcrLanguages::missing("../secret+eng+");
        const std::vector<std::string> folder = OcrLanguages::missing("dir");
        const std::vector<std::string> defaulted = OcrLanguages::missing("");
        qputenv("TESSDATA_PREFIX", saved);
        QCOMPARE(installed, (std::vector<std::string>{"deu", "eng"}));
        QVERIFY(none.empty());
        QCOMPARE(french, std::vector<std::string>{"fra"});
        QCOMPARE(climbing, (std::vector<std::string>{"../secret", ""}));
        QCOMPARE(folder, std::vector<std::string>{"dir"});
        QVERIFY(defaulted.empty());
        QVERIFY(QString::fromStdString(OcrLanguages::missingMessage("deu+fra", french))
                    .contains(QStringLiteral("'deu+fra' ('fra')")));
    }

    void unwritableDataFolderLeavesDefaults() {
        ConverterApp app;
        app.deriveDataFolder(path(""), "/proc/no-such-place");
        app.loadSettings();
        QCOMPARE(app.options, ConvertOptions::defaults());
        app.saveSettings(); // must neither crash nor create anything
        QVERIFY(!QFile::exists(QString::fromStdString(app.settingsPath)));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
