#pragma once

#include "controls/optiontree/OptionTreeFileDialog.h"
#include "controls/optiontree/OptionTreeItem.h"

#include <QStringList>

// File item options: the mode and which part of each path is shown.
inline constexpr unsigned OTFO_FOLDER = 0x8000;
inline constexpr unsigned OTFO_OPENDIALOG = 0x20000;
inline constexpr unsigned OTFO_FULLPATH = 0x40000;
inline constexpr unsigned OTFO_FILENAME = 0x400;
inline constexpr unsigned OTFO_FILETITLE = 0x200;
inline constexpr unsigned OTFO_FILEEXT = 0x100;
inline constexpr unsigned OTFO_DIRECTORY = 0x800;
inline constexpr unsigned OTFO_DRIVE = 0x1000;

// A row whose value is one folder or a list of files, chosen with the platform's dialogs when
// the row is activated. It has no window: it draws its paths, one per line, and grows to
// hold several.
class COptionTreeItemFile : public COptionTreeItem {
public:
    COptionTreeItemFile();

    // False (and nothing stored) when the row is not in a tree yet.
    bool SetFileOptions(const QString& initialPath, const QString& defaultExtension, const QString& filter,
                        unsigned options, unsigned dialogFlags);
    void SetDialogTitle(const QString& title) { folderTitle = title; }
    const QString& GetDialogTitle() const { return folderTitle; }
    // Where the folder chooser starts when the row is empty: see COptionTreeFileDialog.
    void SetDialogRecallName(const std::string& name) { dialog.SetRecallName(name); }
    // The folder of the last successful folder choice; empty before the first.
    QString GetChosenFolder() const { return dialog.GetFolder(); }
    const QStringList& GetPaths() const { return paths; }
    bool HasOption(unsigned bit) const { return (options & bit) != 0; }

    // What the row shows: one line per path, or "No selection made.".
    QString DisplayText() const;
    // The text as drawn in a value column width pixels wide: a line too long for it loses its
    // middle, so that both the start of a path and its last folder show.
    QString ShownText(const QFontMetrics& metrics, int width) const;

    void DrawValue(QPainter& painter, const QRect& rect) const override;
    void StartEditing() override;
    // The whole paths, one per line.
    QString ToolTipText() const override;
    QString ValueText() const override { return DisplayText(); }

protected:
    bool EmptyValue() override;

private:
    // The line one path shows; empty for a file-based part of a path that is no file.
    QString DisplayedPart(const QString& path) const;
    // The part of path the display options choose.
    QString ChosenPart(const QString& path) const;
    QStringList Choose();
    // The paths that are not empty.
    QStringList GivenPaths() const;
    void FitHeightTo(qsizetype lines);

    unsigned options = 0;
    unsigned dialogFlags = 0;
    int baseHeight = 0;
    COptionTreeFileDialog dialog;
    QStringList paths;
    QString defaultExtension;
    QString filter;
    QString folderTitle;
};
