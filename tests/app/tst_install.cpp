#include "FixturePdf.h"
#include "TestSupport.h"
#include "core/CMapConfig.h"
#include "pool/PooledConverter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <unistd.h>

// What `cmake --install` lays out, used as a packager and a user would use it.
class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir temp;
    QString prefix;

    struct Run {
        int status = -1;
        QByteArray out;
        QByteArray err;
    };

    Run run(const QString& program, const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), temp.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), temp.filePath(QStringLiteral("cache")));
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForFinished(300000))
            qFatal("%s did not finish", qPrintable(program));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardOutput(), process.readAllStandardError()};
    }

    QString installed(const QString& relative) const { return prefix + QLatin1Char('/') + relative; }

    // The shared libraries the installed file names as needed.
    QByteArray neededLibraries(const QString& name) const {
        const QString readelf = QStandardPaths::findExecutable(QStringLiteral("readelf"));
        if (readelf.isEmpty())
            qFatal("readelf is missing (package binutils)");
        const Run needed =
            run(readelf, {QStringLiteral("-d"), installed(QStringLiteral("lib/folverin/") + name)});
        if (needed.status != 0)
            qFatal("readelf failed on %s", qPrintable(name));
        return needed.out;
    }

    // What the one worker process of this test has mapped.
    static QByteArray workerMaps() {
        QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
        while (processes.hasNext()) {
            const QString process = processes.next();
            const QList<QByteArray> stat = read(process + QStringLiteral("/stat")).split(')');
            // "pid (name) state ppid ...": the parent follows the name.
            if (stat.size() >= 2 && stat.last().split(' ').value(2).toLongLong() == ::getpid())
                return read(process + QStringLiteral("/maps"));
        }
        return "<no worker>";
    }

    class SilentFeedback : public JobFeedback {
    public:
        void pageProgress(int, int) override {}
        void message(const JobMessage& message) override { messages.push_back(message.text); }
        std::vector<std::string> messages;
    };

    static QByteArray read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QByteArray convertSample(const QString& cli, const QString& outputFolder,
                             const QStringList& jobs = {}) const {
        const Run converted =
            run(cli, jobs + QStringList{QStringLiteral("--no-settings"), QStringLiteral("--encoding"),
                                        QStringLiteral("UTF-8"), QStringLiteral("-q"), QStringLiteral("-o"),
                                        outputFolder,
                                        QStringLiteral(FOLVERIN_BUILD_DIR "/samples/multilingual.pdf")});
        if (converted.status != 0)
            return "status " + QByteArray::number(converted.status) + ": " + converted.err;
        return read(outputFolder + QStringLiteral("/multilingual.txt"));
    }

