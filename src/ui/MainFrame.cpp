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
#include "ui/RightView.h"
#include "ui/SplashWnd.h"
#include "ui/SummaryThread.h"
#include "ui/TipDlg.h"

#include <QCloseEvent>
#include <QMenu>
#include <QPainter>
#include <QShowEvent>
#include <QSplitter>
#include <algorithm>

namespace {

constexpr int LEFT_PANE_MIN_WIDTH = 640;
constexpr QSize MIN_FRAME_SIZE{880, 565};
constexpr QSize DEFAULT_FRAME_SIZE{1000, 680};

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
    event->accept();
}

void CMainFrame::paintEvent(QPaintEvent*) {
    QPainter(this).fillRect(rect(), platform::toQColor(platform::LIGHT_BLUE));
}
