#include "ui/AboutDlg.h"

#include "controls/chrome/HyperLink.h"
#include "controls/chrome/TextLabel.h"
#include "platform/Colors.h"
#include "platform/RecordingShell.h"
#include "platform/ScriptedDialogs.h"
#include "ui/AboutLinks.h"

#include "../support/TestSupport.h"

#include <QTest>
#include <QWindow>

#include <memory>

using platform::RecordingShell;

namespace {

const QString HOME = QStringLiteral("https://www.corvanta.example/");

QStringList urlsOpened(const RecordingShell& shell) {
    QStringList urls;
    for (const RecordingShell::Request& request : shell.requests())
        urls.append(request.verb + QLatin1Char(' ') + request.target);
    return urls;
}

void clickAt(QWidget* widget, QPoint point, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(widget, button, Qt::NoModifier, point);
}

} // namespace

class TestAboutDlg : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
        shell.clear();
        shell.setFailure(QString());
        dialogs.clear();
        platform::Shell::setInstance(&shell);
        platform::Dialogs::setInstance(&dialogs);
        box = std::make_unique<CAboutDlg>();
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    }
    void cleanup() {
        box.reset();
        testsupport::removeOffscreenNoticeFilter();
    }

    // In the frame of any dialog: captioned, with a close button and nothing else.
    void showsNameNoticeAndLinksInADialogFrame() {
        QCOMPARE(box->windowTitle(), QStringLiteral("Folverin"));
        const Qt::WindowFlags flags = box->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
        QVERIFY(!flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowTitleHint) && flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint) &&
                !flags.testFlag(Qt::WindowMaximizeButtonHint) &&
                !flags.testFlag(Qt::WindowContextHelpButtonHint));
        QCOMPARE(label("product")->GetWindowText(), QStringLiteral("Folverin"));
        QCOMPARE(label("notice")->GetWindowText(),
                 QStringLiteral("Folverin 1.0 - PDF to text and HTML converter"));
        QCOMPARE(link("website")->GetWindowText(), HOME);
        QCOMPARE(link("website")->GetURL(), HOME);
        QCOMPARE(link("support")->GetWindowText(), QStringLiteral("support@corvanta.example"));
        QCOMPARE(link("support")->GetURL(), QStringLiteral("mailto:support@corvanta.example"));
        QVERIFY(link("website")->GetUnderline() && link("support")->GetUnderline());
    }

    // A click on its background, either button, Escape or the frame's close button closes it.
    void clickOrEscapeCloses_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("result");
        QTest::newRow("left click") << QStringLiteral("left") << int(QDialog::Accepted);
        QTest::newRow("right click") << QStringLiteral("right") << int(QDialog::Accepted);
        QTest::newRow("click on the banner") << QStringLiteral("banner") << int(QDialog::Accepted);
        QTest::newRow("Enter") << QStringLiteral("enter") << int(QDialog::Accepted);
        QTest::newRow("Escape") << QStringLiteral("escape") << int(QDialog::Rejected);
        QTest::newRow("close button") << QStringLiteral("close") << int(QDialog::Rejected);
    }
    void clickOrEscapeCloses() {
        QFETCH(QString, action);
        QFETCH(int, result);
        box->setResult(-1);
        const QPoint background(box->width() - 4, box->height() - 4);
        if (action == QLatin1String("left"))
            clickAt(box.get(), background);
        else if (action == QLatin1String("right"))
            clickAt(box.get(), background, Qt::RightButton);
        else if (action == QLatin1String("banner"))
            clickAt(box.get(), QPoint(box->width() / 2, box->height() / 5));
        else if (action == QLatin1String("enter"))
            QTest::keyClick(box.get(), Qt::Key_Return);
        else if (action == QLatin1String("close"))
            box->windowHandle()->close(); // as the window manager asks when its close button is clicked
        else
            QTest::keyClick(box.get(), Qt::Key_Escape);
        QVERIFY(!box->isVisible());
        QCOMPARE(box->result(), result);
    }

    // Clicks on the links open them and leave the box open, as do a click on a text line and
    // Enter on a link reached with Tab. The box opens with no link focused, so Enter closes it.
    void linksOpenThroughTheShellAndKeepTheBox() {
        QCOMPARE(box->focusWidget(), box.get());
        clickAt(link("website"), link("website")->rect().center());
        clickAt(link("support"), link("support")->rect().center());
        clickAt(label("notice"), label("notice")->rect().center());
        link("support")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(link("support"), Qt::Key_Return);
        const QString mail = QStringLiteral("url mailto:support@corvanta.example");
        QCOMPARE(urlsOpened(shell), QStringList({QStringLiteral("url ") + HOME, mail, mail}));
        QVERIFY(box->isVisible());
        QVERIFY(link("website")->GetVisited());
    }

    void helpCommandsOpenTheirAddresses() {
        aboutlinks::openOnlineHelp();
        aboutlinks::checkNewVersion();
        aboutlinks::visitHomePage();
        aboutlinks::tellFriendByMail();
        const QByteArray mail =
            "mailto:?subject=Invitation from Folverin&Body=Hello!%0A%0DFolverin from "
            "https://www.corvanta.example/ is a excellent PDF to TXT converter!%0A%0D"
            "Learn more by visiting%0Ahttps://www.corvanta.example/%0A%0D"
            "To download it right now click here%0Ahttps://www.corvanta.example/downloads.html"
            "%0A%0D[please type your text here]%0A%0D";
        const QList<RecordingShell::Request> requests = shell.requests();
        QCOMPARE(requests.size(), 4);
        QCOMPARE(urlsOpened(shell).mid(0, 3),
                 QStringList({QStringLiteral("url https://www.corvanta.example/help.html"),
                              QStringLiteral("url https://www.corvanta.example/folverin.html"),
                              QStringLiteral("url https://www.corvanta.example/")}));
        QCOMPARE(requests[3].verb, QStringLiteral("url"));
        QCOMPARE(requests[3].target.toUtf8(), mail);
    }

    // Without a browser or mail program the commands say what could not be opened, as the
    // links do, instead of doing nothing visible.
    void commandsTellAFailedHandOver() {
        shell.setFailure(QStringLiteral("no browser"), platform::ShellFailure::NoAssociation);
        aboutlinks::visitHomePage();
        aboutlinks::tellFriendByMail();
        QCOMPARE(shell.requests().size(), 2);
        QCOMPARE(dialogs.messages().size(), 2u);
        QCOMPARE(QString::fromStdString(dialogs.messages().front().text),
                 QStringLiteral("Could not open '%1': no browser.").arg(shell.requests().front().target));

        shell.setFailure(QStringLiteral("No program could open it."), platform::ShellFailure::NoAssociation);
        aboutlinks::visitHomePage();
        QCOMPARE(QString::fromStdString(dialogs.messages().back().text),
                 QStringLiteral("Could not open '%1': No program could open it.")
                     .arg(shell.requests().back().target));
    }

    void paintsLightBlueWithBorderBannerAndRule() {
        const QImage image = box->grab().toImage();
        QCOMPARE(image.pixelColor(box->width() - 6, box->height() - 6), QColor(227, 246, 253));
        QCOMPARE(image.pixel(0, box->height() / 2), platform::sysColor(platform::COLOR_WINDOWFRAME).rgb());
        const QColor bannerMiddle = image.pixelColor(box->width() / 2, box->height() / 5);
        QVERIFY2(bannerMiddle != QColor(227, 246, 253), "the banner is missing");
        // The etched rule between the banner and the text lines.
        const int ruleY = label("product")->y() - 3;
        bool ruleFound = false;
        for (int y = ruleY - 10; y <= ruleY; ++y)
            ruleFound |= image.pixelColor(box->width() / 2, y).lightness() < 180;
        QVERIFY(ruleFound);
    }

    void runModalReturnsOnAClick() {
        box.reset();
        testsupport::whenModalShows([](QWidget* modal) { clickAt(modal, QPoint(modal->width() - 4, 4)); });
        CAboutDlg::runModal();
        QVERIFY(!QApplication::activeModalWidget());
    }

private:
    CTextLabel* label(const char* name) const { return box->findChild<CTextLabel*>(QLatin1String(name)); }
    CHyperLink* link(const char* name) const { return box->findChild<CHyperLink*>(QLatin1String(name)); }

    RecordingShell shell;
    platform::ScriptedDialogs dialogs;
    std::unique_ptr<CAboutDlg> box;
};

QTEST_MAIN(TestAboutDlg)
#include "tst_aboutdlg.moc"
