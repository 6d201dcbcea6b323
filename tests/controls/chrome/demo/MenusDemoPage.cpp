#include "MenusDemoPage.h"

#include "controls/chrome/CoolMenuBar.h"
#include "controls/chrome/JobPaneIcons.h"
#include "controls/chrome/MenuXP.h"
#include "controls/chrome/TextLabel.h"

#include "platform/Colors.h"
#include "platform/CommandRouter.h"

#include "resource.h"

#include <QActionGroup>
#include <QMenu>
#include <QVBoxLayout>

using platform::CommandRouter;

namespace {

struct Command {
    int id;
    const char* text;
};

// A sample of the window's menus; zero ids stand for separators.
const Command fileMenu[] = {{ID_OPEN_FILE, "&Open File...\tCtrl+O"},
                            {ID_IMPORT_DIRECTORY, "Open &Directory...\tCtrl+D"},
                            {0, nullptr},
                            {ID_APP_EXIT, "E&xit\tAlt+F4"}};
const Command editMenu[] = {{ID_OPEN_FILE_DIRECTORY, "Open File Directory\tCtrl+E"},
                            {0, nullptr},
                            {ID_REMOVE_SELECTED, "Remove Selected\tDel"},
                            {ID_CLEAR_ALL_SELECTED, "Clear All Selected\tCtrl+X"},
                            {ID_INVERT_SELECT, "Invert Select\tCtrl+I"},
                            {0, nullptr},
                            {ID_START_CONVERT, "Start Convert\tF5"},
                            {ID_STOP_CONVERT, "Stop Convert\tShift+F5"}};
const Command helpMenu[] = {{ID_ONLINE_HELP, "&Online Help\tF1"},
                            {0, nullptr},
                            {ID_VISIT_HOME_PAGE, "&Visit Corvanta..."},
                            {ID_APP_ABOUT, "&About Folverin..."}};

void registerImages() {
    const struct {
        int command;
        int icon;
    } images[] = {{ID_OPEN_FILE, IDI_OPEN_FILE},
                  {ID_IMPORT_DIRECTORY, IDI_IMPORT_DIRECTORY},
                  {ID_REMOVE_SELECTED, IDI_REMOVE_SELECTED},
                  {ID_CLEAR_ALL_SELECTED, IDI_CLEAR_ALL_SELECTED},
                  {ID_START_CONVERT, IDI_START_CONVERT},
                  {ID_STOP_CONVERT, IDI_STOP_CONVERT}};
    for (const auto& image : images)
        CMenuXP::SetCommandImage(image.command, jobPaneIcon(image.icon));
}

// Menus of one text per command: the router's actions, which a menu bar and a context menu
// share. Like the window before a conversion, every command but Stop Convert can run.
template <size_t N>
QMenu* commandMenu(const QString& title, const Command (&commands)[N], CommandRouter* router,
                   QWidget* owner) {
    auto* menu = new QMenu(title, owner);
    router->watchMenu(menu);
    for (const Command& command : commands) {
        if (!command.id) {
            menu->addSeparator();
            continue;
        }
        QAction* action = router->action(command.id);
        action->setText(QString::fromLatin1(command.text));
        menu->addAction(action);
    }
    return menu;
}

QMenu* marksMenu(QWidget* owner) {
    auto* menu = new QMenu(QStringLiteral("&Options"), owner);
    QAction* layout = menu->addAction(QStringLiteral("Keep &Layout\tCtrl+L"));
    layout->setCheckable(true);
    layout->setChecked(true);
    QAction* summary = menu->addAction(QStringLiteral("Show &Summary"));
    summary->setCheckable(true);
    summary->setData(ID_START_CONVERT); // a checked item that has a picture
    summary->setChecked(true);
    menu->addSeparator();
    auto* formats = new QActionGroup(menu);
    for (const char* format : {"&Text Output", "&HTML Output"}) {
        QAction* action = menu->addAction(QString::fromLatin1(format));
        action->setCheckable(true);
        formats->addAction(action);
    }
    formats->actions().constFirst()->setChecked(true);
    menu->addSeparator();
    QMenu* breaks = menu->addMenu(QStringLiteral("Page &Breaks"));
    breaks->addAction(QStringLiteral("&Form Feed"))->setCheckable(true);
    breaks->addAction(QStringLiteral("&None"));
    menu->addAction(QStringLiteral("Fish && &Chips"));
    QAction* disabled = menu->addAction(QStringLiteral("Unavailable &Item"));
    disabled->setEnabled(false);
    return menu;
}

} // namespace

QWidget* createMenusDemoPage(QWidget* parent) {
    registerImages();
    auto* page = new QWidget(parent);
    page->setAutoFillBackground(true);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, platform::toQColor(platform::LIGHT_BLUE));
    page->setPalette(palette);
    auto* router = new CommandRouter(page);
    auto* status = new CTextLabel(QStringLiteral("Choose a command from the menus, or press Alt or F10."));
    const QList<int> handled = {ID_OPEN_FILE,           ID_IMPORT_DIRECTORY, ID_APP_EXIT,
                                ID_OPEN_FILE_DIRECTORY, ID_REMOVE_SELECTED,  ID_CLEAR_ALL_SELECTED,
                                ID_INVERT_SELECT,       ID_START_CONVERT,    ID_ONLINE_HELP,
                                ID_VISIT_HOME_PAGE,     ID_APP_ABOUT};
    for (int id : handled)
        router->setHandler(id, [status, router, id] {
            const QString label = router->action(id)->text().section(QLatin1Char('\t'), 0, 0);
            status->SetWindowText(QStringLiteral("Chose: ") + label);
        });

    auto* bar = new CCoolMenuBar(page);
    QMenu* edit = commandMenu(QStringLiteral("&Edit"), editMenu, router, page);
    bar->SetMenus({commandMenu(QStringLiteral("&File"), fileMenu, router, page), edit, marksMenu(page),
                   commandMenu(QStringLiteral("&Help"), helpMenu, router, page)});

    auto* area = new CTextLabel(QStringLiteral("Right-click here for the job list's context menu."));
    area->setObjectName(QStringLiteral("contextArea"));
    area->setMinimumHeight(120);
    area->setContextMenuPolicy(Qt::CustomContextMenu);
    // The same commands as the Edit menu, as the job list's context menu offers them.
    auto* context = new QMenu(page);
    router->watchMenu(context);
    context->addActions(edit->actions());
    CMenuXP::Apply(context);
    QObject::connect(area, &QWidget::customContextMenuRequested, context,
                     [area, context](const QPoint& at) { context->popup(area->mapToGlobal(at)); });

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(status);
    layout->addWidget(area, 1);
    return page;
}
