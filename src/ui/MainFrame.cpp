#include "ui/MainFrame.h"

#include "controls/chrome/CoolMenuBar.h"
#include "controls/chrome/JobPaneIcons.h"
#include "controls/chrome/MenuXP.h"
#include "controls/grid/GridCtrl.h"
#include "core/ConverterApp.h"
#include "platform/Colors.h"
#include "platform/CommandRouter.h"
#include "platform/Dialogs.h"
#include "pool/PooledConverter.h"
#include "resource.h"
#include "ui/AboutDlg.h"
#include "ui/AboutLinks.h"
#include "ui/CommandTable.h"
#include "ui/ConvertBatch.h"
#include "ui/ConvertPanel.h"
#include "ui/LeftView.h"
#include "ui/MenuTables.h"
#include "ui/RecentFolders.h"
#include "ui/RightView.h"
#include "ui/SplashWnd.h"
#include "ui/SummaryThread.h"
#include "ui/TipDlg.h"
#include "ui/WindowState.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStyle>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int LEFT_PANE_MIN_WIDTH = 640;
constexpr QSize MIN_FRAME_SIZE{880, 565};
constexpr QSize DEFAULT_FRAME_SIZE{1000, 680};

// A place fits when the screens' free areas cover it whole (across two of them, as a user may
// leave it) and it is no smaller than the window may be: the place on a monitor since unplugged,
// or a size larger than the screens are now, fits no more.
bool fitsTheScreens(const QRect& place, const QSize& least) {
    if (place.width() < least.width() || place.height() < least.height())
        return false;
    QRegion free;
    for (const QScreen* screen : QGuiApplication::screens())
        free += screen->availableGeometry();
    return QRegion(place).subtracted(free).isEmpty();
}

std::vector<int> toVector(const QList<int>& values) {
    return {values.begin(), values.end()};
}

} // namespace

CMainFrame::CMainFrame(ConverterApp& app, QWidget* parent)
    : QMainWindow(parent), app(app), router(std::make_unique<platform::CommandRouter>()) {
    setWindowTitle(QStringLiteral("Folverin"));
    setMinimumSize(MIN_FRAME_SIZE);
    resize(DEFAULT_FRAME_SIZE);
    CreateClient();
    CreateMenus();
    CreateAccelerators();
    router->setHandler(ID_RESET_ALL_OPTIONS, [this] { OnResetAllOptions(); });
    router->setHandler(ID_APP_EXIT, [this] { close(); });
    router->setHandler(ID_ONLINE_HELP, aboutlinks::openOnlineHelp);
    router->setHandler(ID_TELL_FRIEND_BY_MAIL, aboutlinks::tellFriendByMail);
    router->setHandler(ID_CHECK_NEW_VERSION, aboutlinks::checkNewVersion);
    router->setHandler(ID_VISIT_HOME_PAGE, aboutlinks::visitHomePage);
    router->setHandler(ID_APP_ABOUT, [this] { CAboutDlg::runModal(this); });
    router->setHandler(ID_TIP_OF_THE_DAY, [this] { CTipDlg::runModal(this->app, this); });
}

// The panes use the router and the batch uses the panes: the batch ends first, then the
// panes go while the router still stands.
CMainFrame::~CMainFrame() {
    // A splash still shown would tell this half-destroyed frame that it went.
    if (CSplashWnd* splash = CSplashWnd::Current(); splash && splash->parent() == this)
        delete splash;
    if (recentFolders && &platform::Dialogs::instance() == recentFolders.get())
        platform::Dialogs::setInstance(&recentFolders->inner());
    batch.reset();
    delete takeCentralWidget();
}

void CMainFrame::CreateClient() {
    splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    leftView = new CLeftView(*router, splitter);
    rightView = new CRightView(app, splitter);
    leftView->setMinimumWidth(LEFT_PANE_MIN_WIDTH);
    splitter->addWidget(leftView);
    splitter->addWidget(rightView);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({LEFT_PANE_MIN_WIDTH, DEFAULT_FRAME_SIZE.width() - LEFT_PANE_MIN_WIDTH});
    setCentralWidget(splitter);
    leftView->GetPanel()->setOptionPane(rightView);
    // The keyboard starts in the job list, so its keys work before any click.
    leftView->GetPanel()->jobGrid()->setFocus();
    // Conversions and summaries run in worker processes: a hostile document costs its own job,
    // never the window.
    const PooledConverter::Settings workers = PooledConverter::forProgram(app.programDir, app.configPath);
    leftView->GetPanel()->setSummaryThread(std::make_unique<SummaryThread>(workers.pool));
    batch = std::make_unique<ConvertBatch>(*leftView->GetPanel(), *rightView,
                                           std::make_unique<PooledConverter>(workers));
}

void CMainFrame::CreateMenus() {
    // Commands with a button in the job pane show its icon in the menus.
    for (const commands::Command& command : commands::all()) {
        if (command.icon)
            CMenuXP::SetCommandImage(command.id, jobPaneIcon(command.icon));
    }
    auto* bar = new CCoolMenuBar(this);
    QList<QMenu*> popups;
    for (const menus::MenuPopup& popup : menus::menuBarPopups()) {
        QMenu* menu = new QMenu(popup.title, this);
        popups.append(menu);
        for (const menus::MenuEntry& entry : popup.entries) {
            if (entry.command == 0) {
                menu->addSeparator();
                continue;
            }
            QAction* action = router->action(entry.command);
            action->setText(entry.text);
            menu->addAction(action);
        }
        router->watchMenu(menu);
    }
    bar->SetMenus(popups);
    setMenuWidget(bar);
    CMenuXP::Apply(leftView->GetPanel()->contextMenu());
}

