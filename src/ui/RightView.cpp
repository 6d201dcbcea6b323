#include "ui/RightView.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeComboBox.h"
#include "controls/optiontree/OptionTreeItemComboBox.h"
#include "controls/optiontree/OptionTreeItemFile.h"
#include "controls/optiontree/OptionTreeItemSpinner.h"
#include "controls/optiontree/OptionTreeSpinnerEdit.h"
#include "core/CMapConfig.h"
#include "core/ConverterApp.h"
#include "platform/NativePath.h"
#include "resource.h"

namespace {

constexpr unsigned TREE_OPTIONS = OTS_SHOWINFOWINDOW | OTS_SHADEMARGIN | OTS_SHADEROOTITEMS;
constexpr unsigned SPINNER_OPTIONS = OTSO_EDITABLE;
constexpr unsigned FOLDER_OPTIONS = OTFO_FOLDER | OTFO_FULLPATH;
// Only a file dialog reads these; the folder chooser passes them by.
constexpr unsigned FOLDER_DIALOG_FLAGS = 0x49;
constexpr int ENCODING_DROP_DOWN_HEIGHT = 200;
constexpr platform::COLORREF CATEGORY_TEXT_COLOR = platform::RGB(0, 0, 0);
constexpr double FIRST_PAGE = 1.0;
constexpr double LAST_PAGE = 1000.0;

QStringList yesNo() {
    return {QStringLiteral("Yes"), QStringLiteral("No")};
}

QStringList encodingLabels() {
    QStringList labels;
    for (const TextEncoding& encoding : CMapConfig::encodings())
        labels.append(QString::fromUtf8(encoding.label));
    return labels;
}

} // namespace

CRightView::CRightView(ConverterApp& application, QWidget* parent) : QWidget(parent), app(application) {
    setAccessibleName(tr("Conversion options"));
    BuildTree();
}

CRightView::~CRightView() {
    // The tree outlives this object by a moment while the children are destroyed.
    tree->SetNotifyTarget(false, nullptr);
}

bool CRightView::BuildTree() {
    if (tree) {
        tree->RemoveAllItems();
    } else {
        tree = new COptionTree(TREE_OPTIONS, IDC_OPTION_TREE, this);
        tree->setGeometry(rect());
    }
    tree->SetNotifyTarget(true, this);
    InsertItems();
    UpdateReadOnlyStates();
    tree->RefreshSubtree(nullptr);
    tree->ExpandEverything();
    StoreAllValues();
    return true;
}

void CRightView::InsertItems() {
    InsertGeneralItems(
        AddCategory(QStringLiteral("Output General Options"), QStringLiteral("General output options.")));
    InsertOutputItems(AddCategory(QStringLiteral("Output Options"), QStringLiteral("Output options.")));
}

void CRightView::InsertGeneralItems(COptionTreeItem* category) {
    const ConvertOptions& options = app.options;
    AddComboBox(category, QStringLiteral("Page Range"), QStringLiteral("Output page range."),
                {QStringLiteral("All Pages"), QStringLiteral("Selected Pages")}, options.pageRange);
    AddSpinner(category, QStringLiteral("Begin Page"), QStringLiteral("Begin page."), options.startPage);
    AddSpinner(category, QStringLiteral("End Page"), QStringLiteral("End page."), options.endPage);
    AddComboBox(category, QStringLiteral("Open Results"),
                QStringLiteral("Open the result html file or directory when finished converting."), yesNo(),
                options.openResult);
}

