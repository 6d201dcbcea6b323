#pragma once

#include "platform/Notify.h"

#include <QWidget>

#include <map>
#include <mutex>
#include <optional>
#include <string>

class COptionTree;
class COptionTreeItem;
class ConverterApp;
struct ConvertOptions;

// The option pane: an option tree filled from the application's options, writing every
// change straight back into them. It also mirrors what every row shows, edits still open
// included, in a table the batch worker may read from its own thread.
class CRightView : public QWidget, public platform::NotifyTarget {
    Q_OBJECT

public:
    // The rows in insertion order: an item's id names its option.
    enum ItemId {
        ID_GENERAL_OPTIONS = 1,
        ID_PAGE_RANGE,
        ID_BEGIN_PAGE,
        ID_END_PAGE,
        ID_OPEN_RESULTS,
        ID_OUTPUT_OPTIONS,
        ID_OUTPUT_DIRECTORY,
        ID_OUTPUT_MODE,
        ID_HTML_META,
        ID_TEXT_LAYOUT,
        ID_RAW_MODE,
        ID_END_OF_LINE,
        ID_PAGE_BREAKS,
        ID_TEXT_ENCODING,
    };
    static constexpr int ITEM_COUNT = ID_TEXT_ENCODING;

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

private:
    void InsertItems();
    void InsertGeneralItems(COptionTreeItem* category);
    void InsertOutputItems(COptionTreeItem* category);
    COptionTreeItem* AddCategory(const QString& label, const QString& info);
    void AddComboBox(COptionTreeItem* parent, const QString& label, const QString& info,
                     const QStringList& entries, int selection);
    void AddSpinner(COptionTreeItem* parent, const QString& label, const QString& info, int value);
    void AddFolder(COptionTreeItem* parent, const QString& label, const QString& info,
                   const std::string& folder);
    void CommitItem(COptionTreeItem* item);
    void UpdateReadOnlyStates();
    void StoreShownValue(const COptionTreeItem* item);
    void StoreValue(int id, const ItemValue& value);
    static std::optional<ItemValue> ReadItem(const COptionTreeItem* item);
    static void ApplyValue(ConvertOptions& options, int id, const ItemValue& value);
    void StoreAllValues();

    ConverterApp& app;
    COptionTree* tree = nullptr;
    mutable std::mutex valuesMutex;
    std::map<int, ItemValue> values;
};
