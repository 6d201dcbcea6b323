#include "ui/ConvertPanel.h"

#include "ui/SummaryThread.h"

#include "controls/chrome/IconButton.h"
#include "controls/chrome/JobPaneIcons.h"
#include "controls/chrome/SummaryEdit.h"
#include "controls/chrome/TextLabel.h"
#include "controls/chrome/TextProgressCtrl.h"
#include "controls/grid/GridCtrl.h"
#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeItemSpinner.h"
#include "core/ConvertOptions.h"
#include "core/PdfFinder.h"
#include "platform/CommandRouter.h"
#include "platform/Dialogs.h"
#include "platform/DrawText.h"
#include "platform/FilePath.h"
#include "platform/NativePath.h"
#include "platform/ShellFeedback.h"
#include "resource.h"
#include "ui/CommandTable.h"
#include "ui/MenuTables.h"
#include "ui/PanelKeys.h"
#include "ui/PanelLayout.h"
#include "ui/RightView.h"
#include "ui/WindowState.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

#include <algorithm>
#include <cassert>
#include <filesystem>

using namespace grid;

namespace {

const QString IDLE_TEXT = QStringLiteral("Waiting for converting.");
// Inside the 32-pixel buttons, clear of their hover frame.
constexpr int ICON_SIDE = 24;

// A button's icon and tool tip come from its command.
struct ButtonRole {
    int command;
    QRect PanelLayout::*place;
};

// In tab order.
constexpr ButtonRole BUTTONS[] = {
    {ID_OPEN_FILE, &PanelLayout::openFile},
    {ID_IMPORT_DIRECTORY, &PanelLayout::importDirectory},
    {ID_REMOVE_SELECTED, &PanelLayout::removeSelected},
    {ID_CLEAR_ALL_SELECTED, &PanelLayout::clearAllSelected},
    {ID_START_CONVERT, &PanelLayout::start},
    {ID_STOP_CONVERT, &PanelLayout::stop},
};

constexpr int BATCH_GUARDED_BUTTONS[] = {ID_START_CONVERT, ID_CLEAR_ALL_SELECTED, ID_IMPORT_DIRECTORY,
                                         ID_OPEN_FILE, ID_REMOVE_SELECTED};

bool hasPdfExtension(const std::string& path) {
    return platform::lowerAscii(platform::CFilePath(path).extensionWithDot()) == ".pdf";
}

// A dropped file needs no dot: "reportpdf" is taken too.
bool endsWithPdf(const std::string& path) {
    return path.size() >= 3 && platform::lowerAscii(path.substr(path.size() - 3)) == "pdf";
}

bool hasLocalFiles(const QMimeData& data) {
    const QList<QUrl> urls = data.urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

// The user's files stay where they are: a drop is taken as a copy (or a link), never as a
// move, which would let the source delete them.
bool acceptAsCopy(QDropEvent& event) {
    for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (hasLocalFiles(*event.mimeData()) && event.possibleActions().testFlag(action)) {
            event.setDropAction(action);
            event.accept();
            return true;
        }
    }
    event.ignore();
    return false;
}

bool isFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

ResultMark markOf(JobResult::Kind kind) {
    switch (kind) {
    case JobResult::Kind::Converted:
        return ResultMark::Done;
    case JobResult::Kind::Skipped:
        return ResultMark::Warning;
    case JobResult::Kind::Stopped:
        break;
    }
    return ResultMark::Stopped;
}

} // namespace

