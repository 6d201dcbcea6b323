#include "controls/grid/VirtualKeys.h"

#include "controls/grid/GridDefs.h"

#include <Qt>

namespace grid {

int VirtualKeyFromQt(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_F2:
        return VK_F2;
    default:
        return qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z ? qtKey : 0;
    }
}

} // namespace grid
