#include "controls/chrome/FileDialog.h"

#include "resource.h"

namespace {

QFileDialog::FileMode fileModeFor(bool openFileDialog, unsigned flags) {
    if (!openFileDialog)
        return QFileDialog::AnyFile;
    return (flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile;
}

} // namespace

CFileDialog::CFileDialog(bool openFileDialog, const QString& defaultExt, const QString& fileName,
                         unsigned flags, const QStringList& nameFilters, QWidget* parent)
    : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(openFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(fileModeFor(openFileDialog, flags));
    setOption(QFileDialog::DontResolveSymlinks, (flags & OFN_NODEREFERENCELINKS) != 0);
    setOption(QFileDialog::DontConfirmOverwrite, (flags & OFN_OVERWRITEPROMPT) == 0);
    setDefaultSuffix(defaultExt);
    if (!nameFilters.isEmpty())
        setNameFilters(nameFilters);
    if (!fileName.isEmpty())
        selectFile(fileName);
}

int CFileDialog::DoModal() {
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}
