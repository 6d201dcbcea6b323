#include "controls/chrome/ChromeDialogs.h"

#include "controls/chrome/FECFileDialog.h"
#include "controls/chrome/SelectFolderDialog.h"
#include "platform/NativePath.h"
#include "resource.h"

namespace {

// The folder chooser lists the documents the program converts.
const QStringList pdfFilter{QStringLiteral("PDF Files (*.pdf)")};

} // namespace

std::vector<std::string> ChromeDialogs::openFiles(const platform::OpenFilesRequest& request) {
    return onGuiThread<std::vector<std::string>>([this, &request] {
        CFECFileDialog dialog(true, {}, {}, OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_NODEREFERENCELINKS,
                              texts(request.nameFilters), parentWindow());
        if (!request.title.empty())
            dialog.setWindowTitle(text(request.title));
        if (!request.initialFolder.empty())
            dialog.setDirectory(platform::fromNativePath(request.initialFolder));
        std::vector<std::string> chosen;
        if (dialog.DoModal() != IDOK)
            return chosen;
        for (CFECFileDialog::POSITION position = dialog.GetStartPosition(); position;)
            chosen.push_back(platform::toNativePath(dialog.GetNextPathName(position)));
        return chosen;
    });
}

std::string ChromeDialogs::selectFolder(const platform::FolderRequest& request) {
    return onGuiThread<std::string>([this, &request] {
        CSelectFolderDialog dialog(request.showFiles ? 1 : 0, platform::fromNativePath(request.initialFolder),
                                   OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                                   request.showFiles ? pdfFilter : QStringList(), parentWindow());
        if (!request.title.empty())
            dialog.setWindowTitle(text(request.title));
        if (dialog.DoModal() != IDOK)
            return std::string();
        return platform::toNativePath(dialog.GetSelectedPath());
    });
}