void CRightView::InsertOutputItems(COptionTreeItem* category) {
    const ConvertOptions& options = app.options;
    AddFolder(
        category, QStringLiteral("Output Directory"),
        QStringLiteral("Output file directory. Save all the output files to this directory. Null for pdf "
                       "file directory."),
        options.outputDirectory);
    AddComboBox(category, QStringLiteral("Output Mode"),
                QStringLiteral("Output mode. Generate text file or simple html file."),
                {QStringLiteral("Text File"), QStringLiteral("Simple HTML File")}, options.outputMode);
    AddComboBox(category, QStringLiteral("Html Meta"),
                QStringLiteral("When generated a simple HTML file, including this meta information."),
                yesNo(), options.htmlMeta);
    AddComboBox(category, QStringLiteral("Text Layout"),
                QStringLiteral("Maintain the original physical layout of the text."), yesNo(),
                options.layout);
    AddComboBox(category, QStringLiteral("Raw Mode"), QStringLiteral("Keep strings in content stream order."),
                yesNo(), options.rawMode);
    AddComboBox(category, QStringLiteral("End-of-Line"), QStringLiteral("Output end-of-line convention."),
                {QStringLiteral("DOS(Windows)"), QStringLiteral("Unix"), QStringLiteral("Mac")},
                options.endOfLine);
    AddComboBox(category, QStringLiteral("Page Breaks"),
                QStringLiteral("Don't insert page breaks (form feed characters) between pages."), yesNo(),
                options.pageBreaks);
    AddComboBox(
        category, QStringLiteral("Text Encoding"),
        QStringLiteral("Output text encoding name. If output text file is blank or has something wrong, "
                       "please choose another text encoding."),
        encodingLabels(), options.textEncoding);
    auto* encoding = static_cast<COptionTreeItemComboBox*>(tree->ItemFromId(ID_TEXT_ENCODING));
    encoding->SetDropDownHeight(ENCODING_DROP_DOWN_HEIGHT);
}

COptionTreeItem* CRightView::AddCategory(const QString& label, const QString& info) {
    COptionTreeItem* category = tree->AddItem(std::make_unique<COptionTreeItem>());
    category->SetLabelText(label);
    category->SetInfoText(info);
    category->SetHeaderBackColor(platform::LIGHT_BLUE);
    category->SetLabelTextColor(CATEGORY_TEXT_COLOR);
    return category;
}

void CRightView::AddComboBox(COptionTreeItem* parent, const QString& label, const QString& info,
                             const QStringList& entries, int selection) {
    auto* combo = tree->AddItem(std::make_unique<COptionTreeItemComboBox>(), parent);
    combo->SetLabelText(label);
    combo->SetInfoText(info);
    if (!combo->CreateComboWindow())
        return;
    for (const QString& entry : entries)
        combo->AddString(entry);
    combo->SetCurSel(selection);
    connect(combo->GetComboWindow(), &QComboBox::currentIndexChanged, this,
            [this, combo] { StoreShownValue(combo); });
}

void CRightView::AddSpinner(COptionTreeItem* parent, const QString& label, const QString& info, int value) {
    auto* spinner = tree->AddItem(std::make_unique<COptionTreeItemSpinner>(), parent);
    spinner->SetLabelText(label);
    spinner->SetInfoText(info);
    if (!spinner->CreateSpinnerWindow(SPINNER_OPTIONS, double(value), FIRST_PAGE, LAST_PAGE))
        return;
    connect(spinner->GetSpinnerWindow()->GetEdit(), &QLineEdit::textChanged, this,
            [this, spinner] { StoreShownValue(spinner); });
}

void CRightView::AddFolder(COptionTreeItem* parent, const QString& label, const QString& info,
                           const std::string& folder) {
    auto* item = tree->AddItem(std::make_unique<COptionTreeItemFile>(), parent);
    item->SetLabelText(label);
    item->SetInfoText(info);
    item->SetFileOptions(platform::fromNativePath(folder), QString(), QString(), FOLDER_OPTIONS,
                         FOLDER_DIALOG_FLAGS);
    item->SetDialogTitle(
        QStringLiteral("Please select a folder to save result files. All the output files will be "
                       "saved to this folder."));
}

void CRightView::UpdateReadOnlyStates() {
    const bool allPages = app.options.pageRange == option::allPages;
    for (const int id : {ID_BEGIN_PAGE, ID_END_PAGE}) {
        if (COptionTreeItem* item = tree->ItemFromId(id))
            item->SetReadOnly(allPages);
    }
    if (COptionTreeItem* meta = tree->ItemFromId(ID_HTML_META))
        meta->SetReadOnly(app.options.outputMode == option::textFile);
}

