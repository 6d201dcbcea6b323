#pragma once

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeComboBox.h"
#include "controls/optiontree/OptionTreeItemComboBox.h"
#include "controls/optiontree/OptionTreeItemFile.h"
#include "controls/optiontree/OptionTreeItemSpinner.h"
#include "controls/optiontree/OptionTreeList.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

// A shown, active window holding one option tree filled with a small sample:
//   1 "General" (header)          5 "Output" (header)
//     2 "Plain"                     6 "Parent" with children
//     3 "Choice" combo ("A","B","C")  7 "Child"
//     4 "Number" spinner 1..10 at 5  8 "Last"
struct TreeSample {
    static constexpr unsigned OPTIONS = OTS_SHOWINFOWINDOW | OTS_SHADEMARGIN | OTS_SHADEROOTITEMS;

    QWidget window;
    COptionTree* tree;

    explicit TreeSample(unsigned options = OPTIONS, QSize size = QSize(400, 320))
        : tree(new COptionTree(options, 101, &window)) {
        window.resize(size);
        tree->setGeometry(0, 0, size.width(), size.height());
    }

    COptionTreeItem* add(const QString& label, COptionTreeItem* parent = nullptr) {
        COptionTreeItem* item = tree->AddItem(std::make_unique<COptionTreeItem>(), parent);
        item->SetLabelText(label);
        item->SetInfoText(label + QStringLiteral(" help"));
        return item;
    }

    COptionTreeItemComboBox* combo(const QString& label, COptionTreeItem* parent) {
        auto* item = tree->AddItem(std::make_unique<COptionTreeItemComboBox>(), parent);
        item->SetLabelText(label);
        item->CreateComboWindow();
        for (const char* entry : {"A", "B", "C"})
            item->AddString(QString::fromLatin1(entry));
        item->SetCurSel(0);
        return item;
    }

    COptionTreeItemSpinner* spinner(const QString& label, COptionTreeItem* parent,
                                    unsigned options = OTSO_EDITABLE) {
        auto* item = tree->AddItem(std::make_unique<COptionTreeItemSpinner>(), parent);
        item->SetLabelText(label);
        item->CreateSpinnerWindow(options, 5.0, 1.0, 10.0);
        return item;
    }

    // A folder row showing the whole path, as the option pane has one.
    COptionTreeItemFile* folder(const QString& label, COptionTreeItem* parent, const QString& path) {
        auto* item = tree->AddItem(std::make_unique<COptionTreeItemFile>(), parent);
        item->SetLabelText(label);
        item->SetFileOptions(path, QString(), QString(), OTFO_FOLDER | OTFO_FULLPATH, 0x49);
        return item;
    }

    void fill() {
        COptionTreeItem* general = add(QStringLiteral("General"));
        add(QStringLiteral("Plain"), general);
        combo(QStringLiteral("Choice"), general);
        spinner(QStringLiteral("Number"), general);
        COptionTreeItem* output = add(QStringLiteral("Output"));
        COptionTreeItem* parent = add(QStringLiteral("Parent"), output);
        add(QStringLiteral("Child"), parent);
        add(QStringLiteral("Last"), output);
        tree->RefreshSubtree(nullptr);
        tree->ExpandEverything();
    }

    // One header with rows rows under it, far taller than the list; returns the header.
    COptionTreeItem* fillLong(int rows) {
        COptionTreeItem* header = add(QStringLiteral("Many"));
        for (int i = 0; i < rows; ++i)
            add(QStringLiteral("Row %1").arg(i), header);
        tree->ExpandEverything();
        return header;
    }

    bool show() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    QWidget* list() const { return tree->GetListWindow(); }
    COptionTreeItem* item(int id) const { return tree->ItemFromId(id); }
    // A point inside the row of item: in its label, or in its value column.
    QPoint labelPoint(int id) const {
        const COptionTreeItem* row = item(id);
        return QPoint(row->GetPosition().x() + 30, row->GetPosition().y() - tree->GetScrollOrigin() + 10);
    }
    QPoint valuePoint(int id) const { return QPoint(tree->GetDivider() + 40, labelPoint(id).y()); }
    void click(QPoint point) { QTest::mouseClick(list(), Qt::LeftButton, Qt::NoModifier, point); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : list(), key, modifiers);
    }
    QImage image() const { return tree->GetListWindow()->grab().toImage(); }
};
