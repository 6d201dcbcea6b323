#include "ui/RightView.h"

#include "controls/optiontree/OptionTree.h"
#include "controls/optiontree/OptionTreeComboBox.h"
#include "controls/optiontree/OptionTreeItemComboBox.h"
#include "controls/optiontree/OptionTreeItemFile.h"
#include "controls/optiontree/OptionTreeItemSpinner.h"
#include "controls/optiontree/OptionTreeSpinnerEdit.h"
#include "core/CMapConfig.h"
#include "core/ConverterApp.h"
#include "core/OcrLanguages.h"
#include "platform/NativePath.h"
#include "resource.h"
#include "ui/WindowState.h"

#include <cassert>

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

QStringList pageRanges() {
    return {QStringLiteral("All Pages"), QStringLiteral("Selected Pages")};
}

QStringList outputModes() {
    return {QStringLiteral("Text File"), QStringLiteral("Simple HTML File"), QStringLiteral("Markdown File")};
}

QStringList endOfLines() {
    return {QStringLiteral("DOS(Windows)"), QStringLiteral("Unix"), QStringLiteral("Mac")};
}

QStringList recognitionModes() {
    return {QStringLiteral("No"), QStringLiteral("Pages Without Text"), QStringLiteral("All Pages")};
}

// Each installed language, and English with each other one; a choice made elsewhere (the
// settings file, or a language since removed) stays in the list, so it is not lost.
QStringList languageChoices(const std::string& chosen) {
    const std::vector<std::string> installed = OcrLanguages::installed();
    QStringList choices;
    for (const std::string& name : installed)
        choices.append(QString::fromStdString(name));
    const QString english = QString::fromLatin1(OcrLanguages::defaultChoice);
    if (choices.contains(english)) {
        for (const std::string& name : installed) {
            if (QString::fromStdString(name) != english)
                choices.append(english + QLatin1Char('+') + QString::fromStdString(name));
        }
    }
    const QString current = QString::fromStdString(OcrLanguages::chosen(chosen));
    if (!choices.contains(current))
        choices.prepend(current);
    return choices;
}

QStringList encodingLabels() {
    QStringList labels;
    for (const TextEncoding& encoding : CMapConfig::encodings())
        labels.append(QString::fromUtf8(encoding.label));
    return labels;
}

enum class RowKind { category, comboBox, spinner, folder, languages };

// What the pane shows of each row, in insertion order; the value comes from the option field
// of the row's item.
struct PaneRow {
    int item;
    RowKind kind;
    const char* label;
    const char* info;
    QStringList (*entries)() = nullptr;
};

using enum optionpane::Item;

const PaneRow PANE_ROWS[] = {
    {ID_GENERAL_OPTIONS, RowKind::category, "Output General Options", "General output options."},
    {ID_PAGE_RANGE, RowKind::comboBox, "Page Range", "Output page range.", pageRanges},
    {ID_BEGIN_PAGE, RowKind::spinner, "Begin Page", "Begin page."},
    {ID_END_PAGE, RowKind::spinner, "End Page", "End page."},
    {ID_OPEN_RESULTS, RowKind::comboBox, "Open Results",
     "Open the result html file or directory when finished converting.", yesNo},
    {ID_OUTPUT_OPTIONS, RowKind::category, "Output Options", "Output options."},
    {ID_OUTPUT_DIRECTORY, RowKind::folder, "Output Directory",
     "Output file directory. Save all the output files to this directory. Null for pdf file directory."},
    {ID_OUTPUT_MODE, RowKind::comboBox, "Output Mode",
     "Output mode. Generate text file or simple html file. A Markdown file keeps the headings, paragraphs, "
     "lists, code and tables.",
     outputModes},
    {ID_HTML_META, RowKind::comboBox, "Html Meta",
     "When generated a simple HTML file, including this meta information. A Markdown file begins with it "
     "as front matter.",
     yesNo},
    {ID_TEXT_LAYOUT, RowKind::comboBox, "Text Layout", "Maintain the original physical layout of the text.",
     yesNo},
    {ID_RAW_MODE, RowKind::comboBox, "Raw Mode", "Keep strings in content stream order.", yesNo},
    {ID_END_OF_LINE, RowKind::comboBox, "End-of-Line", "Output end-of-line convention.", endOfLines},
    {ID_PAGE_BREAKS, RowKind::comboBox, "Page Breaks",
     "Don't insert page breaks (form feed characters) between pages.", yesNo},
    {ID_TEXT_ENCODING, RowKind::comboBox, "Text Encoding",
     "Output text encoding name. If output text file is blank or has something wrong, please choose another "
     "text encoding.",
     encodingLabels},
    {ID_RECOGNIZE_SCANNED_PAGES, RowKind::comboBox, "Recognize Scanned Pages",
     "Read pages that are images of text (scans) with text recognition: pages without any text, every "
     "page, or none. Slower than the text itself.",
     recognitionModes},
    {ID_OCR_LANGUAGES, RowKind::languages, "OCR Languages",
     "Languages of the scanned pages, as the installed recognition data names them: eng is English, "
     "eng+deu English and German. More come with the tesseract-ocr-* packages."},
};