ConvertPanel::ConvertPanel(platform::CommandRouter& commandRouter, QWidget* parent)
    : QWidget(parent), router(commandRouter), grid(new CGridCtrl(0, 0, 0, 0, this)), jobRows(*grid),
      summary(new CSummaryEdit(this)),
      summaryPresenter(*summary, [this](int pageCount) { followPageCount(pageCount); }) {
    setAccessibleName(tr("Job list"));
    setAcceptDrops(true);
    grid->SetDlgCtrlID(IDC_JOB_GRID);
    grid->setAccessibleName(tr("Jobs"));
    grid->SetNotifyTarget(this);
    grid->installEventFilter(this);
    jobRows.setUp();
    // Files dropped on the summary are jobs too.
    summary->setAcceptDrops(false);
    summary->viewport()->setAcceptDrops(false);

    createButtons();
    setFocusProxy(grid);
    labelCurrent = new CTextLabel(QStringLiteral("Current"), this);
    labelTotal = new CTextLabel(QStringLiteral("Total"), this);
    progressCurrent = new CTextProgressCtrl(this);
    progressTotal = new CTextProgressCtrl(this);
    for (CTextProgressCtrl* bar : {progressCurrent, progressTotal})
        bar->SetShowText(true);
    // A screen reader names each bar by the label beside it.
    progressCurrent->setAccessibleName(labelCurrent->accessibleName());
    progressTotal->setAccessibleName(labelTotal->accessibleName());
    fitCaptionsToFont();
    resetProgress();
    createContextMenu();
    registerCommands();
    layOut();
}

void ConvertPanel::setSummaryThread(std::unique_ptr<SummaryThread> thread) {
    summaryPresenter.setThread(std::move(thread));
}

ConvertPanel::~ConvertPanel() {
    // The router belongs to the window and may outlive the pane.
    for (const Command& command : commands())
        router.removeHandlers(command.id);
    grid->removeEventFilter(this);
    grid->SetNotifyTarget(nullptr);
}

const std::vector<ConvertPanel::Command>& ConvertPanel::commands() {
    static const std::vector<Command> table{
        {ID_OPEN_FILE, &ConvertPanel::OnOpenFile, &ConvertPanel::noBatch},
        {ID_IMPORT_DIRECTORY, &ConvertPanel::OnImportDirectory, &ConvertPanel::noBatch},
        {ID_OPEN_FILE_DIRECTORY, &ConvertPanel::OnOpenFileDirectory, &ConvertPanel::hasJobs},
        {ID_OPEN_WITH_ASSOCIATED_APP, &ConvertPanel::OnOpenWithAssociatedApp, &ConvertPanel::hasJobs},
        {ID_REMOVE_ALL, &ConvertPanel::OnRemoveAll, &ConvertPanel::hasJobsAndNoBatch},
        {ID_REMOVE_SELECTED, &ConvertPanel::OnRemoveSelected, &ConvertPanel::hasJobsAndNoBatch},
        {ID_SELECT_CURRENT_ITEM, &ConvertPanel::OnSelectCurrentItem, &ConvertPanel::hasJobsAndNoBatch},
        {ID_CLEAR_ALL_SELECTED, &ConvertPanel::OnClearAllSelected, &ConvertPanel::hasJobsAndNoBatch},
        {ID_INVERT_SELECT, &ConvertPanel::OnInvertSelect, &ConvertPanel::hasJobsAndNoBatch},
        {ID_EDIT_SELECT_ALL, &ConvertPanel::OnSelectAllItems, &ConvertPanel::hasJobsAndNoBatch},
        {ID_START_CONVERT, &ConvertPanel::OnStartConvert, &ConvertPanel::canStart},
        {ID_STOP_CONVERT, &ConvertPanel::OnStopConvert, &ConvertPanel::hasJobs},
    };
    return table;
}

const ConvertPanel::Command& ConvertPanel::commandOf(int id) {
    // No button or menu entry carries an unknown id: a test build stops on one, a release
    // build does nothing for it.
    static const Command unknown{0, &ConvertPanel::ignoreCommand, &ConvertPanel::never};
    const auto found = std::find_if(commands().begin(), commands().end(),
                                    [id](const Command& command) { return command.id == id; });
    assert(found != commands().end());
    return found != commands().end() ? *found : unknown;
}

void ConvertPanel::runCommand(int id) {
    (this->*commandOf(id).handler)();
}

