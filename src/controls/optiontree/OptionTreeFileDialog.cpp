#include "controls/optiontree/OptionTreeFileDialog.h"

#include "platform/Dialogs.h"
#include "platform/NativePath.h"

#include <QFileInfo>

namespace {

std::vector<std::string> utf8(const QStringList& texts) {
    std::vector<std::string> result;
    for (const QString& text : texts)
        result.push_back(text.toStdString());
    return result;
}

} // namespace

COptionTreeFileDialog::~COptionTreeFileDialog() = default;

QStringList COptionTreeFileDialog::NameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            continue;
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        result.append(parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return result;
}

QStringList COptionTreeFileDialog::ChooseFile() {
    QStringList chosen;
    if (openDialog) {
        platform::OpenFilesRequest request;
        request.title = title.toStdString();
        request.initialFolder = platform::toNativePath(QFileInfo(initialFile).path());
        request.nameFilters = utf8(NameFilters(filter));
        for (const std::string& path : platform::Dialogs::instance().openFiles(request))
            chosen.append(platform::fromNativePath(path));
        if (!(flags & OFN_ALLOWMULTISELECT) && chosen.size() > 1)
            chosen = chosen.mid(0, 1);
        return chosen;
    }
    platform::SaveFileRequest request;
    request.title = title.toStdString();
    request.initialPath = platform::toNativePath(initialFile);
    request.nameFilters = utf8(NameFilters(filter));
    QString path = platform::fromNativePath(platform::Dialogs::instance().saveFile(request));
    if (path.isEmpty())
        return chosen;
    if (!defaultExtension.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + defaultExtension;
    chosen.append(path);
    return chosen;
}

QString COptionTreeFileDialog::ChooseFolder(const QString& initialFolder) {
    platform::FolderRequest request;
    request.title = title.toStdString();
    request.initialFolder = platform::toNativePath(initialFolder);
    request.recallAs = recallName;
    const QString chosen = platform::fromNativePath(platform::Dialogs::instance().selectFolder(request));
    if (!chosen.isEmpty())
        folder = chosen;
    return chosen;
}
