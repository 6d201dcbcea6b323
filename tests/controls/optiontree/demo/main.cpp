// Hand-run demo: an option tree with rows of every kind to click, type and tab through.
#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeItemComboBox.h"
#include "controls/optiontree/OptionTreeItemFile.h"
#include "controls/optiontree/OptionTreeItemSpinner.h"
#include "platform/QtDialogs.h"

#include <QApplication>

namespace {

COptionTreeItem* addRow(COptionTree& tree, std::unique_ptr<COptionTreeItem> row, COptionTreeItem* parent,
                        const char* label, const char* info) {
    COptionTreeItem* item = tree.AddItem(std::move(row), parent);
    item->SetLabelText(QString::fromUtf8(label));
    item->SetInfoText(QString::fromUtf8(info));
    return item;
}

void addCombo(COptionTree& tree, COptionTreeItem* parent, const char* label, const QStringList& entries) {
    auto* combo = static_cast<COptionTreeItemComboBox*>(addRow(
        tree, std::make_unique<COptionTreeItemComboBox>(), parent, label, "Pick one entry from the list."));
    combo->CreateComboWindow();
    for (const QString& entry : entries)
        combo->AddString(entry);
    combo->SetCurSel(0);
}

COptionTreeItem* addSpinner(COptionTree& tree, COptionTreeItem* parent, const char* label, unsigned options) {
    auto* spinner = static_cast<COptionTreeItemSpinner*>(
        addRow(tree, std::make_unique<COptionTreeItemSpinner>(), parent, label, "A number from 1 to 20."));
    spinner->CreateSpinnerWindow(options, 10, 1, 20);
    return spinner;
}

void addFile(COptionTree& tree, COptionTreeItem* parent, const char* label, unsigned options,
             unsigned flags) {
    auto* file = static_cast<COptionTreeItemFile*>(addRow(tree, std::make_unique<COptionTreeItemFile>(),
                                                          parent, label, "Activate the value to choose."));
    file->SetFileOptions(QString(), QStringLiteral("txt"), QStringLiteral("Text Files|*.txt|All Files|*"),
                         options, flags);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    platform::QtDialogs dialogs;
    platform::Dialogs::setInstance(&dialogs);

    COptionTree tree(OTS_SHOWINFOWINDOW | OTS_SHADEMARGIN | OTS_SHADEROOTITEMS | OTS_DEFINFOTEXT, 101);
    tree.setWindowTitle(QStringLiteral("Option tree demo"));
    tree.resize(460, 520);

    COptionTreeItem* lists =
        addRow(tree, std::make_unique<COptionTreeItem>(), nullptr, "Lists", "Combo box rows.");
    lists->SetHeaderBackColor(platform::LIGHT_BLUE);
    addCombo(tree, lists, "Answer", {QStringLiteral("Yes"), QStringLiteral("No")});
    addCombo(tree, lists, "Line ends",
             {QStringLiteral("DOS(Windows)"), QStringLiteral("Unix"), QStringLiteral("Mac")});
    addRow(tree, std::make_unique<COptionTreeItemComboBox>(), lists, "Without a window", "Cannot be edited.");

    COptionTreeItem* numbers =
        addRow(tree, std::make_unique<COptionTreeItem>(), nullptr, "Numbers", "Spinner rows.");
    addSpinner(tree, numbers, "Typed", OTSO_EDITABLE);
    addSpinner(tree, numbers, "Wrapping", OTSO_EDITABLE | OTSO_WRAP);
    addSpinner(tree, numbers, "Arrows only", 0);
    addSpinner(tree, numbers, "Read-only", OTSO_EDITABLE)->SetReadOnly(true);

    COptionTreeItem* paths =
        addRow(tree, std::make_unique<COptionTreeItem>(), nullptr, "Paths", "File and folder rows.");
    addFile(tree, paths, "Folder", OTFO_FOLDER | OTFO_FULLPATH, 0x49);
    addFile(tree, paths, "Open files", OTFO_OPENDIALOG | OTFO_FULLPATH, OFN_ALLOWMULTISELECT);
    addFile(tree, paths, "File names", OTFO_OPENDIALOG | OTFO_FILENAME, OFN_ALLOWMULTISELECT);
    addFile(tree, paths, "Save as", OTFO_FULLPATH, 0);
    COptionTreeItem* nested =
        addRow(tree, std::make_unique<COptionTreeItem>(), paths, "Nested", "A deeper level.");
    addRow(tree, std::make_unique<COptionTreeItem>(), nested, "A label far too long for the label column",
           "Cut with dots.");

    tree.RefreshSubtree(nullptr);
    tree.ExpandEverything();
    tree.show();
    return application.exec();
}
