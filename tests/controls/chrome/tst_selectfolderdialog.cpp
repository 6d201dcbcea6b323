#include "controls/chrome/SelectFolderDialog.h"
#include "platform/ScriptedDialogs.h"

#include "FileDialogViews.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using platform::DialogResult;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

QLineEdit* pathEdit(CSelectFolderDialog& dialog) {
    return dialog.findChild<QLineEdit*>(QStringLiteral("folderPathEdit"));
}

// Replaces the path field's text as a user would and presses Enter.
void typeFolderAndEnter(CSelectFolderDialog& dialog, const QString& text) {
    QLineEdit* edit = pathEdit(dialog);
    QVERIFY(edit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class TestSelectFolderDialog : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString root;
    platform::ScriptedDialogs scripted;

    std::unique_ptr<CSelectFolderDialog> shownDialog(int showFiles, const QStringList& filters) {
        auto dialog = std::make_unique<CSelectFolderDialog>(showFiles, root,
                                                            OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filters);
        dialog->show();
        dialog->activateWindow(); // the keyboard checks need an active window on any display
        if (!QTest::qWaitForWindowActive(dialog.get()))
            return nullptr;
        return dialog;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        root = dir.path();
        QVERIFY(QDir(root).mkdir(QStringLiteral("sub")));
        touch(root + QStringLiteral("/a.pdf"));
        touch(root + QStringLiteral("/b.txt"));
        touch(root + QStringLiteral("/blocker"));
        platform::Dialogs::setInstance(&scripted);
    }
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
        scripted.clear();
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    void arrangesTheControlsForAFolder() {
        auto dialog = shownDialog(1, {QStringLiteral("PDF Files (*.pdf)")});
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Please Select a Folder"));
        auto* nameLabel = dialog->findChild<QLabel*>(QStringLiteral("fileNameLabel"));
        auto* typeLabel = dialog->findChild<QLabel*>(QStringLiteral("fileTypeLabel"));
        auto* typeCombo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* select = dialog->findChild<QPushButton*>(QStringLiteral("selectButton"));
        auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cancelButton"));
        QAbstractItemView* list = visibleFileView(dialog.get());
        QLineEdit* edit = pathEdit(*dialog);
        QVERIFY(nameLabel && typeLabel && typeCombo && select && cancel && list && edit);

        QCOMPARE(nameLabel->text(), QStringLiteral("Current Folder:"));
        QCOMPARE(typeLabel->text(), QStringLiteral("Please Select the File Type:"));
        QCOMPARE(select->text(), QStringLiteral("&Select"));
        QVERIFY(!dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->isVisible());
        QVERIFY(edit->isVisible());
        QCOMPARE(edit->text(), root);
        QCOMPARE(typeCombo->currentText(), QStringLiteral("PDF Files (*.pdf)"));
        QVERIFY(typeCombo->isEnabled());

        // Top to bottom: list, label, path field, type label, combo; Select just left of Cancel.
        const auto top = [&](QWidget* w) { return w->mapTo(dialog.get(), QPoint(0, 0)).y(); };
        QVERIFY(top(list) < top(nameLabel));
        QVERIFY(top(nameLabel) + nameLabel->height() <= top(edit));
        QVERIFY(top(edit) + edit->height() <= top(typeLabel));
        QVERIFY(top(typeLabel) + typeLabel->height() <= top(typeCombo));
        QCOMPARE(select->y(), cancel->y());
        QVERIFY(select->geometry().right() < cancel->x());
        QVERIFY(cancel->x() - select->geometry().right() < 20);
        QVERIFY(select->isDefault());

        QCOMPARE(dialog->focusWidget(), edit); // not the hidden name field
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit);
    }

    void listsTheChosenFiles_data() {
        QTest::addColumn<int>("showFiles");
        QTest::addColumn<QStringList>("filters");
        QTest::addColumn<QStringList>("listed");
        const QStringList pdf{QStringLiteral("PDF Files (*.pdf)")};
        QTest::newRow("folders only") << 0 << pdf << QStringList{QStringLiteral("sub")};
        QTest::newRow("pdf files") << 1 << pdf << QStringList{QStringLiteral("a.pdf"), QStringLiteral("sub")};
        QTest::newRow("every file") << 1 << QStringList()
                                    << QStringList{QStringLiteral("a.pdf"), QStringLiteral("b.txt"),
                                                   QStringLiteral("blocker"), QStringLiteral("sub")};
    }

    void listsTheChosenFiles() {
        QFETCH(int, showFiles);
        QFETCH(QStringList, filters);
        QFETCH(QStringList, listed);
        auto dialog = shownDialog(showFiles, filters);
        QVERIFY(dialog);
        QTRY_COMPARE(listedNames(dialog.get()), listed);
    }

    // The path field follows the browsed folder however the user gets there.
    void pathFieldFollowsTheBrowsedFolder() {
        auto dialog = shownDialog(1, {});
        QVERIFY(dialog);
        QAbstractItemView* list = visibleFileView(dialog.get());
        QTRY_VERIFY(listedNames(dialog.get()).contains(QStringLiteral("sub")));
        QModelIndex sub;
        for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row) {
            const QModelIndex index = list->model()->index(row, 0, list->rootIndex());
            if (index.data().toString() == QLatin1String("sub"))
                sub = index;
        }
        QVERIFY(sub.isValid());
        // A double click begins with a press on the same item, as from a real mouse.
        const QPoint onSub = list->visualRect(sub).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, onSub);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, onSub);
        QTRY_COMPARE(pathEdit(*dialog)->text(), root + QStringLiteral("/sub"));
        QTest::mouseClick(dialog->findChild<QToolButton*>(QStringLiteral("backButton")), Qt::LeftButton);
        QTRY_COMPARE(pathEdit(*dialog)->text(), root);
    }

    void selectedPath_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer"); // to the create question; 0: none expected
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("exists");
        const QString sub = QStringLiteral("/sub");
        QTest::newRow("existing") << sub << 0 << sub + QLatin1Char('/') << true;
        QTest::newRow("trailing separator") << sub + QLatin1Char('/') << 0 << sub + QLatin1Char('/') << true;
        QTest::newRow("empty: browsed folder") << QString() << 0 << QStringLiteral("/") << true;
        QTest::newRow("relative to the browsed folder")
            << QStringLiteral("rel:sub") << 0 << sub + QLatin1Char('/') << true;
        QTest::newRow("missing, no") << QStringLiteral("/new/deeper") << int(DialogResult::No)
                                     << QStringLiteral("/new/deeper/") << false;
        QTest::newRow("missing, yes") << QStringLiteral("/made/with/parents") << int(DialogResult::Yes)
                                      << QStringLiteral("/made/with/parents/") << true;
        QTest::newRow("a file is no folder")
            << QStringLiteral("/a.pdf") << int(DialogResult::No) << QStringLiteral("/a.pdf/") << false;
    }

    void selectedPath() {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        QFETCH(QString, expected);
        QFETCH(bool, exists);
        // Rows name paths inside the test folder; "rel:" types the rest without the folder.
        const QString text = typed.isEmpty()                           ? QString()
                             : typed.startsWith(QLatin1String("rel:")) ? typed.mid(4)
                                                                       : root + typed;
        if (answer)
            scripted.queueAnswer(DialogResult(answer));
        auto dialog = shownDialog(1, {QStringLiteral("PDF Files (*.pdf)")});
        QVERIFY(dialog);
        typeFolderAndEnter(*dialog, text);

        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->GetSelectedPath(), root + expected);
        QCOMPARE(QFileInfo(root + expected).isDir(), exists);
        const std::vector<platform::MessageRequest> messages = scripted.messages();
        QCOMPARE(messages.size(), std::size_t(answer ? 1 : 0));
        if (answer) {
            const QString missing = root + expected.chopped(1);
            QCOMPARE(QString::fromStdString(messages.front().text),
                     missing + QStringLiteral("\n\nThe selected path isn't exist, create it?"));
            QCOMPARE(messages.front().buttons, MessageButtons::YesNo);
            QCOMPARE(messages.front().icon, MessageIcon::Question);
        }
    }

    void foldersOutsideTheBrowsedOne_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("root keeps its separator") << QStringLiteral("/") << QStringLiteral("/");
        QTest::newRow("home") << QStringLiteral("~") << QDir::homePath() + QLatin1Char('/');
        QTest::newRow("inside home") << QStringLiteral("~/") << QDir::homePath() + QLatin1Char('/');
    }

    void foldersOutsideTheBrowsedOne() {
        QFETCH(QString, typed);
        auto dialog = shownDialog(0, {});
        QVERIFY(dialog);
        typeFolderAndEnter(*dialog, typed);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QTEST(dialog->GetSelectedPath(), "expected");
        QVERIFY(scripted.messages().empty());
    }

    // Refused paths keep the dialog open with its message and choose nothing.
    void refusedPathsKeepTheDialogOpen_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("lastIcon");
        QTest::newRow("doubled separator")
            << root + QStringLiteral("//sub") << QStringList{QStringLiteral("Invalid directory")}
            << int(MessageIcon::Error);
        // Running as root must not let the folder be made: a regular file stands in the way.
        const QString uncreatable = root + QStringLiteral("/blocker/inner");
        QTest::newRow("cannot create")
            << uncreatable
            << QStringList{uncreatable + QStringLiteral("\n\nThe selected path isn't exist, create it?"),
                           QStringLiteral("Can not create directory\n") + uncreatable}
            << int(MessageIcon::None);
    }

    void refusedPathsKeepTheDialogOpen() {
        QFETCH(QString, typed);
        QFETCH(QStringList, messages);
        scripted.queueAnswer(DialogResult::Yes);
        auto dialog = shownDialog(1, {});
        QVERIFY(dialog);
        typeFolderAndEnter(*dialog, typed);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->GetSelectedPath().isEmpty());
        QCOMPARE(testsupport::texts(scripted.messageTexts()), messages);
        QTEST(int(scripted.messages().back().icon), "lastIcon");
        QVERIFY(!QFileInfo::exists(root + QStringLiteral("/blocker/inner")));

        QTest::keyClick(pathEdit(*dialog), Qt::Key_Escape);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(dialog->GetSelectedPath().isEmpty());
    }
};

QTEST_MAIN(TestSelectFolderDialog)
#include "tst_selectfolderdialog.moc"
