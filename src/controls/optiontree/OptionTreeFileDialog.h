#pragma once

#include <QString>
#include <QStringList>

#include <string>

// File dialog flags the file item passes on.
inline constexpr unsigned OFN_ALLOWMULTISELECT = 0x200;
inline constexpr unsigned OFN_EXPLORER = 0x80000;

// The dialogs of a file or folder row, run through the platform's dialogs: the open or save
// dialog for files and the folder chooser, with the state they start from.
class COptionTreeFileDialog {
public:
    virtual ~COptionTreeFileDialog();

    void SetOpenDialog(bool open) { openDialog = open; }
    void SetDefaultExtension(const QString& extension) { defaultExtension = extension; }
    void SetInitialFile(const QString& path) { initialFile = path; }
    void SetFlags(unsigned value) { flags = value | OFN_EXPLORER; }
    // Filter pairs separated by "|": "Text Files (*.txt)|*.txt|All Files|*.*".
    void SetFilter(const QString& text) { filter = text; }
    void SetTitle(const QString& text) { title = text; }
    // A name the platform's dialogs may remember the folder chooser's last folder under.
    void SetRecallName(const std::string& name) { recallName = name; }

    // The chosen files; empty when cancelled.
    virtual QStringList ChooseFile();
    // The chosen folder, remembered as the last folder; empty when cancelled.
    QString ChooseFolder(const QString& initialFolder);
    // The folder of the last successful folder choice.
    const QString& GetFolder() const { return folder; }
    // The row was emptied: no folder counts as chosen any more.
    void ForgetFolder() { folder.clear(); }

    // The filter pairs as the platform's dialogs take them: "Text Files (*.txt)".
    static QStringList NameFilters(const QString& filter);

private:
    bool openDialog = true;
    QString defaultExtension;
    QString initialFile;
    unsigned flags = OFN_EXPLORER;
    QString filter;
    QString title;
    QString folder;
    std::string recallName;
};
