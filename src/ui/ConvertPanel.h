#pragma once

#include "platform/Notify.h"
#include "ui/JobGrid.h"
#include "ui/JobList.h"
#include "ui/JobResult.h"
#include "ui/SummaryPresenter.h"

#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

class CIconButton;
class CRightView;
class CSummaryEdit;
class CTextLabel;
class CTextProgressCtrl;
class QMenu;

namespace grid {
class CGridCtrl;
}
namespace platform {
class CommandRouter;
}

// The job pane: the grid of PDF files to convert with the list of their paths behind it, the
// summary of the clicked file, the command buttons and the two labelled progress bars. It
// handles the job commands from buttons, its context menu, its own keys and the router the
// window's menus use, and accepts dropped files and folders.
//
// A batch plugs in through setStartHandler/setStopHandler, reads checkedJobs() and
// passwords(), shows its progress in the bars and labels, and reports its state through
// setRunning().
class ConvertPanel : public QWidget, public platform::NotifyTarget {
    Q_OBJECT

public:
    // A ticked job as a batch takes it: its path and its grid row.
    struct CheckedJob {
        std::string path;
        int row = 0;
    };
    // The two password cells of a row, as typed (UTF-8).
    struct RowPasswords {
        std::string owner;
        std::string user;
    };

    explicit ConvertPanel(platform::CommandRouter& router, QWidget* parent = nullptr);
    ~ConvertPanel() override;

    // ---- The seam for the batch ----
    void setStartHandler(std::function<void()> handler);
    void setStopHandler(std::function<void()> handler);
    // While running, the five batch-guarded buttons are disabled, the add, remove and tick
    // commands are refused and the pane's keys do nothing.
    void setRunning(bool running);
    bool isRunning() const { return running; }
    // While a stopped batch still finishes its job, Start is greyed: pressing it would only
    // queue a batch the user cannot see coming.
    void setStartWaiting(bool waiting);
    // The ticked rows in row order.
    std::vector<CheckedJob> checkedJobs() const;
    RowPasswords passwords(int row) const;
    CTextProgressCtrl* currentProgress() const { return progressCurrent; }
    CTextProgressCtrl* totalProgress() const { return progressTotal; }
    CTextLabel* currentLabel() const { return labelCurrent; }
    CTextLabel* totalLabel() const { return labelTotal; }
    // Both bars at 0 with the idle text "Waiting for converting.".
    void resetProgress();
    // The row of path shows what its job's turn came to, the whole story as its tool tip;
    // a path no longer listed is passed over.
    void showResult(const std::string& path, const JobResult& result);
    // Every row's result goes, as a new batch starts.
    void clearResults();
    // The tool tip of the row's result, empty when it has none.
    QString resultDetails(int row) const;

    // The option pane whose "End Page" follows the page count of the file shown in the
    // summary while "All Pages" is chosen.
    void setOptionPane(CRightView* pane) { optionPane = pane; }
    // Summaries are built by this worker from now on, out of this process.
    void setSummaryThread(std::unique_ptr<SummaryThread> thread);

    // Selects the job of path alone, scrolled into view, with its summary: a message about a
    // job is read beside its row.
    void showJob(const std::string& path);

    // Adds paths as a drop does: folders are searched for PDFs, files ending in "pdf" added.
    void addDroppedPaths(const std::vector<std::string>& paths);

    const JobList& jobs() const { return jobList; }
    grid::CGridCtrl* jobGrid() const { return grid; }
    CSummaryEdit* summaryPane() const { return summary; }
    CIconButton* button(int commandId) const;
    QMenu* contextMenu() const { return menu; }

    // ---- Commands ----
    void OnOpenFile();
    void OnImportDirectory();
    void OnOpenFileDirectory();
    void OnOpenWithAssociatedApp();
    void OnRemoveAll();
    void OnRemoveSelected();
    void OnSelectCurrentItem();
    void OnSelectAllItems();
    void OnClearAllSelected();
    void OnInvertSelect();
    void OnStartConvert();
    void OnStopConvert();

    platform::LRESULT notify(const platform::NMHDR& header) override;

    QSize sizeHint() const override;
    // The least size at which no two controls overlap.
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Command {
        int id;
        void (ConvertPanel::*handler)();
        bool (ConvertPanel::*enabled)() const;
    };
    static const std::vector<Command>& commands();
    static const Command& commandOf(int id);
    void ignoreCommand() {}
    bool never() const { return false; }
    void runCommand(int id);

    void createButtons();
    void createContextMenu();
    void registerCommands();
    void layOut();
    int barHeight() const;
    void fitCaptionsToFont();
    int captionWidth() const;

    // Every add runs the duplicate test first; false when the path was listed already.
    bool addFile(const std::string& path);
    void tellListedAlready(const std::string& path);
    void importFolder(const std::string& folder);
    void addDroppedPath(const std::string& path);
    void stateChanged();
    void showSummary(int row, int column);
    void showSummaryOfRow(int row);
    void followPageCount(int pageCount);
    // The last row of the grid's selection when it is a job row, else 0.
    int selectedJobRow() const;
    void setCheckOfEveryJob(const std::function<bool(bool)>& newCheck);
    // True when event is one of the pane's keys, which then reaches nothing else.
    bool takePanelKey(QEvent* event);
    bool moveFocusByControlTab(QEvent* event);
    bool showResultTip(QEvent* event);

    bool noBatch() const { return !running; }
    bool hasJobs() const { return !jobList.empty(); }
    bool hasJobsAndNoBatch() const { return hasJobs() && !running; }
    bool canStart() const { return hasJobsAndNoBatch() && !startWaiting; }

    platform::CommandRouter& router;
    JobList jobList;
    // The tool tips of the results shown, by job path, so they follow their rows.
    std::map<std::string, QString> resultTips;
    grid::CGridCtrl* grid = nullptr;
    JobGrid jobRows;
    CSummaryEdit* summary = nullptr;
    SummaryPresenter summaryPresenter;
    std::map<int, CIconButton*> buttons;
    CTextLabel* labelCurrent = nullptr;
    CTextLabel* labelTotal = nullptr;
    CTextProgressCtrl* progressCurrent = nullptr;
    CTextProgressCtrl* progressTotal = nullptr;
    QMenu* menu = nullptr;
    CRightView* optionPane = nullptr;
    std::function<void()> startHandler;
    std::function<void()> stopHandler;
    bool running = false;
    bool startWaiting = false;
    // While a drop is handled: the paths listed already, told of once it has returned.
    std::vector<std::string>* heldDuplicates = nullptr;
};
