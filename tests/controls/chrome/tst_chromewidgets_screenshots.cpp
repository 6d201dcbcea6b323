#include "controls/chrome/HyperLink.h"
#include "controls/chrome/IconButton.h"
#include "controls/chrome/JobPaneIcons.h"
#include "controls/chrome/TextLabel.h"
#include "controls/chrome/TextProgressCtrl.h"

#include "platform/RecordingShell.h"
#include "platform/ScriptedDialogs.h"

#include "../../support/TestSupport.h"
#include "resource.h"

#include <QTest>

using namespace platform;

namespace {

const QString module = QStringLiteral("chrome");

QPixmap icon(int id, int side = 32) {
    return jobPaneIcon(id).pixmap(side);
}

QFont largeFont() {
    QFont font = QApplication::font();
    font.setPixelSize(24);
    return font;
}

// A light-blue backdrop, as the job pane and the About box are.
std::unique_ptr<QWidget> backdrop(int width, int height) {
    auto widget = std::make_unique<QWidget>();
    widget->resize(width, height);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, toQColor(LIGHT_BLUE));
    widget->setPalette(palette);
    return widget;
}

} // namespace

class TestChromeWidgetsScreenshots : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void progressBars() {
        CTextProgressCtrl bar;
        bar.resize(300, 16);
        bar.SetPos(0);
        save(&bar, QStringLiteral("progress-zero"));
        bar.SetPos(50);
        save(&bar, QStringLiteral("progress-half"));
        bar.SetPos(100);
        save(&bar, QStringLiteral("progress-full"));
        bar.SetPos(37);
        bar.SetWindowText(QStringLiteral("File 2 of 3, 66%"));
        save(&bar, QStringLiteral("progress-caption"));
        bar.SetWindowText(QString());
        bar.setFont(largeFont());
        bar.resize(300, bar.sizeHint().height());
        save(&bar, QStringLiteral("progress-large"));
    }

    // The bottom strip of the job pane at its real sizes.
    void jobPaneStrip() {
        for (const bool large : {false, true}) {
            auto pane = backdrop(520, large ? 80 : 50);
            if (large)
                pane->setFont(largeFont());
            auto* start = new CIconButton(pane.get());
            start->setGeometry(5, 10, 32, 32);
            start->SetIcon(icon(IDI_START_CONVERT), CIconButton::DarkerOutIcon);
            start->setEnabled(false);
            auto* stop = new CIconButton(pane.get());
            stop->setGeometry(57, 10, 32, 32);
            stop->SetIcon(icon(IDI_STOP_CONVERT), CIconButton::DarkerOutIcon);
            auto* upper = new CTextProgressCtrl(pane.get());
            // The pane's rows grow with its font, as its layout does.
            const int barHeight = large ? upper->sizeHint().height() : 12;
            const int lowerTop = 10 + barHeight + 8;
            upper->setGeometry(145, 10, 375, barHeight);
            upper->SetPos(66);
            auto* lower = new CTextProgressCtrl(pane.get());
            lower->setGeometry(145, lowerTop, 375, barHeight);
            auto* current = new CTextLabel(QStringLiteral("Current"), pane.get());
            current->setGeometry(97, 10, 40, 12);
            auto* total = new CTextLabel(QStringLiteral("Total"), pane.get());
            total->setGeometry(97, lowerTop, 40, 12);
            lower->SetWindowText(QStringLiteral("Waiting for converting."));
            save(pane.get(),
                 large ? QStringLiteral("progress-jobpane-large") : QStringLiteral("progress-jobpane"));
        }
    }

    void labels() {
        CTextLabel label(QStringLiteral("Current"));
        label.resize(80, 14);
        save(&label, QStringLiteral("label-default"));
        CTextLabel wrapped(QStringLiteral("Folverin 1.0 - PDF to text and HTML converter & more"));
        wrapped.SetFontSize(16);
        wrapped.SetCentered(true);
        wrapped.resize(160, wrapped.heightForWidth(160));
        save(&wrapped, QStringLiteral("label-wrapped-centred"));
        CTextLabel large(QStringLiteral("Folverin"));
        large.SetFontSize(32);
        large.SetFontBold(true);
        large.resize(large.sizeHint());
        save(&large, QStringLiteral("label-large-bold"));
    }

    void hyperlinks() {
        RecordingShell shell;
        ScriptedDialogs dialogs;
        Shell::setInstance(&shell);
        Dialogs::setInstance(&dialogs);
        for (const bool large : {false, true}) {
            auto box = backdrop(large ? 440 : 320, large ? 70 : 40);
            if (large)
                box->setFont(largeFont());
            auto* site = new CHyperLink(QStringLiteral("https://www.corvanta.example/"), box.get());
            site->move(10, 4);
            auto* mail = new CHyperLink(QStringLiteral("support@corvanta.example"), box.get());
            mail->SetURL(QStringLiteral("mailto:support@corvanta.example"));
            mail->move(10, site->geometry().bottom() + 4);
            const QString size = large ? QStringLiteral("-large") : QString();
            save(box.get(), QStringLiteral("hyperlink-unvisited") + size);
            site->SetVisited(true);
            save(box.get(), QStringLiteral("hyperlink-visited") + size);
        }
    }

    void iconButtons() {
        auto pane = backdrop(60, 50);
        auto* button = new CIconButton(pane.get());
        button->setGeometry(10, 8, 32, 32);
        button->SetIcon(icon(IDI_IMPORT_DIRECTORY), CIconButton::DarkerOutIcon);
        pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(pane.get()));
        save(pane.get(), QStringLiteral("iconbutton-flat"));
        QTest::mouseMove(pane.get(), QPoint(55, 45));
        QTest::mouseMove(button, QPoint(16, 16));
        QTRY_VERIFY(button->isHovered());
        save(pane.get(), QStringLiteral("iconbutton-hover"));
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(16, 16));
        save(pane.get(), QStringLiteral("iconbutton-pressed"));
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(16, 16));
        button->setEnabled(false);
        save(pane.get(), QStringLiteral("iconbutton-disabled"));
        button->setEnabled(true);
        button->setCheckable(true);
        button->SetCheck(1);
        QTest::mouseMove(pane.get(), QPoint(55, 45));
        QTRY_VERIFY(!button->isHovered());
        save(pane.get(), QStringLiteral("iconbutton-checked"));
    }

    // The job pane's six buttons at their places, the second one reached by Tab.
    void jobPaneButtons() {
        auto pane = backdrop(270, 42);
        QList<CIconButton*> buttons;
        const int ids[] = {IDI_OPEN_FILE,          IDI_IMPORT_DIRECTORY, IDI_REMOVE_SELECTED,
                           IDI_CLEAR_ALL_SELECTED, IDI_START_CONVERT,    IDI_STOP_CONVERT};
        for (const int id : ids) {
            auto* button = new CIconButton(pane.get());
            button->setGeometry(5 + 44 * int(buttons.size()), 5, 32, 32);
            button->SetIcon(icon(id), CIconButton::DarkerOutIcon);
            buttons.append(button);
        }
        pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(pane.get()));
        save(pane.get(), QStringLiteral("jobpane-buttons"));
        buttons.first()->setFocus();
        QTest::keyClick(buttons.first(), Qt::Key_Tab);
        QVERIFY(buttons.at(1)->hasFocus());
        buttons.at(4)->setEnabled(false);
        save(pane.get(), QStringLiteral("jobpane-buttons-focus-disabled"));
    }

    void iconButtonsWithText() {
        for (const bool large : {false, true}) {
            auto pane = backdrop(large ? 420 : 260, large ? 110 : 60);
            if (large)
                pane->setFont(largeFont());
            auto* beside = new CIconButton(pane.get());
            beside->SetIcon(icon(IDI_OPEN_FILE, large ? 32 : 24));
            beside->setText(QStringLiteral("Open File"));
            beside->SetFlat(false);
            beside->setGeometry(QRect(QPoint(5, 5), beside->sizeHint()));
            auto* above = new CIconButton(pane.get());
            above->SetIcon(icon(IDI_REMOVE_SELECTED, large ? 32 : 24), CIconButton::GrayscaleOutIcon);
            above->setText(QStringLiteral("Remove"));
            above->SetAlign(CIconButton::IconAboveText);
            above->SetFlat(false);
            above->setEnabled(false);
            above->setGeometry(QRect(QPoint(beside->geometry().right() + 10, 5), above->sizeHint()));
            save(pane.get(),
                 large ? QStringLiteral("iconbutton-text-large") : QStringLiteral("iconbutton-text"));
        }
    }

private:
    void save(QWidget* widget, const QString& state) {
        QVERIFY2(!testsupport::saveScreenshot(widget, module, state).isEmpty(), qPrintable(state));
    }
};

QTEST_MAIN(TestChromeWidgetsScreenshots)
#include "tst_chromewidgets_screenshots.moc"
