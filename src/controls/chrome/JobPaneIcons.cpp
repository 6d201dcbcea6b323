#include "controls/chrome/JobPaneIcons.h"

#include "resource.h"

namespace {

struct JobPaneIconFile {
    int resourceId;
    const char* role; // the file :/icons/<role>.svg
};

constexpr JobPaneIconFile iconFiles[] = {
    {IDI_OPEN_FILE, "open-file"},
    {IDI_IMPORT_DIRECTORY, "import-directory"},
    {IDI_REMOVE_SELECTED, "remove-selected"},
    {IDI_CLEAR_ALL_SELECTED, "clear-all-selected"},
    {IDI_START_CONVERT, "start-convert"},
    {IDI_STOP_CONVERT, "stop-convert"},
};

} // namespace

QIcon jobPaneIcon(int resourceId) {
    for (const JobPaneIconFile& file : iconFiles) {
        if (file.resourceId == resourceId)
            return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(file.role)));
    }
    return QIcon();
}

QIcon resultMarkIcon(ResultMark mark) {
    switch (mark) {
    case ResultMark::Done:
        return QIcon(QStringLiteral(":/icons/result-converted.svg"));
    case ResultMark::Warning:
        return QIcon(QStringLiteral(":/icons/result-skipped.svg"));
    case ResultMark::Stopped:
        return QIcon(QStringLiteral(":/icons/result-stopped.svg"));
    }
    return QIcon();
}
