#include "controls/chrome/SelectFolderDialog.h"

#include "platform/Dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>

namespace {

const QLatin1Char separator('/');

platform::DialogResult showMessage(const QString& text, platform::MessageButtons buttons,
                                   platform::MessageIcon icon) {
    platform::MessageRequest request;
    request.text = text.toStdString();
    request.buttons = buttons;
    request.icon = icon;
    return platform::Dialogs::instance().messageBox(request);
}

// One trailing separator goes; the root folder keeps its only one.
QString withoutTrailingSeparator(QString folder) {
    if (folder.size() > 1 && folder.endsWith(separator))
        folder.chop(1);
    return folder;
}

} // namespace

CSelectFolderDialog::CSelectFolderDialog(int showFiles, const QString& initialFolder, unsigned flags,
                                         const QStringList& nameFilters, QWidget* parent)
    : CFileDialog(true, {}, {}, flags, nameFilters, parent) {
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly, showFiles == 0);
    // The folder mode offers "Directories" as the only type; listed files need their types back.
    if (showFiles)
        setNameFilters(nameFilters.isEmpty() ? QStringList{QStringLiteral("All Files (*)")} : nameFilters);
    if (!initialFolder.isEmpty())
        setDirectory(initialFolder);
    setWindowTitle(QStringLiteral("Please Select a Folder"));
    arrangeControls(showFiles != 0);
    connect(dialogChild<QFileSystemModel>("qt_filesystem_model"), &QFileSystemModel::rootPathChanged, this,
            &CSelectFolderDialog::OnFolderChange);
    OnFolderChange(currentFolder());
}

// Below the file list: the "Current Folder:" label over the path field, then the file-type
// label over its combo box with Select and Cancel to the right. The name field and the
// standard buttons are hidden: the path field decides what Select returns.
void CSelectFolderDialog::arrangeControls(bool fileTypeSelectable) {
    auto* grid = qobject_cast<QGridLayout*>(layout());
    Q_ASSERT(grid);
    auto* nameLabel = dialogChild<QLabel>("fileNameLabel");
    auto* nameEdit = dialogChild<QLineEdit>("fileNameEdit");
    auto* typeLabel = dialogChild<QLabel>("fileTypeLabel");
    auto* typeCombo = dialogChild<QComboBox>("fileTypeCombo");
    auto* standardButtons = dialogChild<QDialogButtonBox>("buttonBox");
    const QList<QWidget*> rearranged{nameLabel, nameEdit, typeLabel, typeCombo, standardButtons};
    for (QWidget* control : rearranged)
        grid->removeWidget(control);
    nameEdit->hide();
    standardButtons->hide();

    setLabelText(QFileDialog::FileName, QStringLiteral("Current Folder:"));
    setLabelText(QFileDialog::FileType, QStringLiteral("Please Select the File Type:"));
    pathEdit = new QLineEdit(this);
    pathEdit->setObjectName(QStringLiteral("folderPathEdit"));
    pathEdit->setAccessibleName(QStringLiteral("Current Folder"));
    nameLabel->setBuddy(pathEdit);
    typeCombo->setEnabled(fileTypeSelectable);

    // Select directly to the left of Cancel, whatever order the desktop gives button boxes, and
    // the combo box at its natural width at the left edge.
    auto* selectButton = new QPushButton(QStringLiteral("&Select"), this);
    selectButton->setObjectName(QStringLiteral("selectButton"));
    selectButton->setDefault(true);
    connect(selectButton, &QPushButton::clicked, this, &CSelectFolderDialog::accept);
    auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(cancelButton, &QPushButton::clicked, this, &CSelectFolderDialog::reject);
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(typeCombo);
    typeRow->addStretch();
    typeRow->addWidget(selectButton);
    typeRow->addWidget(cancelButton);

    grid->addWidget(nameLabel, 2, 0, 1, 3);
    grid->addWidget(pathEdit, 3, 0, 1, 3);
    grid->addWidget(typeLabel, 4, 0, 1, 3);
    grid->addLayout(typeRow, 5, 0, 1, 3);
    // The name field used to widen the middle column; the "Look in:" row keeps that shape.
    grid->setColumnStretch(1, 1);
    // The path field follows whichever file view is shown.
    setTabOrder(dialogChild<QListView>("listView"), dialogChild<QTreeView>("treeView"));
    setTabOrder(dialogChild<QTreeView>("treeView"), pathEdit);
}

// The hidden name field cannot take the focus; the path field takes its place.
void CSelectFolderDialog::showEvent(QShowEvent* event) {
    CFileDialog::showEvent(event);
    pathEdit->setFocus(Qt::ActiveWindowFocusReason);
}

void CSelectFolderDialog::OnFolderChange(const QString& folder) {
    pathEdit->setText(folder);
}

QString CSelectFolderDialog::currentFolder() const {
    return directory().absolutePath();
}

QString CSelectFolderDialog::absoluteFolder(QString typed) const {
    // "~" names the home folder here as it does everywhere else on the desktop.
    if (typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/")))
        typed.replace(0, 1, QDir::homePath());
    return withoutTrailingSeparator(QDir(currentFolder()).absoluteFilePath(typed));
}

void CSelectFolderDialog::accept() {
    QString typed = pathEdit->text();
    if (typed.isEmpty())
        typed = currentFolder();
    if (typed.contains(QLatin1String("//"))) {
        showMessage(QStringLiteral("Invalid directory"), platform::MessageButtons::Ok,
                    platform::MessageIcon::Error);
        return;
    }
    const QString folder = absoluteFolder(typed);
    if (!QFileInfo(folder).isDir() && !acceptMissingFolder(folder))
        return;
    selectedPath = folder.endsWith(separator) ? folder : folder + separator;
    QDialog::accept();
}

bool CSelectFolderDialog::acceptMissingFolder(const QString& folder) const {
    const platform::DialogResult answer =
        showMessage(folder + QStringLiteral("\n\nThe selected path isn't exist, create it?"),
                    platform::MessageButtons::YesNo, platform::MessageIcon::Question);
    if (answer != platform::DialogResult::Yes)
        return true;
    if (QDir().mkpath(folder) && QFileInfo(folder).isDir())
        return true;
    showMessage(QStringLiteral("Can not create directory\n") + folder, platform::MessageButtons::Ok,
                platform::MessageIcon::None);
    return false;
}
