#pragma once

class CSummaryEdit;
class QWidget;

// The demo's page for the file and folder dialogs and the summary pane: buttons that open each
// dialog and a summary pane that shows sample text and what the dialogs returned.
QWidget* createDialogsDemoPage(QWidget* parent = nullptr);

// Fills summary with the report of a sample PDF, styled as the job pane styles it.
void showSampleSummary(CSummaryEdit* summary);
