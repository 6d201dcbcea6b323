#include "DialogsDemoPage.h"

#include "controls/chrome/FECFileDialog.h"
#include "controls/chrome/SelectFolderDialog.h"
#include "controls/chrome/SummaryEdit.h"
#include "resource.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using platform::RGB;

namespace {

const CSummaryEdit::CharFormat pathFormat{true, false, RGB(0, 0, 192)};
const CSummaryEdit::CharFormat headingFormat{true, true, RGB(0, 0, 0)};
const CSummaryEdit::CharFormat plainFormat{};
const QStringList pdfFilter{QStringLiteral("PDF Files (*.pdf)")};

void openFiles(QWidget* parent, CSummaryEdit* summary) {
    CFECFileDialog dialog(true, {}, {}, OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_NODEREFERENCELINKS,
                          pdfFilter, parent);
    if (dialog.DoModal() != IDOK)
        return;
    summary->ReplaceAll(QStringLiteral("Chosen files:\n"), headingFormat);
    for (CFECFileDialog::POSITION position = dialog.GetStartPosition(); position;)
        summary->AppendText(QLatin1Char('\t') + dialog.GetNextPathName(position) + QLatin1Char('\n'),
                            plainFormat);
}

void selectFolder(QWidget* parent, CSummaryEdit* summary, int showFiles) {
    CSelectFolderDialog dialog(showFiles, {}, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                               showFiles ? pdfFilter : QStringList(), parent);
    if (dialog.DoModal() != IDOK)
        return;
    summary->ReplaceAll(QStringLiteral("Chosen folder:\n"), headingFormat);
    summary->AppendText(dialog.GetSelectedPath(), pathFormat);
}

QPushButton* addButton(QHBoxLayout* row, const QString& text) {
    auto* button = new QPushButton(text);
    row->addWidget(button);
    return button;
}

} // namespace

void showSampleSummary(CSummaryEdit* summary) {
    summary->ReplaceAll(QStringLiteral("/home/user/Documents/annual report.pdf\n"), pathFormat);
    summary->AppendText(QStringLiteral("Summary:\n"), headingFormat);
    summary->AppendText(
        QStringLiteral("\tFile Size: 244 KB (250,000 Bytes)\n\tCreation Time: 09:15:02 12/08/2026\n"),
        plainFormat);
    summary->AppendText(QStringLiteral("PDF Description:\n"), headingFormat);
    summary->AppendText(QStringLiteral("\tPDF Version: 1.4 (Acrobat 5.x) \n\tPage Size: 816 x 1056 Pixel\n"
                                       "\tNumber of Pages: 3\n"),
                        plainFormat);
    summary->AppendText(QStringLiteral("PDF Security:\n"), headingFormat);
    summary->AppendText(QStringLiteral("\tPrinting: Allowed\n\tDocument Assembly: Not Allowed\n"
                                       "\tContent Copying or Extraction: Allowed\n\tCommenting: Allowed"),
                        plainFormat);
}

QWidget* createDialogsDemoPage(QWidget* parent) {
    auto* box = new QGroupBox(QStringLiteral("File and folder dialogs, summary pane"), parent);
    auto* summary = new CSummaryEdit;
    summary->setMinimumHeight(summary->fontMetrics().height() * 12);
    showSampleSummary(summary);

    auto* buttons = new QHBoxLayout;
    QObject::connect(addButton(buttons, QStringLiteral("Open PDF Files...")), &QPushButton::clicked, box,
                     [box, summary] { openFiles(box, summary); });
    QObject::connect(addButton(buttons, QStringLiteral("Import Directory...")), &QPushButton::clicked, box,
                     [box, summary] { selectFolder(box, summary, 1); });
    QObject::connect(addButton(buttons, QStringLiteral("Folder Only...")), &QPushButton::clicked, box,
                     [box, summary] { selectFolder(box, summary, 0); });
    QObject::connect(addButton(buttons, QStringLiteral("Sample Summary")), &QPushButton::clicked, box,
                     [summary] { showSampleSummary(summary); });
    buttons->addStretch();

    auto* layout = new QVBoxLayout(box);
    layout->addLayout(buttons);
    layout->addWidget(summary);
    return box;
}