void ConvertPanel::createButtons() {
    for (const ButtonRole& role : BUTTONS) {
        const commands::Command* command = commands::find(role.command);
        assert(command && command->icon && command->toolTip);
        auto* button = new CIconButton(this);
        // Greyed out as the platform greys any disabled icon, so a guarded button reads as off.
        const QIcon icon = jobPaneIcon(command->icon);
        const QSize side(ICON_SIDE, ICON_SIDE);
        button->SetIcon(icon.pixmap(side, devicePixelRatio()),
                        icon.pixmap(side, devicePixelRatio(), QIcon::Disabled));
        button->SetTooltipText(commands::toolTip(*command));
        connect(button, &QPushButton::clicked, this, [this, id = role.command] { runCommand(id); });
        buttons[role.command] = button;
    }
    // The keyboard visits the controls top to bottom: the grid, the four buttons under it, the
    // summary, Start and Stop.
    QWidget* previous = grid;
    for (const ButtonRole& role : BUTTONS) {
        if (role.command == ID_START_CONVERT) {
            setTabOrder(previous, summary);
            previous = summary;
        }
        setTabOrder(previous, buttons.at(role.command));
        previous = buttons.at(role.command);
    }
}

void ConvertPanel::createContextMenu() {
    menu = new QMenu(this);
    for (const menus::MenuEntry& entry : menus::jobListPopup()) {
        if (entry.command == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(entry.text);
        action->setData(entry.command);
    }
    connect(menu, &QMenu::triggered, this, [this](QAction* action) {
        const int id = action->data().toInt();
        if ((this->*commandOf(id).enabled)())
            runCommand(id);
    });
}

void ConvertPanel::registerCommands() {
    for (const Command& command : commands()) {
        router.setHandler(command.id, [this, id = command.id] { runCommand(id); });
        router.setEnabler(command.id, [this, enabled = command.enabled] { return (this->*enabled)(); });
    }
}

CIconButton* ConvertPanel::button(int commandId) const {
    const auto found = buttons.find(commandId);
    return found == buttons.end() ? nullptr : found->second;
}

// ---- Layout and look ----------------------------------------------------------------------

// The bars grow with their font; a line's box has a pixel of air above and below the letters,
// so the usual 12 pixels hold the default font.
int ConvertPanel::barHeight() const {
    return std::max(PanelLayout::BAR_HEIGHT, progressCurrent->fontMetrics().height() - 2);
}

// The captions keep to their bars as the usual 13-pixel caption beside a 12-pixel bar: a pixel
// taller, so they grow with the pane's font as the bars do.
void ConvertPanel::fitCaptionsToFont() {
    for (CTextLabel* label : {labelCurrent, labelTotal})
        label->SetFontSize(barHeight() + 1);
}

int ConvertPanel::captionWidth() const {
    return std::max(labelCurrent->sizeHint().width(), labelTotal->sizeHint().width());
}

// Below its least size the pane is laid out at that size and cut off at its edges, rather
// than squeezing its controls over each other.
void ConvertPanel::layOut() {
    const QRect area(QPoint(), size().expandedTo(minimumSizeHint()));
    const PanelLayout layout = PanelLayout::compute(area, barHeight(), captionWidth());
    grid->setGeometry(layout.grid);
    jobRows.fitToWidth();
    summary->setGeometry(layout.summary);
    for (const ButtonRole& role : BUTTONS)
        buttons.at(role.command)->setGeometry(layout.*role.place);
    labelCurrent->setGeometry(layout.labelCurrent);
    labelTotal->setGeometry(layout.labelTotal);
    progressCurrent->setGeometry(layout.progressCurrent);
    progressTotal->setGeometry(layout.progressTotal);
}

QSize ConvertPanel::sizeHint() const {
    return {640, 480};
}

QSize ConvertPanel::minimumSizeHint() const {
    return {PanelLayout::LEAST_WIDTH, PanelLayout::leastHeight(barHeight())};
}

void ConvertPanel::resizeEvent(QResizeEvent*) {
    layOut();
}

void ConvertPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    platform::FillSolidRect(painter, rect(), platform::LIGHT_BLUE);
}

void ConvertPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        jobRows.fitToFont();
        fitCaptionsToFont();
        layOut();
        updateGeometry();
    }
}

