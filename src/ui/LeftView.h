#pragma once

#include <QWidget>

class ConvertPanel;
namespace platform {
class CommandRouter;
}

// The left pane of the main window: it hosts the job pane and keeps it filling the view.
class CLeftView : public QWidget {
    Q_OBJECT

public:
    explicit CLeftView(platform::CommandRouter& router, QWidget* parent = nullptr);

    ConvertPanel* GetPanel() const { return panel; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    ConvertPanel* panel;
};
