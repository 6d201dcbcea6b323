#include "controls/chrome/ChromeDialogs.h"
#include "controls/chrome/HyperLink.h"
#include "controls/chrome/IconButton.h"
#include "controls/chrome/JobPaneIcons.h"
#include "controls/chrome/TextLabel.h"
#include "controls/chrome/TextProgressCtrl.h"

#include "platform/DesktopShell.h"

#include "DialogsDemoPage.h"
#include "MenusDemoPage.h"
#include "resource.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace platform;

namespace {

QWidget* progressPage() {
    auto* box = new QGroupBox(QStringLiteral("Text progress bars"));
    auto* grid = new QGridLayout(box);
    auto* current = new CTextProgressCtrl;
    auto* total = new CTextProgressCtrl;
    total->SetWindowText(QStringLiteral("Waiting for converting."));
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(-10, 110);
    auto* caption = new QLineEdit;
    caption->setPlaceholderText(QStringLiteral("Caption (empty: percentage)"));
    auto* showText = new QCheckBox(QStringLiteral("Show text"));
    showText->setChecked(true);
    auto* vertical = new CTextProgressCtrl;
    vertical->setOrientation(Qt::Vertical);
    vertical->setMinimumHeight(80);

    QObject::connect(slider, &QSlider::valueChanged, box, [current, vertical](int value) {
        current->SetPos(value);
        vertical->SetPos(value);
    });
    QObject::connect(caption, &QLineEdit::textChanged, total, &CTextProgressCtrl::SetWindowText);
    QObject::connect(showText, &QCheckBox::toggled, box, [current, total](bool on) {
        current->SetShowText(on);
        total->SetShowText(on);
    });

    grid->addWidget(new CTextLabel(QStringLiteral("Current")), 0, 0);
    grid->addWidget(current, 0, 1);
    grid->addWidget(new CTextLabel(QStringLiteral("Total")), 1, 0);
    grid->addWidget(total, 1, 1);
    grid->addWidget(vertical, 0, 2, 4, 1);
    grid->addWidget(slider, 2, 1);
    grid->addWidget(caption, 3, 1);
    grid->addWidget(showText, 4, 1);
    return box;
}

QWidget* labelPage() {
    auto* box = new QGroupBox(QStringLiteral("Labels and links"));
    auto* layout = new QVBoxLayout(box);
    auto* title = new CTextLabel(QStringLiteral("Folverin"));
    title->SetFontSize(24);
    title->SetFontBold(true);
    title->SetCentered(true);
    layout->addWidget(title);
    layout->addWidget(new CTextLabel(QStringLiteral(
        "Folverin 1.0 - PDF to text and HTML converter. Ampersands & prefixes are shown as they are; "
        "long lines wrap at word boundaries when the window narrows.")));
    auto* site = new CHyperLink(QStringLiteral("https://www.corvanta.example/"));
    auto* mail = new CHyperLink(QStringLiteral("support@corvanta.example"));
    mail->SetURL(QStringLiteral("mailto:support@corvanta.example"));
    auto* broken = new CHyperLink(QStringLiteral("A link that cannot open"));
    broken->SetURL(QStringLiteral("not an address"));
    layout->addWidget(site);
    layout->addWidget(mail);
    layout->addWidget(broken);
    return box;
}

QWidget* buttonPage() {
    auto* box = new QGroupBox(QStringLiteral("Icon buttons"));
    auto* layout = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    const struct {
        int icon;
        const char* tip;
    } buttons[] = {
        {IDI_OPEN_FILE, "Open File (Ctrl+O)"},
        {IDI_IMPORT_DIRECTORY, "Open Directory (Ctrl+D)"},
        {IDI_REMOVE_SELECTED, "Remove Current Selected Item (Del)"},
        {IDI_CLEAR_ALL_SELECTED, "Clear All Selected (Ctrl+X)"},
        {IDI_START_CONVERT, "Start Convert (F5)"},
        {IDI_STOP_CONVERT, "Stop Convert (Shift+F5)"},
    };
    QList<CIconButton*> flatButtons;
    for (const auto& sample : buttons) {
        auto* button = new CIconButton;
        button->SetIcon(jobPaneIcon(sample.icon).pixmap(32), CIconButton::DarkerOutIcon);
        button->SetTooltipText(QString::fromLatin1(sample.tip));
        button->setFixedSize(32, 32);
        row->addWidget(button);
        flatButtons.append(button);
    }
    auto* check = new CIconButton;
    check->SetIcon(jobPaneIcon(IDI_CLEAR_ALL_SELECTED).pixmap(32));
    check->setCheckable(true);
    check->setText(QStringLiteral("Check box"));
    check->SetTooltipText(QStringLiteral("Stays down while checked"));
    row->addWidget(check);
    auto* raised = new CIconButton;
    raised->SetIcon(jobPaneIcon(IDI_OPEN_FILE).pixmap(32), CIconButton::GrayscaleOutIcon);
    raised->setText(QStringLiteral("Open"));
    raised->SetAlign(CIconButton::IconAboveText);
    raised->SetFlat(false);
    row->addWidget(raised);
    row->addStretch();
    layout->addLayout(row);

    auto* enabled = new QCheckBox(QStringLiteral("Buttons enabled"));
    enabled->setChecked(true);
    QObject::connect(enabled, &QCheckBox::toggled, box, [flatButtons, raised](bool on) {
        for (CIconButton* button : flatButtons)
            button->setEnabled(on);
        raised->setEnabled(on);
    });
    layout->addWidget(enabled);
    return box;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    DesktopShell shell;
    ChromeDialogs dialogs;
    Shell::setInstance(&shell);
    Dialogs::setInstance(&dialogs);

    auto* controls = new QWidget;
    controls->setAutoFillBackground(true);
    QPalette palette = controls->palette();
    palette.setColor(QPalette::Window, toQColor(LIGHT_BLUE));
    controls->setPalette(palette);
    auto* layout = new QVBoxLayout(controls);
    layout->addWidget(progressPage());
    layout->addWidget(labelPage());
    layout->addWidget(buttonPage());

    QTabWidget window;
    window.setWindowTitle(QStringLiteral("Folverin chrome demo"));
    window.addTab(controls, QStringLiteral("Progress, labels, buttons"));
    window.addTab(createDialogsDemoPage(), QStringLiteral("Dialogs and summary"));
    window.addTab(createMenusDemoPage(), QStringLiteral("Menu bar and menus"));
    window.resize(640, 560);
    window.show();
    return app.exec();
}
