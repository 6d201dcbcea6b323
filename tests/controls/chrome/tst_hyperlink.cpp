#include "controls/chrome/HyperLink.h"

#include "platform/DesktopShell.h"
#include "platform/RecordingShell.h"
#include "platform/ScriptedDialogs.h"

#include "../../support/TestSupport.h"

#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace platform;

namespace {

const QRgb linkBlue = qRgb(0, 0, 238);
const QRgb visitedPurple = qRgb(85, 26, 139);

int countPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) | 0xFF000000u) == colour;
    return count;
}

// The underline: a row of the link colour across most of the text width.
bool hasUnderline(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x)
            run = (image.pixel(x, y) | 0xFF000000u) == colour ? run + 1 : 0;
        if (run >= image.width() * 3 / 4)
            return true;
    }
    return false;
}

// Counts presses that fall through to the window under a control.
class PressCounter : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

} // namespace

class TestHyperLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        shell.setFailure(QString());
        shell.clear();
        dialogs.clear();
        Shell::setInstance(&shell);
        Dialogs::setInstance(&dialogs);
        window = std::make_unique<PressCounter>();
        window->resize(300, 100);
        link = new CHyperLink(QStringLiteral("https://www.corvanta.example/"), window.get());
        QFont font = link->font();
        font.setStyleStrategy(QFont::NoAntialias);
        link->setFont(font);
        link->move(10, 10);
        link->SetURL(QStringLiteral("https://www.corvanta.example/"));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    void unvisitedLinkIsUnderlinedBlueWithTargetTip() {
        const QImage image = link->grab().toImage();
        QVERIFY(countPixels(image, linkBlue) > 20);
        QVERIFY(hasUnderline(image, linkBlue));
        QCOMPARE(link->toolTip(), QStringLiteral("https://www.corvanta.example/"));
        link->SetUnderline(false);
        QVERIFY(!hasUnderline(link->grab().toImage(), linkBlue));
        link->SetUnderline(true);
        link->SetColors(RGB(0, 128, 0), RGB(128, 0, 0));
        QVERIFY(hasUnderline(link->grab().toImage(), qRgb(0, 128, 0)));
    }

    void successfulClickOpensAndTurnsPurple() {
        QSignalSpy opened(link, &CHyperLink::opened);
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, link->height() / 2));
        QCOMPARE(shell.requests().size(), 1);
        QCOMPARE(shell.requests().at(0).verb, QStringLiteral("url"));
        QCOMPARE(shell.requests().at(0).target, QStringLiteral("https://www.corvanta.example/"));
        QCOMPARE(opened.size(), 1);
        QVERIFY(link->GetVisited());
        link->clearFocus();
        const QImage image = link->grab().toImage();
        QCOMPARE(countPixels(image, linkBlue), 0);
        QVERIFY(hasUnderline(image, visitedPurple));
        QVERIFY(dialogs.messages().empty());
        // The click belongs to the link, not to the window behind it.
        QCOMPARE(window->presses, 0);
    }

    void failedOpenBeepsExplainsAndStaysUnvisited_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("not found") << int(ShellFailure::FileNotFound)
                                   << QStringLiteral("The specified file was not found.");
        QTest::newRow("no path") << int(ShellFailure::PathNotFound)
                                 << QStringLiteral("The specified path was not found.");
        QTest::newRow("denied") << int(ShellFailure::AccessDenied)
                                << QStringLiteral(
                                       "The operating system denied\naccess to the specified file.");
        QTest::newRow("no program")
            << int(ShellFailure::NoAssociation)
            << QStringLiteral("There is no application associated\nwith the given filename extension.");
        QTest::newRow("resources") << int(ShellFailure::OutOfResources)
                                   << QStringLiteral("The operating system is out\nof memory or resources.");
        QTest::newRow("unknown") << int(ShellFailure::Unknown)
                                 << QStringLiteral("Unknown Error (-1) occurred.");
    }

    void failedOpenBeepsExplainsAndStaysUnvisited() {
        QFETCH(int, kind);
        QFETCH(QString, message);
        shell.setFailure(QStringLiteral("refused"), ShellFailure(kind));
        QSignalSpy opened(link, &CHyperLink::opened);
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, link->height() / 2));
        QCOMPARE(opened.size(), 0);
        QVERIFY(!link->GetVisited());
        QVERIFY(countPixels(link->grab().toImage(), linkBlue) > 20);
        QCOMPARE(dialogs.messages().size(), size_t(1));
        QCOMPARE(QString::fromStdString(dialogs.messages().at(0).text),
                 QStringLiteral("Unable to open hyperlink:\n\n") + message);
        QCOMPARE(dialogs.messages().at(0).icon, MessageIcon::Warning);
    }

    // The desktop shell classifies a malformed address as not found, without launching.
    void desktopShellFailureGetsItsNearestMessage() {
        DesktopShell desktop;
        Shell::setInstance(&desktop);
        link->SetURL(QStringLiteral("no scheme here"));
        QTest::keyClick(link, Qt::Key_Space);
        Shell::setInstance(&shell);
        QCOMPARE(dialogs.messageTexts().size(), size_t(1));
        QCOMPARE(QString::fromStdString(dialogs.messageTexts().at(0)),
                 QStringLiteral("Unable to open hyperlink:\n\nThe specified file was not found."));
    }

    // The desktop's opener starting is no success: with no mail program it exits non-zero,
    // and the link must say so instead of turning purple.
    void openerThatFailsLeavesTheLinkUnvisited() {
        QTemporaryDir bin;
        QVERIFY(bin.isValid());
        QFile opener(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nexit 3\n");
        opener.close();
        QVERIFY(opener.setPermissions(opener.permissions() | QFile::ExeOwner));
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
        DesktopShell desktop;
        Shell::setInstance(&desktop);
        link->SetURL(QStringLiteral("mailto:support@corvanta.example"));
        QSignalSpy opened(link, &CHyperLink::opened);
        QTest::keyClick(link, Qt::Key_Return);
        QTRY_COMPARE(dialogs.messageTexts().size(), size_t(1));
        qputenv("PATH", path);
        Shell::setInstance(&shell);
        QCOMPARE(
            QString::fromStdString(dialogs.messageTexts().at(0)),
            QStringLiteral("Unable to open hyperlink:\n\nThere is no application associated\nwith the given "
                           "filename extension."));
        QVERIFY(!link->GetVisited());
        QCOMPARE(opened.size(), 0);
    }

    void windowTextStandsInForAMissingTargetAndBack() {
        CHyperLink textOnly(QStringLiteral("mailto:support@corvanta.example"), window.get());
        QCOMPARE(textOnly.GetURL(), QStringLiteral("mailto:support@corvanta.example"));
        QCOMPARE(textOnly.toolTip(), QStringLiteral("mailto:support@corvanta.example"));
        textOnly.show();
        QTest::keyClick(&textOnly, Qt::Key_Return);
        QCOMPARE(shell.requests().size(), 1);
        QCOMPARE(shell.requests().at(0).target, QStringLiteral("mailto:support@corvanta.example"));

        CHyperLink targetOnly(window.get());
        targetOnly.SetURL(QStringLiteral("https://www.corvanta.example/help.html"));
        QCOMPARE(targetOnly.accessibleName(), QStringLiteral("https://www.corvanta.example/help.html"));
        QVERIFY(targetOnly.width() > 50); // sized to the shown target
    }

    void sizedToItsTextFromTheStart() {
        CHyperLink fresh(QStringLiteral("https://www.corvanta.example/"), window.get());
        QCOMPARE(fresh.size(), fresh.sizeHint());
        QFont larger = fresh.font();
        larger.setPixelSize(30);
        fresh.setFont(larger);
        QCOMPARE(fresh.size(), fresh.sizeHint());
        QVERIFY(fresh.height() >= 30);
    }

    void adjustsToItsTextInItsPlace() {
        QCOMPARE(link->size(), link->sizeHint());
        QCOMPARE(link->pos(), QPoint(10, 10));
        link->SetAutoSize(false);
        link->setGeometry(10, 10, 250, 40);
        link->SetCentered(true);
        link->SetAutoSize(true);
        QCOMPARE(link->size(), link->sizeHint());
        QCOMPARE(link->geometry().center().x(), QRect(10, 10, 250, 40).center().x());
        QCOMPARE(link->y(), 10);

        link->SetAutoSize(false);
        link->setGeometry(10, 10, 250, 40);
        link->SetVerticallyCentered(true);
        link->SetAutoSize(true);
        QCOMPARE(link->size(), link->sizeHint());
        QCOMPARE(link->geometry().center(), QRect(10, 10, 250, 40).center());
    }

private:
    RecordingShell shell;
    ScriptedDialogs dialogs;
    std::unique_ptr<PressCounter> window;
    CHyperLink* link = nullptr;
};

QTEST_MAIN(TestHyperLink)
#include "tst_hyperlink.moc"
