#pragma once

#include <QIcon>

class QMenu;

// Flat popup menus: a grey image column carrying the commands' pictures, a light face, a
// framed selection, thin separators and a one-pixel border, in colours derived from the
// desktop's scheme. The window system draws the drop shadow, so none is painted here.
class CMenuXP {
public:
    // Makes menu, and every submenu it holds now or gains later, draw in the flat style: the
    // menu bar's popups and context menus alike. Calling it again changes nothing.
    static void Apply(QMenu* menu);
    static bool IsApplied(const QMenu* menu);

    // The picture shown in the image column of every action that carries commandId
    // (platform::CommandRouter::commandId); a null icon takes it away again.
    static void SetCommandImage(int commandId, const QIcon& icon);
    static QIcon CommandImage(int commandId);
};