private Q_SLOTS:
    void initTestCase() {
        testsupport::failOnUnexpectedWarnings();
        prefix = temp.filePath(QStringLiteral("prefix"));
        const Run install = run(QStringLiteral(FOLVERIN_CMAKE_COMMAND),
                                {QStringLiteral("--install"), QStringLiteral(FOLVERIN_BUILD_DIR),
                                 QStringLiteral("--prefix"), prefix});
        QVERIFY2(install.status == 0, install.err.constData());
    }

    void init() { testsupport::failOnUnexpectedWarnings(); }

    void programsLiveTogetherWithTheirDataAndAreLinkedFromBin() {
        for (const QString& name : {QStringLiteral("folverin"), QStringLiteral("folverin-cli")}) {
            const QFileInfo link(installed(QStringLiteral("bin/") + name));
            QVERIFY2(link.isSymLink(), qPrintable(name));
            QCOMPARE(link.canonicalFilePath(),
                     QFileInfo(installed(QStringLiteral("lib/folverin/") + name)).canonicalFilePath());
            QVERIFY(link.isExecutable());
        }
        QVERIFY(QFile::exists(installed(QStringLiteral("lib/folverin/tips.txt"))));
        // Every table is a real file: links into the build tree would break with it.
        int tables = 0;
        QDirIterator it(installed(QStringLiteral("lib/folverin/Unicode")), QDir::Files | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo table(it.next());
            QVERIFY2(!table.isSymLink() && table.size() > 0, qPrintable(table.filePath()));
            ++tables;
        }
        QVERIFY2(tables > 100, qPrintable(QString::number(tables)));
        const Run version = run(installed(QStringLiteral("bin/folverin")), {QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QCOMPARE(version.out, QByteArray("folverin " FOLVERIN_VERSION "\n"));
    }

    // Many scripts and languages need the tables beside the installed program.
    void theInstalledCliConvertsAsTheBuiltOne() {
        const QByteArray fromInstall = convertSample(installed(QStringLiteral("bin/folverin-cli")),
                                                     temp.filePath(QStringLiteral("out-installed")));
        const QByteArray fromBuild = convertSample(testsupport::programDir() + QStringLiteral("folverin-cli"),
                                                   temp.filePath(QStringLiteral("out-built")));
        QVERIFY2(fromInstall.size() > 100, fromInstall.constData());
        QCOMPARE(fromInstall, fromBuild);
        // In one process the installed program loads its engine module from beside itself.
        QCOMPARE(convertSample(installed(QStringLiteral("bin/folverin-cli")),
                               temp.filePath(QStringLiteral("out-one")),
                               {QStringLiteral("-j"), QStringLiteral("1")}),
                 fromBuild);
    }

    // The PDF engine and the libraries it pulls in cost memory in every program that only
    // hands work to its workers: the window, and folverin-cli, which loads it as a module for
    // -j 1 alone.
    void theProgramsLinkNoPdfEngine() {
        for (const char* name : {"folverin-cli", "folverin"}) {
            const QByteArray needed = neededLibraries(QLatin1String(name));
            QVERIFY(needed.contains("libc.so"));
            QVERIFY2(!needed.contains("poppler"), name);
        }
    }

    // The text recognizer and its models cost every process that maps them: it is a module of
    // its own, which nothing links.
    void onlyTheRecognizerModuleLinksTheRecognizer() {
        for (const char* name :
             {"folverin-cli", "folverin", "folverin-worker", "folverin-engine.so", "folverin-ocr.so"}) {
            const bool reads = std::strcmp(name, "folverin-ocr.so") == 0;
            QVERIFY2(neededLibraries(QLatin1String(name)).contains("libtesseract") == reads, name);
        }
    }

    // A worker maps the recognizer the first time a page is to be read, never for text.
    void aWorkerMapsTheRecognizerOnlyToReadAScan() {
        const std::string programDir = testsupport::path(installed(QStringLiteral("lib/folverin/")));
        const std::string configPath = testsupport::path(temp.filePath(QStringLiteral("maps.ini")));
        CMapConfig::write(configPath, programDir);
        PooledConverter converter(PooledConverter::forProgram(programDir, configPath, 1));
        ConvertOptions options = ConvertOptions::defaults();
        options.outputDirectory = testsupport::path(temp.filePath(QStringLiteral("maps/")));
        QVERIFY(QDir().mkpath(temp.filePath(QStringLiteral("maps"))));
        const QString text = temp.filePath(QStringLiteral("maps/text.pdf"));
        const QString scan = temp.filePath(QStringLiteral("maps/scan.pdf"));
        fixtures::RawPdf textPages;
        textPages.pageTexts = {"text only", "and more"};
        QVERIFY(fixtures::writeRawPdf(text, textPages));
        QVERIFY(fixtures::writeBlankScanPdf(scan));
        SilentFeedback feedback;

        QCOMPARE(converter.convert({testsupport::path(text), {}, {}, 1, 2}, options, feedback),
                 JobOutcome::Converted);
        const QByteArray afterText = workerMaps();
        QVERIFY2(afterText.contains("libpoppler"), afterText.constData());
        QVERIFY2(!afterText.contains("libtesseract") && !afterText.contains("folverin-ocr"),
                 afterText.constData());

        QCOMPARE(converter.convert({testsupport::path(scan), {}, {}, 2, 2}, options, feedback),
                 JobOutcome::Converted);
        const QByteArray afterScan = workerMaps();
        QVERIFY2(afterScan.contains("folverin-ocr.so") && afterScan.contains("libtesseract"),
                 afterScan.constData());
        QCOMPARE(testsupport::texts(feedback.messages), QStringList());
    }

    // Without the recognizer's module, scans keep the text they have and the batch says once
    // what it says when no recognition data is installed; the other jobs convert as ever.
    void aMissingRecognizerIsToldOnceAndCostsNoJob() {
        const QString module = installed(QStringLiteral("lib/folverin/folverin-ocr.so"));
        const QString aside = module + QStringLiteral(".aside");
        QVERIFY(QFile::rename(module, aside));
        const auto restore = qScopeGuard([&] { QFile::rename(aside, module); });
        const QString folder = temp.filePath(QStringLiteral("no-recognizer"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(fixtures::writeBlankScanPdf(folder + QStringLiteral("/scan-1.pdf")));
        QVERIFY(fixtures::writeBlankScanPdf(folder + QStringLiteral("/scan-2.pdf")));
        fixtures::RawPdf textPage;
        textPage.pageTexts = {"plain text"};
        QVERIFY(fixtures::writeRawPdf(folder + QStringLiteral("/text.pdf"), textPage));
        for (const QString& jobs : {QStringLiteral("2"), QStringLiteral("1")}) {
            const QString output = temp.filePath(QStringLiteral("no-recognizer-out-") + jobs);
            const Run converted =
                run(installed(QStringLiteral("bin/folverin-cli")),
                    {QStringLiteral("--no-settings"), QStringLiteral("-j"), jobs, QStringLiteral("--ocr"),
                     QStringLiteral("auto"), QStringLiteral("-q"), QStringLiteral("-o"), output, folder});
            QCOMPARE(converted.status, 0);
            QCOMPARE(QString::fromUtf8(converted.err).count(QStringLiteral("No text recognition data")), 1);
            QVERIFY2(converted.err.contains("No text recognition data is installed for the OCR Languages "
                                            "'eng' ('eng'), so scanned pages are not read."),
                     converted.err.constData());
            QCOMPARE(QDir(output).entryList(QDir::Files).size(), 3);
            QVERIFY(read(output + QStringLiteral("/text.txt")).contains("plain text"));
        }
    }

    void theDesktopEntryIsValidAndOpensPdfs() {
        const QString entry = installed(QStringLiteral("share/applications/folverin.desktop"));
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        QVERIFY2(!validator.isEmpty(), "desktop-file-validate is missing: run scripts/setup");
        const Run validated = run(validator, {entry});
        QCOMPARE(validated.status, 0);
        QCOMPARE(validated.out + validated.err, QByteArray()); // not even a hint
        const QByteArray text = read(entry);
        QVERIFY(text.contains("\nMimeType=application/pdf;\n"));
        QVERIFY(text.contains("\nExec=folverin %F\n"));
        QVERIFY(text.contains("\nIcon=folverin\n"));
    }

    void theIconComesInEveryThemeSize() {
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QString file =
                installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/folverin.png").arg(size));
            const QImage icon(file);
            QCOMPARE(icon.size(), QSize(size, size));
            // Drawn, with a transparent corner around the page.
            QCOMPARE(icon.pixelColor(size - 1, 0).alpha(), 0);
            QCOMPARE(icon.pixelColor(size / 4, size / 2).alpha(), 255);
        }
        QVERIFY(read(installed(QStringLiteral("share/icons/hicolor/scalable/apps/folverin.svg")))
                    .contains("<svg"));
    }

    void theManPagesFormatWithoutWarnings() {
        const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
        if (groff.isEmpty())
            QSKIP("groff is not installed");
        for (const QString& page : {QStringLiteral("folverin.1"), QStringLiteral("folverin-cli.1")}) {
            const QString file = installed(QStringLiteral("share/man/man1/") + page);
            QVERIFY2(QFile::exists(file), qPrintable(file));
            const Run formatted =
                run(groff, {QStringLiteral("-man"), QStringLiteral("-ww"), QStringLiteral("-z"), file});
            QCOMPARE(formatted.status, 0);
            QCOMPARE(formatted.err, QByteArray());
        }
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