platform::LRESULT CRightView::notify(const platform::NMHDR& header) {
    if (header.code != OTN_ITEMCHANGED || header.idFrom != IDC_OPTION_TREE)
        return 0;
    COptionTreeItem* item = static_cast<const OptionTreeNotify&>(header).item;
    if (!item)
        return 0;
    CommitItem(item);
    tree->RepositionAllControls();
    tree->Redraw();
    return 0;
}

void CRightView::CommitItem(COptionTreeItem* item) {
    const std::optional<ItemValue> value = ReadItem(item);
    if (!value)
        return;
    StoreValue(item->GetId(), *value);
    ApplyValue(app.options, item->GetId(), *value);
    if (item->GetId() == ID_PAGE_RANGE || item->GetId() == ID_OUTPUT_MODE)
        UpdateReadOnlyStates();
}

std::optional<CRightView::ItemValue> CRightView::ReadItem(const COptionTreeItem* item) {
    ItemValue value;
    switch (item->GetKind()) {
    case OT_KIND_COMBOBOX:
        value.number = static_cast<const COptionTreeItemComboBox*>(item)->GetCurSel();
        return value;
    case OT_KIND_SPINNER:
        static_cast<const COptionTreeItemSpinner*>(item)->GetValueInt(value.number);
        return value;
    case OT_KIND_FILE: {
        // The folder the row shows: the last choice, or the folder it was built with.
        const QStringList& paths = static_cast<const COptionTreeItemFile*>(item)->GetPaths();
        if (!paths.isEmpty())
            value.text = platform::toNativePath(paths.first());
        return value;
    }
    default:
        return std::nullopt;
    }
}

void CRightView::ApplyValue(ConvertOptions& options, int id, const ItemValue& value) {
    switch (id) {
    case ID_PAGE_RANGE:
        options.pageRange = value.number;
        break;
    case ID_BEGIN_PAGE:
        options.startPage = value.number;
        break;
    case ID_END_PAGE:
        options.endPage = value.number;
        break;
    case ID_OPEN_RESULTS:
        options.openResult = value.number;
        break;
    case ID_OUTPUT_DIRECTORY:
        options.outputDirectory = value.text;
        break;
    case ID_OUTPUT_MODE:
        options.outputMode = value.number;
        break;
    case ID_HTML_META:
        options.htmlMeta = value.number;
        break;
    case ID_TEXT_LAYOUT:
        options.layout = value.number;
        break;
    case ID_RAW_MODE:
        options.rawMode = value.number;
        break;
    case ID_END_OF_LINE:
        options.endOfLine = value.number;
        break;
    case ID_PAGE_BREAKS:
        options.pageBreaks = value.number;
        break;
    case ID_TEXT_ENCODING:
        options.textEncoding = value.number;
        break;
    default:
        break;
    }
}

void CRightView::StoreShownValue(const COptionTreeItem* item) {
    if (const std::optional<ItemValue> value = ReadItem(item))
        StoreValue(item->GetId(), *value);
}

void CRightView::StoreValue(int id, const ItemValue& value) {
    const std::lock_guard lock(valuesMutex);
    values[id] = value;
}

void CRightView::StoreAllValues() {
    std::map<int, ItemValue> built;
    for (int id = 1; id <= ITEM_COUNT; ++id) {
        if (const COptionTreeItem* item = tree->ItemFromId(id)) {
            if (const std::optional<ItemValue> value = ReadItem(item))
                built[id] = *value;
        }
    }
    const std::lock_guard lock(valuesMutex);
    values = std::move(built);
}

std::optional<CRightView::ItemValue> CRightView::ValueById(int id) const {
    const std::lock_guard lock(valuesMutex);
    const auto found = values.find(id);
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

void CRightView::CopyValuesInto(ConvertOptions& options) const {
    const std::lock_guard lock(valuesMutex);
    for (const auto& [id, value] : values)
        ApplyValue(options, id, value);
}

QSize CRightView::sizeHint() const {
    return tree->sizeHint();
}

void CRightView::resizeEvent(QResizeEvent*) {
    tree->setGeometry(rect());
}