std::int32_t numberOf(const ConvertOptions& options, const ConvertOptionField& field) {
    const auto* member = std::get_if<ConvertOptionField::IntMember>(&field.member);
    return member ? options.**member : 0;
}

std::string textOf(const ConvertOptions& options, const ConvertOptionField& field) {
    const auto* member = std::get_if<ConvertOptionField::TextMember>(&field.member);
    return member ? options.**member : std::string();
}

void assign(std::int32_t& target, const CRightView::ItemValue& value) {
    target = value.number;
}

void assign(std::string& target, const CRightView::ItemValue& value) {
    target = value.text;
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
    COptionTreeItem* category = nullptr;
    for (const PaneRow& row : PANE_ROWS) {
        const QString label = QString::fromLatin1(row.label);
        const QString info = QString::fromLatin1(row.info);
        if (row.kind == RowKind::category) {
            category = AddCategory(label, info);
            continue;
        }
        const ConvertOptionField* field = optionFieldOfPaneItem(row.item);
        assert(field);
        [[maybe_unused]] COptionTreeItem* item = nullptr;
        switch (row.kind) {
        case RowKind::comboBox:
            item = AddComboBox(category, label, info, row.entries(), numberOf(app.options, *field));
            break;
        case RowKind::spinner:
            item = AddSpinner(category, label, info, numberOf(app.options, *field));
            break;
        case RowKind::languages: {
            const std::string chosen = OcrLanguages::chosen(textOf(app.options, *field));
            const QStringList choices = languageChoices(chosen);
            item = AddComboBox(category, label, info, choices,
                               int(choices.indexOf(QString::fromStdString(chosen))));
            break;
        }
        default:
            item = AddFolder(category, label, info, textOf(app.options, *field));
            break;
        }
        assert(item->GetId() == row.item);
    }
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

COptionTreeItem* CRightView::AddComboBox(COptionTreeItem* parent, const QString& label, const QString& info,
                                         const QStringList& entries, int selection) {
    auto* combo = tree->AddItem(std::make_unique<COptionTreeItemComboBox>(), parent);
    combo->SetLabelText(label);
    combo->SetInfoText(info);
    if (!combo->CreateComboWindow())
        return combo;
    for (const QString& entry : entries)
        combo->AddString(entry);
    combo->SetCurSel(selection);
    connect(combo->GetComboWindow(), &QComboBox::currentIndexChanged, this,
            [this, combo] { StoreShownValue(combo); });
    return combo;
}

COptionTreeItem* CRightView::AddSpinner(COptionTreeItem* parent, const QString& label, const QString& info,
                                        int value) {
    auto* spinner = tree->AddItem(std::make_unique<COptionTreeItemSpinner>(), parent);
    spinner->SetLabelText(label);
    spinner->SetInfoText(info);
    if (!spinner->CreateSpinnerWindow(SPINNER_OPTIONS, double(value), FIRST_PAGE, LAST_PAGE))
        return spinner;
    connect(spinner->GetSpinnerWindow()->GetEdit(), &QLineEdit::textChanged, this,
            [this, spinner] { StoreShownValue(spinner); });
    return spinner;
}

COptionTreeItem* CRightView::AddFolder(COptionTreeItem* parent, const QString& label, const QString& info,
                                       const std::string& folder) {
    auto* item = tree->AddItem(std::make_unique<COptionTreeItemFile>(), parent);
    item->SetLabelText(label);
    item->SetInfoText(info);
    item->SetFileOptions(platform::fromNativePath(folder), QString(), QString(), FOLDER_OPTIONS,
                         FOLDER_DIALOG_FLAGS);
    item->SetDialogTitle(
        QStringLiteral("Please select a folder to save result files. All the output files will be "
                       "saved to this folder."));
    item->SetDialogRecallName(WindowState::OUTPUT_FOLDER_DIALOG);
    return item;
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
        // A list of numbered entries is read by its selection, one of names by its text.
        value.number = static_cast<const COptionTreeItemComboBox*>(item)->GetCurSel();
        value.text = static_cast<const COptionTreeItemComboBox*>(item)->GetWindowText().toStdString();
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
    if (const ConvertOptionField* field = optionFieldOfPaneItem(id))
        std::visit([&](auto member) { assign(options.*member, value); }, field->member);
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

void CRightView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    WidenLabelsToFit();
}

// The first time the pane shows, the label column grows to its longest label
// ("Recognize Scanned Pages"), never narrower than it starts; a divider the user moves later
// stays where it is put.
void CRightView::WidenLabelsToFit() {
    if (labelsFitted || width() <= 2 * COptionTree::DEFAULT_COLUMN)
        return;
    labelsFitted = true;
    const int before = tree->GetDivider();
    tree->AutoSizeDivider();
    tree->SetDivider(std::max(before, tree->GetDivider()));
}
