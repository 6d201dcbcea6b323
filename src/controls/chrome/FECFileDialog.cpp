#include "controls/chrome/FECFileDialog.h"

#include "resource.h"

#include <QLineEdit>

CFECFileDialog::CFECFileDialog(bool openFileDialog, const QString& defaultExt, const QString& fileName,
                               unsigned flags, const QStringList& nameFilters, QWidget* parent)
    : CFileDialog(openFileDialog, defaultExt, fileName, flags, nameFilters, parent) {
    // The file list is the only part that stretches, so it takes all the extra height.
    resize(width(), height() + FileListExtraHeight);
    selectOnlyTypedNames();
}

// Qt's dialog selects in its list whatever names its name field holds, reading a list of
// names by splitting at every quote, and it also does so for the list it writes there itself
// for the files the user picked. A picked name with a quote in it then selected fragments as
// well: the folder itself (the dialog cleared the field and stayed open) or a file never
// chosen. Only what the user types is read back into the list here.
void CFECFileDialog::selectOnlyTypedNames() {
    static constexpr char autoCompleteSlot[] = "_q_autoCompleteFileName(QString)";
    if (metaObject()->indexOfSlot(autoCompleteSlot) < 0)
        return;
    auto* edit = dialogChild<QLineEdit>("fileNameEdit");
    if (disconnect(edit, SIGNAL(textChanged(QString)), this, SLOT(_q_autoCompleteFileName(QString))))
        connect(edit, SIGNAL(textEdited(QString)), this, SLOT(_q_autoCompleteFileName(QString)));
}

int CFECFileDialog::DoModal() {
    chosenFiles.clear();
    const int result = CFileDialog::DoModal();
    if (result == IDOK)
        chosenFiles = selectedFiles();
    return result;
}

CFECFileDialog::POSITION CFECFileDialog::GetStartPosition() const {
    if (chosenFiles.isEmpty())
        return std::nullopt;
    return 0;
}

QString CFECFileDialog::GetNextPathName(POSITION& position) const {
    Q_ASSERT(position && *position >= 0 && *position < chosenFiles.size());
    const QString path = chosenFiles.at(*position);
    const qsizetype next = *position + 1;
    position = next < chosenFiles.size() ? POSITION(next) : std::nullopt;
    return path;
}
