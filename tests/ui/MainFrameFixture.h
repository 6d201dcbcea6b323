#pragma once

#include "FixturePdf.h"
#include "TestSupport.h"
#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeList.h"
#include "core/ConverterApp.h"
#include "platform/CommandRouter.h"
#include "platform/RecordingShell.h"
#include "platform/ScriptedDialogs.h"
#include "ui/ConvertPanel.h"
#include "ui/LeftView.h"
#include "ui/MainFrame.h"
#include "ui/RightView.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The program's window with scripted dialogs, a recording shell and its own settings folder.
struct MainFrameFixture {
    QTemporaryDir temp;
    platform::ScriptedDialogs dialogs;
    platform::RecordingShell shell;
    ConverterApp app;
    std::unique_ptr<CMainFrame> frame;

    // A font pixel size of 0 keeps the application's font. With a state file the window opens
    // as the program opens it, where that file says it was left.
    explicit MainFrameFixture(int fontPixelSize = 0, const std::string& stateFile = {}) {
        platform::Dialogs::setInstance(&dialogs);
        platform::Shell::setInstance(&shell);
        app.deriveDataFolder(testsupport::programDir().toStdString(),
                             temp.filePath(QStringLiteral("config")).toStdString());
        app.writeEngineConfig();
        app.options = ConvertOptions::defaults();
        app.options.openResult = 1;
        frame = std::make_unique<CMainFrame>(app);
        if (fontPixelSize) {
            QFont large = frame->font();
            large.setPixelSize(fontPixelSize);
            frame->setFont(large);
        }
        if (!stateFile.empty())
            frame->RestoreState(stateFile);
        frame->show();
        frame->activateWindow();
    }
    ConvertPanel* panel() const { return frame->LeftView()->GetPanel(); }
    bool enabled(int id) const { return frame->Router().isEnabled(id); }
    QString pdf(const QString& name, int pages = 1) const {
        const QString path = temp.filePath(name);
        if (!fixtures::writeLargeTextPdf(path, pages, 30))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    void focusOptionRow(int id) {
        COptionTree* tree = frame->RightView()->GetTree();
        tree->SetFocusItem(tree->ItemFromId(id));
        tree->GetListWindow()->setFocus();
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    }
};
