#include "platform/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QThread>

namespace platform {

namespace {

// Runs work on the user-interface thread and returns its result; from another thread the
// caller blocks until the dialog has been answered.
template <typename Result, typename Work> Result onGuiThread(Work work) {
    QCoreApplication* app = QCoreApplication::instance();
    Q_ASSERT_X(app, "QtDialogs", "no application object");
    if (!app || QThread::currentThread() == app->thread())
        return work();
    Result result{};
    QMetaObject::invokeMethod(
        app, [&result, &work] { result = work(); }, Qt::BlockingQueuedConnection);
    return result;
}

QMessageBox::Icon toIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString withOneTrailingSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QtDialogs::QtDialogs(QWidget* parentWindow) : parent(parentWindow) {}

void QtDialogs::setParentWindow(QWidget* window) {
    parent = window;
}

QWidget* QtDialogs::parentWindow() const {
    return parent ? parent.data() : QApplication::activeWindow();
}

DialogResult QtDialogs::messageBox(const MessageRequest& request) {
    return onGuiThread<DialogResult>([this, &request] {
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
        DialogResult dismissed = DialogResult::Ok; // the answer when the box is closed
        switch (request.buttons) {
        case MessageButtons::Ok:
            break;
        case MessageButtons::OkCancel:
            buttons = QMessageBox::Ok | QMessageBox::Cancel;
            dismissed = DialogResult::Cancel;
            break;
        case MessageButtons::YesNo:
            buttons = QMessageBox::Yes | QMessageBox::No;
            defaultButton = QMessageBox::Yes;
            dismissed = DialogResult::No;
            break;
        case MessageButtons::YesNoCancel:
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            defaultButton = QMessageBox::Yes;
            dismissed = DialogResult::Cancel;
            break;
        }
        const QString caption =
            request.caption.isEmpty() ? QGuiApplication::applicationDisplayName() : request.caption;
        QMessageBox box(toIcon(request.icon), caption, request.text, buttons, parentWindow());
        // Messages quote file names and document texts: never interpret them as markup.
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(defaultButton);
        box.exec();
        switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return DialogResult::Ok;
        case QMessageBox::Cancel:
            return DialogResult::Cancel;
        case QMessageBox::Yes:
            return DialogResult::Yes;
        case QMessageBox::No:
            return DialogResult::No;
        default:
            return dismissed;
        }
    });
}

QStringList QtDialogs::openFiles(const OpenFilesRequest& request) {
    return onGuiThread<QStringList>([this, &request] {
        QFileDialog dialog(parentWindow(), request.title, request.initialFolder);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (!request.nameFilters.isEmpty())
            dialog.setNameFilters(request.nameFilters);
        if (dialog.exec() != QDialog::Accepted)
            return QStringList();
        return dialog.selectedFiles();
    });
}

QString QtDialogs::selectFolder(const FolderRequest& request) {
    return onGuiThread<QString>([this, &request] {
        QFileDialog dialog(parentWindow(), request.title, request.initialFolder);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, !request.showFiles);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return withOneTrailingSlash(dialog.selectedFiles().constFirst());
    });
}

QString QtDialogs::saveFile(const SaveFileRequest& request) {
    return onGuiThread<QString>([this, &request] {
        QFileDialog dialog(parentWindow(), request.title);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (!request.nameFilters.isEmpty())
            dialog.setNameFilters(request.nameFilters);
        if (!request.initialPath.isEmpty())
            dialog.selectFile(request.initialPath);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    });
}

} // namespace platform
