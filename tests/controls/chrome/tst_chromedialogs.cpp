#include "controls/chrome/ChromeDialogs.h"
#include "controls/chrome/FECFileDialog.h"
#include "controls/chrome/SelectFolderDialog.h"

#include "FileDialogViews.h"
#include "TestSupport.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

using testsupport::whenModalShows;

namespace {

std::string nativeBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

class TestChromeDialogs : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("\u00dcbersicht")));
        touch(dir.path() + QStringLiteral("/a.pdf"));
        touch(dir.path() + QStringLiteral("/b.pdf"));
        touch(dir.path() + QStringLiteral("/c.txt"));
    }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    // The job list asks for PDF files; several typed names come back as the file system's bytes.
    void openFilesUsesTheMultiSelectDialog() {
        ChromeDialogs dialogs;
        QString title;
        QStringList filters;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        whenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<CFECFileDialog*>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            mode = dialog->fileMode();
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            edit->setText(QStringLiteral("\"a.pdf\" \"b.pdf\""));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        platform::OpenFilesRequest request;
        request.title = "Open";
        request.initialFolder = nativeBytes(dir.path());
        request.nameFilters = {"PDF Files (*.pdf)"};
        const std::vector<std::string> files = dialogs.openFiles(request);
        QCOMPARE(title, QStringLiteral("Open"));
        QCOMPARE(filters, QStringList{QStringLiteral("PDF Files (*.pdf)")});
        QCOMPARE(mode, QFileDialog::ExistingFiles);
        QCOMPARE(testsupport::texts(files),
                 (QStringList{dir.path() + QStringLiteral("/a.pdf"), dir.path() + QStringLiteral("/b.pdf")}));

        whenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        QVERIFY(dialogs.openFiles(request).empty());
    }

    void selectFolderHonoursShowFiles_data() {
        QTest::addColumn<bool>("showFiles");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("folders only") << false << QStringList{QStringLiteral("\u00dcbersicht")};
        QTest::newRow("with the PDF files") << true
                                            << QStringList{QStringLiteral("a.pdf"), QStringLiteral("b.pdf"),
                                                           QStringLiteral("\u00dcbersicht")};
    }

    // The worker thread may ask too: the dialog runs on the user-interface thread and the
    // worker gets the folder back as bytes, with one trailing '/'.
    void selectFolderHonoursShowFiles() {
        QFETCH(bool, showFiles);
        QFETCH(QStringList, listed);
        ChromeDialogs dialogs;
        QString title;
        QStringList shown;
        QThread* dialogThread = nullptr;
        const QString folder = dir.path() + QStringLiteral("/\u00dcbersicht");
        whenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<CSelectFolderDialog*>(modal);
            QVERIFY(dialog);
            shown = listedNames(dialog);
            if (shown != listed) // the folder is read in the background
                return;
            title = dialog->windowTitle();
            dialogThread = dialog->thread();
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("folderPathEdit"));
            edit->setText(folder + QLatin1Char('/'));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("selectButton")),
                              Qt::LeftButton);
        });
        std::string chosen;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            platform::FolderRequest request;
            request.initialFolder = nativeBytes(dir.path());
            request.showFiles = showFiles;
            chosen = dialogs.selectFolder(request);
        }));
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        QCOMPARE(shown, listed);
        QCOMPARE(title, QStringLiteral("Please Select a Folder"));
        QCOMPARE(dialogThread, qApp->thread());
        QCOMPARE(QByteArray::fromStdString(chosen), QFile::encodeName(folder + QLatin1Char('/')));
    }

    void selectFolderCancelled() {
        ChromeDialogs dialogs;
        whenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
        platform::FolderRequest request;
        request.title = "Output Folder";
        request.initialFolder = nativeBytes(dir.path());
        QVERIFY(dialogs.selectFolder(request).empty());
    }
};

QTEST_MAIN(TestChromeDialogs)
#include "tst_chromedialogs.moc"
