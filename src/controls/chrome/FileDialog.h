#pragma once

#include <QFileDialog>
#include <QStringList>

// The open and save dialog both chrome dialogs are built on: Qt's own file dialog (never the
// desktop's), so its child widgets exist and can be rearranged, constructed from the classic
// open-file arguments.
// Dialog flags with their classic values. Qt's dialog always has the explorer look and no
// read-only check box, so OFN_EXPLORER and OFN_HIDEREADONLY are accepted and change nothing.
inline constexpr unsigned OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr unsigned OFN_HIDEREADONLY = 0x00000004;
inline constexpr unsigned OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr unsigned OFN_EXPLORER = 0x00080000;
inline constexpr unsigned OFN_NODEREFERENCELINKS = 0x00100000;

class CFileDialog : public QFileDialog {
    Q_OBJECT

public:
    // nameFilters in Qt's form, e.g. "PDF Files (*.pdf)"; none: every file.
    CFileDialog(bool openFileDialog, const QString& defaultExt = {}, const QString& fileName = {},
                unsigned flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const QStringList& nameFilters = {},
                QWidget* parent = nullptr);

    // Runs the dialog modally: IDOK or IDCANCEL.
    virtual int DoModal();

protected:
    // One of the dialog's own children by its object name ("listView", "fileNameEdit", ...).
    template <typename Child> Child* dialogChild(const char* name) const {
        Child* child = findChild<Child*>(QLatin1String(name));
        Q_ASSERT_X(child, "CFileDialog", name);
        return child;
    }
};
