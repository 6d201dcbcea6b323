#pragma once

#include <QMainWindow>

#include <memory>
#include <string>
#include <vector>

class CLeftView;
class CRightView;
class ConverterApp;
class ConvertBatch;
class QAction;
class QSplitter;
class RecentFolders;
class WindowState;
namespace platform {
class CommandRouter;
}

// The program's one window: the menu bar on top, the job pane on the left and the option
// pane on the right of a splitter. Job commands go to the job pane; the frame handles Reset
// All Options, the help commands and closing, which stops a running batch first.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(ConverterApp& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // PDF paths and folders from the command line or a second start, added as if dropped.
    void AddPaths(const std::vector<std::string>& paths);
    // Brings the window forward, restored when minimised, as a second start asks.
    void RestoreAndRaise();
    // Shrinks the first size and the minimum size to a screen area of this size (a small
    // screen, or a large scale factor), so the title and menu bar stay reachable.
    void FitInto(const QSize& available);
    // Before the window is first shown: places it as the state file says it was left, when that
    // place still fits the screens, else at its first size fitted to the screen and centred on
    // it; the splitter and the job list's column widths come back with it, and while the window
    // lives the program's file dialogs start in the folders they were last left in. Closing the
    // window keeps all of it there again.
    void RestoreState(const std::string& stateFile);
    // The Tip of the Day at start-up, when the user keeps it on and the tips file is there;
    // true when it was shown.
    bool ShowTipAtStartup();

    CLeftView* LeftView() const { return leftView; }
    CRightView* RightView() const { return rightView; }
    platform::CommandRouter& Router() const { return *router; }

    void OnResetAllOptions();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void CreateClient();
    void CreateMenus();
    void CreateAccelerators();
    void SetAcceleratorsEnabled(bool enabled);
    void PlaceOnScreen(const WindowState& state);
    void RestoreColumnWidths(const std::vector<int>& widths);
    void SaveState() const;

    ConverterApp& app;
    std::unique_ptr<platform::CommandRouter> router;
    QSplitter* splitter = nullptr;
    CLeftView* leftView = nullptr;
    CRightView* rightView = nullptr;
    std::unique_ptr<ConvertBatch> batch; // before the views go, so it ends first
    bool splashShown = false;
    std::vector<QAction*> accelerators;
    std::string stateFile;
    std::unique_ptr<RecentFolders> recentFolders;
};
