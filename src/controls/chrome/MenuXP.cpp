#include "controls/chrome/MenuXP.h"

#include "controls/chrome/MenuXPStyle.h"

#include <QApplication>
#include <QHash>
#include <QMenu>
#include <QPointer>

namespace {

QHash<int, QIcon>& commandImages() {
    static QHash<int, QIcon> images;
    return images;
}

// One style for every flat menu; it lives as long as the application.
CMenuXPStyle* sharedStyle() {
    static QPointer<CMenuXPStyle> style;
    if (!style) {
        style = new CMenuXPStyle;
        style->setParent(qApp);
    }
    return style;
}

void applyToSubmenus(const QMenu* menu) {
    const QList<QAction*> actions = menu->actions();
    for (const QAction* action : actions) {
        if (QMenu* submenu = action->menu())
            CMenuXP::Apply(submenu);
    }
}

} // namespace

void CMenuXP::Apply(QMenu* menu) {
    // A menu already done styles the submenus it gains each time it opens.
    if (!menu || IsApplied(menu))
        return;
    menu->setStyle(sharedStyle());
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { applyToSubmenus(menu); });
    applyToSubmenus(menu);
}

bool CMenuXP::IsApplied(const QMenu* menu) {
    return menu && menu->style() == sharedStyle();
}

void CMenuXP::SetCommandImage(int commandId, const QIcon& icon) {
    if (icon.isNull())
        commandImages().remove(commandId);
    else
        commandImages().insert(commandId, icon);
}

QIcon CMenuXP::CommandImage(int commandId) {
    return commandImages().value(commandId);
}
