#include "platform/QtDialogs.h"

#include "platform/NativePath.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>

#include <memory>
#include <utility>

namespace platform {

namespace {

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

// A short message makes a box narrower than its caption, which the window manager then
// elides ("Fol...rin"): the box is kept wide enough for the caption and the title bar's
// buttons.
void keepCaptionWhole(QMessageBox& box, const QString& caption) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(caption) + 8 * titleFont.pointSize() + 60;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

DialogResult answerFor(QMessageBox::StandardButton button, DialogResult dismissed) {
    switch (button) {
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
}

// The answer of a message shown without waiting, told once.
struct PendingAnswer {
    std::function<void(DialogResult)> answered;
    DialogResult answer = DialogResult::Ok;

    void tell() {
        if (answered)
            std::exchange(answered, {})(answer);
    }
};

QString withOneTrailingSlash(QString folder) {
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QString QtDialogs::text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QStringList QtDialogs::texts(const std::vector<std::string>& utf8) {
    QStringList list;
    list.reserve(qsizetype(utf8.size()));
    for (const std::string& item : utf8)
        list.append(text(item));
    return list;
}

QtDialogs::QtDialogs(QWidget* parentWindow) : parent(parentWindow) {}

void QtDialogs::setParentWindow(QWidget* window) {
    parent = window;
}

void QtDialogs::setSubjectShower(std::function<void(const std::string& subject)> shower) {
    subjectShower = std::move(shower);
}

QWidget* QtDialogs::parentWindow() const {
    return parent ? parent.data() : QApplication::activeWindow();
}

DialogResult QtDialogs::messageBox(const MessageRequest& request) {
    return onGuiThread<DialogResult>([this, &request] {
        DialogResult dismissed{};
        const std::unique_ptr<QMessageBox> box(newMessageBox(request, dismissed));
        box->exec();
        return answerFor(box->standardButton(box->clickedButton()), dismissed);
    });
}

void QtDialogs::showMessage(const MessageRequest& request, std::function<void(DialogResult)> answered) {
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    auto pending = std::make_shared<PendingAnswer>();
    pending->answered = std::move(answered);
    QMessageBox* box = newMessageBox(request, pending->answer);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::buttonClicked, box, [box, pending](QAbstractButton* button) {
        pending->answer = answerFor(box->standardButton(button), pending->answer);
    });
    QObject::connect(box, &QDialog::finished, [pending] { pending->tell(); });
    // A box that goes with its window, unanswered, answers as Escape would.
    QObject::connect(box, &QObject::destroyed, [pending] { pending->tell(); });
    openMessages.removeAll(nullptr);
    openMessages.append(box);
    box->show();
    box->activateWindow();
}

void QtDialogs::closeOpenMessages() {
    for (const QPointer<QMessageBox>& box : std::exchange(openMessages, {})) {
        if (box)
            box->done(QDialog::Rejected);
    }
}

QMessageBox* QtDialogs::newMessageBox(const MessageRequest& request, DialogResult& dismissed) {
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::Ok;
    dismissed = DialogResult::Ok; // the answer when the box is closed
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
        request.caption.empty() ? QGuiApplication::applicationDisplayName() : text(request.caption);
    if (subjectShower && !request.subject.empty())
        subjectShower(request.subject);
    auto* box = new QMessageBox(toIcon(request.icon), caption, text(request.text), buttons, parentWindow());
    // Messages quote file names and document texts: never interpret them as markup.
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(defaultButton);
    keepCaptionWhole(*box, caption);
    return box;
}

std::vector<std::string> QtDialogs::openFiles(const OpenFilesRequest& request) {
    return onGuiThread<std::vector<std::string>>([this, &request] {
        QFileDialog dialog(parentWindow(), text(request.title), fromNativePath(request.initialFolder));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (!request.nameFilters.empty())
            dialog.setNameFilters(texts(request.nameFilters));
        std::vector<std::string> chosen;
        if (dialog.exec() != QDialog::Accepted)
            return chosen;
        const QStringList files = dialog.selectedFiles();
        chosen.reserve(std::size_t(files.size()));
        for (const QString& file : files)
            chosen.push_back(toNativePath(file));
        return chosen;
    });
}

std::string QtDialogs::selectFolder(const FolderRequest& request) {
    return onGuiThread<std::string>([this, &request] {
        QFileDialog dialog(parentWindow(), text(request.title), fromNativePath(request.initialFolder));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, !request.showFiles);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::string();
        return toNativePath(withOneTrailingSlash(dialog.selectedFiles().constFirst()));
    });
}

std::string QtDialogs::saveFile(const SaveFileRequest& request) {
    return onGuiThread<std::string>([this, &request] {
        QFileDialog dialog(parentWindow(), text(request.title));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (!request.nameFilters.empty())
            dialog.setNameFilters(texts(request.nameFilters));
        if (!request.initialPath.empty())
            dialog.selectFile(fromNativePath(request.initialPath));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::string();
        return toNativePath(dialog.selectedFiles().constFirst());
    });
}

} // namespace platform
