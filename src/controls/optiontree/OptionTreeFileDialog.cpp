#include "controls/optiontree/OptionTreeFileDialog.h"

#include "platform/Dialogs.h"

#include <QFile>
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

std::string COptionTreeFileDialog::NativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString COptionTreeFileDialog::QtPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

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
        request.initialFolder = NativePath(QFileInfo(initialFile).path());
        request.nameFilters = utf8(NameFilters(filter));
        for (const std::string& path : platform::Dialogs::instance().openFiles(request))
            chosen.append(QtPath(path));
        if (!(flags & OFN_ALLOWMULTISELECT) && chosen.size() > 1)
            chosen = chosen.mid(0, 1);
        return chosen;
    }
    platform::SaveFileRequest request;
    request.title = title.toStdString();
    request.initialPath = NativePath(initialFile);
    request.nameFilters = utf8(NameFilters(filter));
    QString path = QtPath(platform::Dialogs::instance().saveFile(request));
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
    request.initialFolder = NativePath(initialFolder);
    const QString chosen = QtPath(platform::Dialogs::instance().selectFolder(request));
    if (!chosen.isEmpty())
        folder = chosen;
    return chosen;
}