void ConvertPanel::resetProgress() {
    for (CTextProgressCtrl* bar : {progressCurrent, progressTotal}) {
        bar->SetPos(0);
        bar->SetWindowText(IDLE_TEXT);
    }
}

// ---- The batch's seam -----------------------------------------------------------------------

void ConvertPanel::setStartHandler(std::function<void()> handler) {
    startHandler = std::move(handler);
}

void ConvertPanel::setStopHandler(std::function<void()> handler) {
    stopHandler = std::move(handler);
}

void ConvertPanel::setRunning(bool on) {
    if (on == running)
        return;
    running = on;
    for (int id : BATCH_GUARDED_BUTTONS)
        buttons.at(id)->setEnabled(!on);
    buttons.at(ID_START_CONVERT)->setEnabled(!on && !startWaiting);
    stateChanged();
}

void ConvertPanel::setStartWaiting(bool waiting) {
    if (waiting == startWaiting)
        return;
    startWaiting = waiting;
    buttons.at(ID_START_CONVERT)->setEnabled(!running && !waiting);
    stateChanged();
}

std::vector<ConvertPanel::CheckedJob> ConvertPanel::checkedJobs() const {
    std::vector<CheckedJob> checked;
    for (int row = 1; row <= jobList.size(); ++row) {
        if (jobRows.isChecked(row))
            checked.push_back({jobList.at(row - 1), row});
    }
    return checked;
}

ConvertPanel::RowPasswords ConvertPanel::passwords(int row) const {
    return {jobRows.text(row, JobGrid::COL_OWNER_PASSWORD).toStdString(),
            jobRows.text(row, JobGrid::COL_USER_PASSWORD).toStdString()};
}

void ConvertPanel::OnStartConvert() {
    if (startHandler)
        startHandler();
}

void ConvertPanel::OnStopConvert() {
    if (stopHandler)
        stopHandler();
}

void ConvertPanel::stateChanged() {
    router.updateEnabling();
}

// ---- Adding jobs ----------------------------------------------------------------------------

bool ConvertPanel::addFile(const std::string& path) {
    if (jobList.contains(path)) {
        if (heldDuplicates)
            heldDuplicates->push_back(path);
        else
            tellListedAlready(path);
        return false;
    }
    jobList.append(path);
    jobRows.appendRow(JobGrid::textsFor(path));
    return true;
}

void ConvertPanel::tellListedAlready(const std::string& path) {
    platform::Dialogs::message("File: " + path + " have been imported!", platform::MessageButtons::Ok, path);
}

void ConvertPanel::importFolder(const std::string& folder) {
    for (const std::string& path : PdfFinder::find(folder))
        addFile(path);
}

void ConvertPanel::OnOpenFile() {
    platform::OpenFilesRequest request;
    request.nameFilters = {"PDF Files (*.pdf)"};
    request.recallAs = WindowState::OPEN_FILES_DIALOG;
    const std::vector<std::string> chosen = platform::Dialogs::instance().openFiles(request);
    if (chosen.empty())
        return;
    resetProgress();
    for (const std::string& path : chosen) {
        if (hasPdfExtension(path))
            addFile(path);
    }
    stateChanged();
}

void ConvertPanel::OnImportDirectory() {
    platform::FolderRequest request;
    request.showFiles = true;
    request.recallAs = WindowState::IMPORT_FOLDER_DIALOG;
    const std::string folder = platform::Dialogs::instance().selectFolder(request);
    if (folder.empty())
        return;
    resetProgress();
    importFolder(folder);
    stateChanged();
}

void ConvertPanel::addDroppedPath(const std::string& path) {
    if (isFolder(path))
        importFolder(path);
    else if (endsWithPdf(path))
        addFile(path);
}

void ConvertPanel::addDroppedPaths(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
        addDroppedPath(path);
    stateChanged();
}

void ConvertPanel::dragEnterEvent(QDragEnterEvent* event) {
    acceptAsCopy(*event);
}

void ConvertPanel::dragMoveEvent(QDragMoveEvent* event) {
    acceptAsCopy(*event);
}