// F1 and Alt+F4 are shown in the menus but bound to nothing here.
void CMainFrame::CreateAccelerators() {
    for (const commands::Command& command : commands::all()) {
        const QKeySequence keys = commands::boundKeys(command);
        if (keys.isEmpty())
            continue;
        auto* key = new QAction(this);
        key->setShortcut(keys);
        const bool jobListKey = command.scope == commands::KeyScope::jobList;
        key->setShortcutContext(jobListKey ? Qt::WidgetWithChildrenShortcut : Qt::WindowShortcut);
        connect(key, &QAction::triggered, this, [this, id = command.id] { router->execute(id); });
        if (jobListKey)
            leftView->addAction(key);
        else
            addAction(key);
        accelerators.push_back(key);
    }
}

void CMainFrame::FitInto(const QSize& available) {
    // What the window manager's title bar and borders take besides.
    const QSize room = (available - QSize(16, 48)).expandedTo(QSize(1, 1));
    leftView->setMinimumWidth(std::min(LEFT_PANE_MIN_WIDTH, room.width() / 2));
    setMinimumSize(MIN_FRAME_SIZE.boundedTo(room));
    const int width = size().width();
    resize(size().boundedTo(room));
    // The options pane would give up all its width to the left pane's wish for 640: both
    // panes shrink in the first size's proportion instead.
    if (room.width() < width) {
        const int left = std::max(leftView->minimumWidth(), room.width() * LEFT_PANE_MIN_WIDTH / width);
        splitter->setSizes({left, room.width() - left});
    }
}

void CMainFrame::SetAcceleratorsEnabled(bool enabled) {
    for (QAction* key : accelerators)
        key->setEnabled(enabled);
}

void CMainFrame::AddPaths(const std::vector<std::string>& paths) {
    leftView->GetPanel()->addDroppedPaths(paths);
}

void CMainFrame::RestoreAndRaise() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void CMainFrame::RestoreState(const std::string& path) {
    stateFile = path;
    const WindowState state = WindowState::load(path);
    PlaceOnScreen(state);
    RestoreColumnWidths(state.columnWidths);
    platform::Dialogs& dialogs = recentFolders ? recentFolders->inner() : platform::Dialogs::instance();
    recentFolders = std::make_unique<RecentFolders>(dialogs, state.folders);
    platform::Dialogs::setInstance(recentFolders.get());
}

// The splitter's sizes belong to the window's width they were left at: they come back only
// with the place.
void CMainFrame::PlaceOnScreen(const WindowState& state) {
    const QRect area = screen()->availableGeometry();
    FitInto(area.size());
    if (state.geometry && fitsTheScreens(*state.geometry, minimumSize())) {
        setGeometry(*state.geometry);
        if (state.splitterSizes.size() == std::size_t(splitter->count()))
            splitter->setSizes(QList<int>(state.splitterSizes.begin(), state.splitterSizes.end()));
    } else {
        move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frameGeometry().size(), area).topLeft());
    }
    if (state.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

// Columns the job list has gained or lost since keep their own width.
void CMainFrame::RestoreColumnWidths(const std::vector<int>& widths) {
    grid::CGridCtrl* grid = leftView->GetPanel()->jobGrid();
    const int shared = std::min(grid->GetColumnCount(), int(widths.size()));
    for (int column = 0; column < shared; ++column)
        grid->SetColumnWidth(column, widths[std::size_t(column)]);
}

void CMainFrame::SaveState() const {
    if (stateFile.empty())
        return;
    WindowState state;
    state.geometry = normalGeometry();
    state.maximized = isMaximized();
    state.splitterSizes = toVector(splitter->sizes());
    const grid::CGridCtrl* grid = leftView->GetPanel()->jobGrid();
    for (int column = 0; column < grid->GetColumnCount(); ++column)
        state.columnWidths.push_back(grid->GetColumnWidth(column));
    state.folders = recentFolders->folders();
    if (!state.save(stateFile))
        std::fprintf(stderr, "folverin: cannot keep the window's state in %s\n", stateFile.c_str());
}

bool CMainFrame::ShowTipAtStartup() {
    return CTipDlg::runAtStartup(app, this);
}

void CMainFrame::OnResetAllOptions() {
    if (platform::Dialogs::message("Reset all the convert options?", platform::MessageButtons::YesNo) !=
        platform::DialogResult::Yes)
        return;
    app.resetAllOptions();
    rightView->BuildTree();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous() || std::exchange(splashShown, true))
        return;
    // The key that closes the splash must not run a command either.
    if (CSplashWnd* splash = CSplashWnd::ShowSplashScreen(this)) {
        SetAcceleratorsEnabled(false);
        connect(splash, &QObject::destroyed, this, [this] { SetAcceleratorsEnabled(true); });
    }
}

// The batch is stopped (its job in progress and its message box too) and its end waited for
// here, while events flow; the batch's destructor then has nothing left to wait for.
void CMainFrame::closeEvent(QCloseEvent* event) {
    batch->StopAndWait();
    SaveState();
    event->accept();
}

void CMainFrame::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), platform::toQColor(platform::LIGHT_BLUE));
}
