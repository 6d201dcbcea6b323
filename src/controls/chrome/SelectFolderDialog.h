#pragma once

#include "controls/chrome/FileDialog.h"

class QLineEdit;

// The file dialog turned into a folder chooser. The user browses to a folder, optionally seeing
// the files of the chosen type in it, or types one into the "Current Folder:" field, and
// presses Select. A folder that does not exist yet can be created with all its parents.
class CSelectFolderDialog : public CFileDialog {
    Q_OBJECT

public:
    // showFiles 0 lists folders only; otherwise the files that match nameFilters (all files
    // when there are none) are listed too.
    explicit CSelectFolderDialog(int showFiles, const QString& initialFolder = {},
                                 unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                                 const QStringList& nameFilters = {}, QWidget* parent = nullptr);

    // The chosen folder with exactly one trailing '/'; empty until a folder has been chosen.
    QString GetSelectedPath() const { return selectedPath; }

    // Select, Enter or a double-clicked file: checks the typed folder instead of the selection.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void arrangeControls(bool fileTypeSelectable);
    void OnFolderChange(const QString& folder);
    QString currentFolder() const;
    // The typed folder resolved against the browsed one (or the home folder for "~"), without
    // its trailing '/'.
    QString absoluteFolder(QString typed) const;
    // Asks to create a missing folder; false when the dialog must stay open.
    bool acceptMissingFolder(const QString& folder) const;

    QString selectedPath;
    QLineEdit* pathEdit = nullptr;
};