void ConvertPanel::dropEvent(QDropEvent* event) {
    if (!acceptAsCopy(*event))
        return;
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.push_back(platform::toNativePath(url.toLocalFile()));
    }
    // The drag source waits until the drop returns: a box about a file listed already comes
    // once it has, or the source would hang behind the box.
    std::vector<std::string> duplicates;
    heldDuplicates = &duplicates;
    addDroppedPaths(paths);
    heldDuplicates = nullptr;
    if (!duplicates.empty())
        QTimer::singleShot(0, this, [this, duplicates] {
            for (const std::string& path : duplicates)
                tellListedAlready(path);
        });
}

// ---- Removing and ticking -------------------------------------------------------------------

void ConvertPanel::OnRemoveSelected() {
    const CCellRange range = grid->GetSelectionBounds();
    if (!grid->IsValid(range))
        return;
    // Deleting a row clears the grid's selection: of several selected rows only the top-most
    // goes.
    for (int row = std::max(range.minRow, 1); row <= range.maxRow; ++row) {
        if (grid->GetCellState(row, JobGrid::COL_CHECK) & GCS_SELECTED) {
            grid->DeleteRow(row);
            resultTips.erase(jobList.at(row - 1));
            jobList.removeAt(row - 1);
            break;
        }
    }
    summaryPresenter.clear();
    grid->Refresh();
    stateChanged();
}

void ConvertPanel::OnRemoveAll() {
    jobList.clear();
    resultTips.clear();
    jobRows.setUp();
    summaryPresenter.clear();
    stateChanged();
}

int ConvertPanel::selectedJobRow() const {
    const CCellRange range = grid->GetSelectionBounds();
    if (!grid->IsValid(range) || range.maxRow < 1)
        return 0;
    return range.maxRow;
}

void ConvertPanel::OnSelectCurrentItem() {
    if (const int row = selectedJobRow())
        jobRows.setChecked(row, true);
}

void ConvertPanel::setCheckOfEveryJob(const std::function<bool(bool)>& newCheck) {
    for (int row = 1; row <= jobList.size(); ++row)
        jobRows.setChecked(row, newCheck(jobRows.isChecked(row)));
}

void ConvertPanel::OnSelectAllItems() {
    setCheckOfEveryJob([](bool) { return true; });
}

void ConvertPanel::OnClearAllSelected() {
    setCheckOfEveryJob([](bool) { return false; });
}

void ConvertPanel::OnInvertSelect() {
    setCheckOfEveryJob([](bool checked) { return !checked; });
}

// ---- Opening a job's file or folder -------------------------------------------------------

void ConvertPanel::OnOpenFileDirectory() {
    if (const int row = selectedJobRow())
        platform::openOrTell(platform::ShellVerb::Explore,
                             platform::fromNativePath(platform::CFilePath(jobList.at(row - 1)).folder()),
                             this);
}

void ConvertPanel::OnOpenWithAssociatedApp() {
    if (const int row = selectedJobRow())
        platform::openOrTell(platform::ShellVerb::Open, platform::fromNativePath(jobList.at(row - 1)), this);
}

// ---- Summary --------------------------------------------------------------------------------

platform::LRESULT ConvertPanel::notify(const platform::NMHDR& header) {
    if (header.idFrom == IDC_JOB_GRID && header.code == platform::NM_CLICK) {
        const auto& click = reinterpret_cast<const GRIDNOTIFY&>(header);
        showSummary(click.iRow, click.iColumn);
    }
    return 0;
}

void ConvertPanel::showSummary(int row, int column) {
    if (!hasJobs())
        return;
    const CCellRange range = grid->GetSelectionBounds();
    if (!range.InRange(row, column) || range.maxRow < 1)
        return;
    showSummaryOfRow(range.maxRow);
}

// The row's passwords open the document, as they do for its conversion.
void ConvertPanel::showSummaryOfRow(int row) {
    const RowPasswords typed = passwords(row);
    summaryPresenter.show({jobList.at(row - 1), typed.owner, typed.user});
}

