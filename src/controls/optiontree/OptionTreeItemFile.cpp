#include "controls/optiontree/OptionTreeItemFile.h"

#include "controls/optiontree/OptionTree.h"
#include "platform/DrawText.h"
#include "platform/FilePath.h"
#include "platform/NativePath.h"

#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

namespace {

constexpr int LINE_GAP = 3;
constexpr int GROWN_ROW_PADDING = 5;
constexpr int TEXT_LEFT_GAP = 1;
constexpr int TEXT_RIGHT_GAP = 4; // clear of the list's frame
constexpr unsigned DISPLAY_PARTS =
    OTFO_FILENAME | OTFO_FILETITLE | OTFO_FILEEXT | OTFO_DIRECTORY | OTFO_DRIVE;

} // namespace

COptionTreeItemFile::COptionTreeItemFile() : folderTitle(QStringLiteral("Select Folder")) {
    SetKind(OT_KIND_FILE);
}

bool COptionTreeItemFile::SetFileOptions(const QString& initialPath, const QString& extension,
                                         const QString& filterText, unsigned itemOptions, unsigned flags) {
    if (!GetTree())
        return false;
    options = itemOptions;
    dialogFlags = flags;
    paths.append(initialPath);
    defaultExtension = extension;
    filter = filterText;
    baseHeight = GetHeight();
    return true;
}

QString COptionTreeItemFile::DisplayedPart(const QString& path) const {
    const bool fileBased = HasOption(OTFO_FILENAME) || HasOption(OTFO_FILETITLE) || HasOption(OTFO_FILEEXT);
    if (!HasOption(OTFO_FULLPATH) && fileBased && !QFileInfo(path).isFile())
        return {};
    return ChosenPart(path) + QLatin1Char('\n');
}

QString COptionTreeItemFile::ChosenPart(const QString& path) const {
    // No display option chosen: the path as it is.
    if (HasOption(OTFO_FULLPATH) || !(options & DISPLAY_PARTS))
        return path;
    const platform::CFilePath parts(platform::toNativePath(path), HasOption(OTFO_FOLDER));
    if (HasOption(OTFO_FILENAME))
        return platform::fromNativePath(parts.fileName());
    if (HasOption(OTFO_FILETITLE))
        return platform::fromNativePath(parts.title());
    if (HasOption(OTFO_FILEEXT))
        return platform::fromNativePath(parts.extension());
    if (HasOption(OTFO_DIRECTORY))
        return platform::fromNativePath(parts.folder());
    return platform::fromNativePath(parts.drive());
}

QString COptionTreeItemFile::DisplayText() const {
    QString text;
    for (const QString& path : paths)
        text += DisplayedPart(path);
    if (text.trimmed().isEmpty())
        return QStringLiteral("No selection made.");
    return text;
}

QString COptionTreeItemFile::ShownText(const QFontMetrics& metrics, int width) const {
    const int room = width - TEXT_LEFT_GAP - TEXT_RIGHT_GAP;
    QStringList lines = DisplayText().split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = metrics.elidedText(line, Qt::ElideMiddle, room);
    return lines.join(QLatin1Char('\n'));
}

void COptionTreeItemFile::DrawValue(QPainter& painter, const QRect& rect) const {
    if (!GetTree())
        return;
    // The lines are centred as a block, so a single path lines up with the other values.
    const QFontMetrics metrics(GetTree()->GetNormalFont());
    const QString text = ShownText(metrics, rect.width());
    const qsizetype lines = std::max<qsizetype>(1, text.count(QLatin1Char('\n')));
    const int textHeight = int(lines) * metrics.height();
    QRect area = rect.adjusted(TEXT_LEFT_GAP, 0, -TEXT_RIGHT_GAP, 0);
    area.setTop(area.top() + std::max(1, (area.height() - textHeight) / 2));
    DrawValueText(painter, area, text, platform::DT_VCENTER);
}

QStringList COptionTreeItemFile::GivenPaths() const {
    QStringList given = paths;
    given.removeAll(QString());
    return given;
}

QString COptionTreeItemFile::ToolTipText() const {
    return GivenPaths().join(QLatin1Char('\n'));
}

bool COptionTreeItemFile::EmptyValue() {
    if (GivenPaths().isEmpty())
        return false;
    paths.clear();
    dialog.ForgetFolder();
    FitHeightTo(0);
    return true;
}

QStringList COptionTreeItemFile::Choose() {
    const QString initial = paths.isEmpty() ? QString() : paths.first();
    if (HasOption(OTFO_FOLDER)) {
        dialog.SetTitle(folderTitle);
        const QString folder = dialog.ChooseFolder(initial);
        return folder.isEmpty() ? QStringList() : QStringList{folder};
    }
    dialog.SetOpenDialog(HasOption(OTFO_OPENDIALOG));
    dialog.SetDefaultExtension(defaultExtension);
    dialog.SetInitialFile(initial);
    dialog.SetFlags(dialogFlags);
    dialog.SetFilter(filter);
    return dialog.ChooseFile();
}

void COptionTreeItemFile::StartEditing() {
    COptionTree* tree = GetTree();
    if (!tree)
        return;
    const QStringList chosen = Choose();
    if (!chosen.isEmpty()) {
        paths = chosen;
        FitHeightTo(chosen.size());
    }
    tree->UpdateScrollRange();
    tree->Redraw();
    if (!chosen.isEmpty())
        EndEdit();
}

void COptionTreeItemFile::FitHeightTo(qsizetype lines) {
    const int lineHeight = QFontInfo(GetTree()->GetNormalFont()).pixelSize() + LINE_GAP;
    const int needed = int(lines) * lineHeight;
    const bool grow = needed > baseHeight;
    SetHeight(grow ? needed + GROWN_ROW_PADDING : baseHeight);
    SetLabelAtTop(grow);
}
