#pragma once

#include "controls/chrome/FileDialog.h"

#include <optional>

// The open-file dialog of the job list: any number of files in one go, with a file list taller
// than the standard one. The chosen files are read back one by one, each as a full path.
class CFECFileDialog : public CFileDialog {
    Q_OBJECT

public:
    // Where reading back the chosen files stands; empty once every file has been returned.
    using POSITION = std::optional<qsizetype>;

    static constexpr int FileListExtraHeight = 150;

    CFECFileDialog(bool openFileDialog, const QString& defaultExt = {}, const QString& fileName = {},
                   unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                   const QStringList& nameFilters = {}, QWidget* parent = nullptr);

    int DoModal() override;

    POSITION GetStartPosition() const;
    // The full path at position, folder + '/' + name; moves position to the next file.
    QString GetNextPathName(POSITION& position) const;

private:
    void selectOnlyTypedNames();

    QStringList chosenFiles;
};
