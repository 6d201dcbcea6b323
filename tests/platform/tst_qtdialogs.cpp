#include "platform/QtDialogs.h"

#include "../support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <string>
#include <vector>

using namespace platform;
using testsupport::whenModalShows;

namespace {

void clickButton(QWidget* modal, QMessageBox::StandardButton which) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    QVERIFY(box);
    QVERIFY(box->button(which));
    box->button(which)->click();
}

// Types a full path into the dialog's name field and presses OK, as a user would; the
// dialog still runs its own checks (the file must exist, the folder must be a folder).
void typeAndAccept(QFileDialog* dialog, const QString& path) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    edit->setText(path);
    static_cast<QDialog*>(dialog)->accept();
}

} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("Folverin")); }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    void messageBoxShowsTheRequest() {
        QtDialogs dialogs;
        QString title, text;
        Qt::TextFormat format = Qt::AutoText;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttonCount = 0;
        whenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            title = box->windowTitle();
            text = box->text();
            format = box->textFormat();
            icon = box->icon();
            buttonCount = int(box->buttons().size());
            clickButton(modal, QMessageBox::No);
        });
        MessageRequest request;
        // Non-ASCII text must arrive as the same characters, not as its UTF-8 bytes read as Latin-1.
        request.text = "Reset all the convert options of \xc2\xbbK\xc3\xb6ln\xc2\xab? <b>&amp;</b>";
        request.buttons = MessageButtons::YesNo;
        request.icon = MessageIcon::Question;
        QCOMPARE(dialogs.messageBox(request), DialogResult::No);
        QCOMPARE(title, QStringLiteral("Folverin")); // no caption: the application's name
        QCOMPARE(text,
                 QStringLiteral("Reset all the convert options of \u00bbK\u00f6ln\u00ab? <b>&amp;</b>"));
        QCOMPARE(format, Qt::PlainText); // a file name with '<' in it is shown as it is
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(buttonCount, 2);
    }

    void answers_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("click"); // 0: close without a button
        QTest::addColumn<int>("expected");
        QTest::newRow("ok") << int(MessageButtons::Ok) << int(QMessageBox::Ok) << int(DialogResult::Ok);
        QTest::newRow("ok closed") << int(MessageButtons::Ok) << 0 << int(DialogResult::Ok);
        QTest::newRow("cancel") << int(MessageButtons::OkCancel) << int(QMessageBox::Cancel)
                                << int(DialogResult::Cancel);
        QTest::newRow("ok-cancel closed") << int(MessageButtons::OkCancel) << 0 << int(DialogResult::Cancel);
        QTest::newRow("yes") << int(MessageButtons::YesNo) << int(QMessageBox::Yes) << int(DialogResult::Yes);
        QTest::newRow("yes-no closed") << int(MessageButtons::YesNo) << 0 << int(DialogResult::No);
        QTest::newRow("yes-no-cancel closed")
            << int(MessageButtons::YesNoCancel) << 0 << int(DialogResult::Cancel);
    }

    void answers() {
        QFETCH(int, buttons);
        QFETCH(int, click);
        QtDialogs dialogs;
        int width = 0, captionWidth = 0;
        whenModalShows([&](QWidget* modal) {
            width = modal->width();
            captionWidth = modal->fontMetrics().horizontalAdvance(modal->windowTitle());
            if (click)
                clickButton(modal, QMessageBox::StandardButton(click));
            else
                qobject_cast<QDialog*>(modal)->done(-1);
        });
        MessageRequest request;
        request.text = "question";
        request.caption = "Own caption";
        request.buttons = MessageButtons(buttons);
        QTEST(int(dialogs.messageBox(request)), "expected");
        // A short question still leaves room for the whole caption in the title bar.
        QVERIFY2(width > captionWidth + 100,
                 qPrintable(QStringLiteral("%1 %2").arg(width).arg(captionWidth)));
    }

    // A message shown without waiting leaves its window usable and answers once: as clicked,
    // as Escape when closed by closeOpenMessages, or as Escape when its window goes under it.
    void aMessageShownWithoutWaiting() {
        QtDialogs dialogs;
        auto window = std::make_unique<QWidget>();
        window->show();
        dialogs.setParentWindow(window.get());
        QList<DialogResult> answers;
        const auto show = [&](MessageButtons buttons) {
            MessageRequest request;
            request.text = "about a file";
            request.buttons = buttons;
            dialogs.showMessage(request, [&answers](DialogResult answer) { answers.append(answer); });
            const QList<QMessageBox*> boxes = window->findChildren<QMessageBox*>();
            return boxes.isEmpty() ? nullptr : boxes.last();
        };
        QMessageBox* box = show(MessageButtons::YesNo);
        QVERIFY(box && box->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(answers.isEmpty());
        clickButton(box, QMessageBox::Yes);
        QCOMPARE(answers, QList<DialogResult>{DialogResult::Yes});

        show(MessageButtons::YesNo);
        show(MessageButtons::OkCancel);
        dialogs.closeOpenMessages();
        QCOMPARE(answers, (QList<DialogResult>{DialogResult::Yes, DialogResult::No, DialogResult::Cancel}));

        show(MessageButtons::YesNoCancel);
        window.reset();
        QCOMPARE(answers.size(), 4);
        QCOMPARE(answers.last(), DialogResult::Cancel);
    }

    // The batch worker asks from its own thread; the box must live on the user-interface
    // thread and the worker must get the answer back.
    void messageBoxFromAnotherThread() {
        QtDialogs dialogs;
        QThread* boxThread = nullptr;
        whenModalShows([&boxThread](QWidget* modal) {
            boxThread = modal->thread();
            clickButton(modal, QMessageBox::Yes);
        });
        DialogResult answer = DialogResult::Cancel;
        std::unique_ptr<QThread> worker(QThread::create([&dialogs, &answer] {
            MessageRequest request;
            request.text = "From the worker";
            request.buttons = MessageButtons::YesNo;
            answer = dialogs.messageBox(request);
        }));
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(worker->isFinished(), 10000);
        worker->wait();
        QCOMPARE(answer, DialogResult::Yes);
        QCOMPARE(boxThread, qApp->thread());
    }

    void selectFolderEndsInOneSlash() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // A non-ASCII folder name must come back as the file system's bytes for that name.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("\u00dcbersicht")));
        const QString folder = QDir(dir.path()).filePath(QStringLiteral("\u00dcbersicht"));
        QtDialogs dialogs;
        whenModalShows([folder](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->fileMode(), QFileDialog::Directory);
            typeAndAccept(dialog, folder);
        });
        FolderRequest request;
        request.title = "Select Output Folder";
        request.initialFolder = QFile::encodeName(dir.path()).toStdString();
        const std::string chosen = dialogs.selectFolder(request);
        QCOMPARE(QByteArray::fromStdString(chosen), QFile::encodeName(folder + QLatin1Char('/')));
    }

    void openFilesReturnsPathsOrNothing() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pdf = QDir(dir.path()).filePath(QStringLiteral("a.pdf"));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QtDialogs dialogs;
        OpenFilesRequest request;
        request.initialFolder = QFile::encodeName(dir.path()).toStdString();
        request.nameFilters = {"PDF Files (*.pdf)"};

        whenModalShows([pdf](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFiles);
            QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("PDF Files (*.pdf)")});
            QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
            typeAndAccept(dialog, pdf);
        });
        const std::vector<std::string> opened = dialogs.openFiles(request);
        QCOMPARE(opened.size(), std::size_t(1));
        QCOMPARE(QByteArray::fromStdString(opened.front()), QFile::encodeName(pdf));

        whenModalShows([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        QVERIFY(dialogs.openFiles(request).empty());

        const QString target = QDir(dir.path()).filePath(QStringLiteral("summary.txt"));
        whenModalShows([target](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            typeAndAccept(dialog, target);
        });
        SaveFileRequest save;
        save.initialPath =
            QFile::encodeName(QDir(dir.path()).filePath(QStringLiteral("proposed.txt"))).toStdString();
        QCOMPARE(QByteArray::fromStdString(dialogs.saveFile(save)), QFile::encodeName(target));
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