void ConvertPanel::showJob(const std::string& path) {
    const int entry = jobList.entryOf(path);
    if (entry < 0)
        return;
    const int row = entry + 1;
    const CCellRange selected = grid->GetSelectionBounds();
    grid->EnsureVisible(row, JobGrid::COL_NAME);
    // A message about the summary shown already is about the row selected already.
    if (selected.minRow == row && selected.maxRow == row)
        return;
    grid->SelectOnly(CCellID(row, JobGrid::COL_NAME));
    showSummaryOfRow(row);
}

void ConvertPanel::followPageCount(int pageCount) {
    if (!optionPane)
        return;
    const std::optional<CRightView::ItemValue> range = optionPane->ValueById(CRightView::ID_PAGE_RANGE);
    if (!range || range->number != option::allPages)
        return;
    COptionTree* tree = optionPane->GetTree();
    if (auto* endPage = dynamic_cast<COptionTreeItemSpinner*>(tree->ItemFromId(CRightView::ID_END_PAGE))) {
        endPage->SetValueInt(pageCount);
        tree->Redraw();
    }
}

// ---- Keys and the context menu ------------------------------------------------------------

bool ConvertPanel::takePanelKey(QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    const int id = panelkeys::commandFor(*static_cast<QKeyEvent*>(event));
    if (id == 0)
        return false;
    // Taking the shortcut override keeps the window's accelerators off the key; taking the
    // press keeps it from the grid. During a batch the keys do nothing at all.
    event->accept();
    if (event->type() == QEvent::KeyPress && !running)
        runCommand(id);
    return true;
}

// The grid's own keys (Ctrl+X cuts, Ctrl+A selects, Delete clears cells) must not act on the
// pane's keys. An open cell editor is a child of the grid: the keys it edits with never get
// here, the others come up to the grid when the editor leaves them.
bool ConvertPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid && (takePanelKey(event) || showResultTip(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool ConvertPanel::showResultTip(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    const CCellID cell = grid->HitTestCell(help->pos());
    const QString tip = cell.col == JobGrid::COL_RESULT ? resultDetails(cell.row) : QString();
    QRect cellRect;
    if (tip.isEmpty() || !grid->GetCellRect(cell.row, cell.col, &cellRect)) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(help->globalPos(), tip, grid, cellRect);
    return true;
}

void ConvertPanel::showResult(const std::string& path, const JobResult& result) {
    const int entry = jobList.entryOf(path);
    if (entry < 0)
        return;
    jobRows.setResult(entry + 1, markOf(result.kind), result.text);
    resultTips[path] = result.details;
}

void ConvertPanel::clearResults() {
    jobRows.clearResults();
    resultTips.clear();
}

QString ConvertPanel::resultDetails(int row) const {
    if (row < 1 || row > jobList.size())
        return {};
    const auto found = resultTips.find(jobList.at(row - 1));
    return found == resultTips.end() ? QString() : found->second;
}

// Ctrl+Tab and Ctrl+Shift+Tab leave any control for the next or the previous one, as they
// leave the grid and the option tree; a button or the summary would otherwise keep them.
bool ConvertPanel::moveFocusByControlTab(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (!tab || !key->modifiers().testFlag(Qt::ControlModifier))
        return false;
    focusNextPrevChild(key->key() == Qt::Key_Tab && !key->modifiers().testFlag(Qt::ShiftModifier));
    return true;
}

// Keys the pane's other children leave unanswered come up here.
bool ConvertPanel::event(QEvent* event) {
    if (takePanelKey(event) || moveFocusByControlTab(event))
        return true;
    return QWidget::event(event);
}

void ConvertPanel::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint inGrid = grid->mapFrom(this, event->pos());
    if (!hasJobs() || !grid->GetClientRect().contains(inGrid) || !grid->isVisible())
        return;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator())
            action->setEnabled((this->*commandOf(action->data().toInt()).enabled)());
    }
    activateWindow();
    // Right-aligned to the point.
    menu->popup(event->globalPos() - QPoint(menu->sizeHint().width(), 0));
}
