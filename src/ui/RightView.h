#pragma once

#include "core/ConvertOptionFields.h"
#include "platform/Notify.h"

#include <QWidget>

#include <map>
#include <mutex>
#include <optional>
#include <string>

class COptionTree;
class COptionTreeItem;
class ConverterApp;

// The option pane: an option tree filled from the application's options, writing every
// change straight back into them. It also mirrors what every row shows, edits still open
// included, in a table the batch worker may read from its own thread.
class CRightView : public QWidget, public platform::NotifyTarget {
    Q_OBJECT

public:
    // The rows in insertion order: an item's id names its option.
    using ItemId = optionpane::Item;
    using enum optionpane::Item;
    static constexpr int ITEM_COUNT = optionpane::ITEM_COUNT;

    // What a row holds: the list index or page number, or the folder text.
    struct ItemValue {
        int number = 0;
        std::string text;
        bool operator==(const ItemValue&) const = default;
    };

    explicit CRightView(ConverterApp& app, QWidget* parent = nullptr);
    ~CRightView() override;

    // Fills the tree from the options, creating it the first time; ids run 1 to 14 again.
    bool BuildTree();
    COptionTree* GetTree() const { return tree; }

    // Safe from any thread: the value a row shows now, even while its edit is still open.
    std::optional<ItemValue> ValueById(int id) const;
    // Safe from any thread: every row's value into the options, as a batch takes them.
    void CopyValuesInto(ConvertOptions& options) const;

    platform::LRESULT notify(const platform::NMHDR& header) override;

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void InsertItems();
    COptionTreeItem* AddCategory(const QString& label, const QString& info);
    COptionTreeItem* AddComboBox(COptionTreeItem* parent, const QString& label, const QString& info,
                                 const QStringList& entries, int selection);
    COptionTreeItem* AddSpinner(COptionTreeItem* parent, const QString& label, const QString& info,
                                int value);
    COptionTreeItem* AddFolder(COptionTreeItem* parent, const QString& label, const QString& info,
                               const std::string& folder);
    void CommitItem(COptionTreeItem* item);
    void UpdateReadOnlyStates();
    void StoreShownValue(const COptionTreeItem* item);
    void StoreValue(int id, const ItemValue& value);
    static std::optional<ItemValue> ReadItem(const COptionTreeItem* item);
    static void ApplyValue(ConvertOptions& options, int id, const ItemValue& value);
    void StoreAllValues();
    void WidenLabelsToFit();

    ConverterApp& app;
    bool labelsFitted = false;
    COptionTree* tree = nullptr;
    mutable std::mutex valuesMutex;
    std::map<int, ItemValue> values;
};
