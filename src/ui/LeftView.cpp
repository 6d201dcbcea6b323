#include "ui/LeftView.h"

#include "ui/ConvertPanel.h"

CLeftView::CLeftView(platform::CommandRouter& router, QWidget* parent)
    : QWidget(parent), panel(new ConvertPanel(router, this)) {
    setFocusProxy(panel);
    panel->setGeometry(rect());
}

QSize CLeftView::sizeHint() const {
    return panel->sizeHint();
}

QSize CLeftView::minimumSizeHint() const {
    return panel->minimumSizeHint();
}

void CLeftView::resizeEvent(QResizeEvent*) {
    panel->setGeometry(rect());
}
