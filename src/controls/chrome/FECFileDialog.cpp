#include "controls/chrome/FECFileDialog.h"

#include "resource.h"

CFECFileDialog::CFECFileDialog(bool openFileDialog, const QString& defaultExt, const QString& fileName,
                               unsigned flags, const QStringList& nameFilters, QWidget* parent)
    : CFileDialog(openFileDialog, defaultExt, fileName, flags, nameFilters, parent) {
    // The file list is the only part that stretches, so it takes all the extra height.
    resize(width(), height() + FileListExtraHeight);
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
