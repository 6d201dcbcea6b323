#pragma once

#include "FixturePdf.h"
#include "TestSupport.h"
#include "controls/grid/GridCtrl.h"
#include "platform/CommandRouter.h"
#include "platform/NativePath.h"
#include "platform/RecordingShell.h"
#include "platform/ScriptedDialogs.h"
#include "pool/WorkerPool.h"
#include "ui/ConvertPanel.h"
#include "ui/LeftView.h"
#include "ui/SummaryThread.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A shown job pane with scripted dialogs, a recording shell and its own command router, and
// a scratch folder for the files it imports.
struct JobPaneFixture {
    platform::ScriptedDialogs dialogs;
    platform::RecordingShell shell;
    platform::CommandRouter router;
    QWidget window;
    CLeftView* view = nullptr;
    ConvertPanel* panel = nullptr;
    QTemporaryDir temp;

    explicit JobPaneFixture(QSize size = {640, 480}) {
        platform::Dialogs::setInstance(&dialogs);
        platform::Shell::setInstance(&shell);
        view = new CLeftView(router, &window);
        panel = view->GetPanel();
        window.resize(size);
        view->setGeometry(window.rect());
    }

    bool show() {
        window.show();
        window.activateWindow();
        grid()->setFocus();
        return QTest::qWaitForWindowActive(&window);
    }

    grid::CGridCtrl* grid() const { return panel->jobGrid(); }

    // Summaries built by the build's worker program, as the window builds them.
    void summariesFromWorker() const {
        WorkerPool::Settings worker;
        worker.program = testsupport::path(testsupport::programDir() + QStringLiteral("folverin-worker"));
        panel->setSummaryThread(std::make_unique<SummaryThread>(worker));
    }

    // A file of size bytes under the scratch folder; folders on the way are made.
    QString file(const QString& relative, qint64 size = 100) const {
        const QString path = temp.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(QByteArray(size, 'x')) != size)
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QString pdf(const QString& relative, const fixtures::RawPdf& document = {}) const {
        const QString path = temp.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        if (!fixtures::writeRawPdf(path, document))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }

    void openFiles(const QStringList& paths) {
        std::vector<std::string> files;
        for (const QString& path : paths)
            files.push_back(platform::toNativePath(path));
        dialogs.queueFiles(files);
        key(Qt::Key_O, Qt::ControlModifier);
    }

    void importFolder(const QString& folder) {
        dialogs.queueFolder(platform::toNativePath(folder + QLatin1Char('/')));
        key(Qt::Key_D, Qt::ControlModifier);
    }

    QStringList column(int col) const {
        QStringList texts;
        for (int row = 1; row < grid()->GetRowCount(); ++row)
            texts.append(grid()->GetCellText(row, col));
        return texts;
    }

    QPoint cellCentre(int row, int col) const {
        QRect rect;
        if (!grid()->GetCellRect(row, col, &rect))
            qFatal("cell %d,%d not shown", row, col);
        return rect.center();
    }

    void clickCell(int row, int col, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::mouseClick(grid(), Qt::LeftButton, modifiers, cellCentre(row, col));
    }
};
