#include "ui/TipDlg.h"

#include "core/ConverterApp.h"
#include "platform/Colors.h"
#include "platform/ProfileFile.h"
#include "platform/ScriptedDialogs.h"
#include "ui/DialogUnits.h"

#include "../support/TestSupport.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using platform::ProfileFile;

namespace {

const QString TROUBLE = QStringLiteral("Trouble reading the tips file");
const QString ABSENT = QStringLiteral("Tips file does not exist in the prescribed directory");
const QDateTime TIPS_TIME(QDate(2024, 3, 5), QTime(7, 8, 9));
const std::string TIPS_STAMP = "Tue Mar  5 07:08:09 2024";

// Three tips among every kind of line that is not one.
QByteArray sampleTips(const QByteArray& lineEnd = "\n") {
    QByteArray text = "; header comment\nFirst tip.\n indented line\n\ttabbed line\n\nSecond tip.\n"
                      ";Third tip is not this one\nThird tip.\n";
    text.replace("\n", lineEnd);
    return text;
}

class TipFiles {
public:
    std::string tips() const { return testsupport::path(dir.filePath(QStringLiteral("tips.txt"))); }
    std::string settings() const { return testsupport::path(dir.filePath(QStringLiteral("Settings.ini"))); }

    // Writes the tips file with a known modification time, so its stamp is known.
    void writeTips(const QByteArray& text) const {
        QFile file(QString::fromStdString(tips()));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(TIPS_TIME, QFileDevice::FileModificationTime));
    }
    void store(const char* key, const std::string& value) const {
        QVERIFY(ProfileFile::writeString(settings(), "Tips", key, value));
    }
    std::string stored(const char* key) const {
        return ProfileFile::readString(settings(), "Tips", key, "absent");
    }
    QByteArray settingsText() const {
        QFile file(QString::fromStdString(settings()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<CTipDlg> open() const {
        auto dialog = std::make_unique<CTipDlg>(tips(), settings());
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get()))
            return nullptr;
        return dialog;
    }

private:
    QTemporaryDir dir;
};

QString shownTip(const CTipDlg& dialog) {
    return dialog.findChild<QLabel*>(QStringLiteral("tipText"))->text();
}

void click(CTipDlg& dialog, const char* name) {
    auto* widget = dialog.findChild<QWidget*>(QLatin1String(name));
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
}

// Ends the dialog the way the user chose: the Close button, Enter, Escape or the close box.
void end(CTipDlg& dialog, const QString& ending) {
    if (ending == QLatin1String("close"))
        click(dialog, "close");
    else if (ending == QLatin1String("enter"))
        QTest::keyClick(&dialog, Qt::Key_Return);
    else if (ending == QLatin1String("escape"))
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        dialog.close();
}

QPushButton* nextButton(const CTipDlg& dialog) {
    return dialog.findChild<QPushButton*>(QStringLiteral("nextTip"));
}

} // namespace

class TestTipDlg : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        testsupport::failOnUnexpectedWarnings();
        testsupport::installOffscreenNoticeFilter();
        dialogs.clear();
        platform::Dialogs::setInstance(&dialogs);
    }
    void cleanup() { testsupport::removeOffscreenNoticeFilter(); }

    void tipsComeInOrderWithoutCommentsAndWrapAround_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR LF") << QByteArray("\r\n");
    }
    void tipsComeInOrderWithoutCommentsAndWrapAround() {
        QFETCH(QByteArray, lineEnd);
        TipFiles files;
        files.writeTips(sampleTips(lineEnd));
        auto dialog = files.open();
        QVERIFY(dialog);
        QStringList shown{shownTip(*dialog)};
        for (int i = 0; i < 6; ++i) {
            click(*dialog, "nextTip");
            shown.append(shownTip(*dialog));
        }
        const QString first = QStringLiteral("First tip."), second = QStringLiteral("Second tip."),
                      third = QStringLiteral("Third tip.");
        QCOMPARE(shown, QStringList({first, second, third, first, second, third, first}));
        QVERIFY(dialogs.messages().empty());
    }

    // The stored position counts only for the file it was stored for: a file with another
    // modification time starts again at its first tip, and a position past the end wraps.
    void storedPositionResumesTheSameFileOnly_data() {
        QTest::addColumn<bool>("sameStamp");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected");
        const int secondTip = int(sampleTips().indexOf("Second tip."));
        QTest::newRow("same file") << true << secondTip << QStringLiteral("Second tip.");
        QTest::newRow("past the end") << true << 100000 << QStringLiteral("First tip.");
        QTest::newRow("replaced file") << false << secondTip << QStringLiteral("First tip.");
    }
    void storedPositionResumesTheSameFileOnly() {
        QFETCH(bool, sameStamp);
        QFETCH(int, position);
        QFETCH(QString, expected);
        TipFiles files;
        files.writeTips(sampleTips());
        files.store("TimeStamp", sameStamp ? TIPS_STAMP : "Mon Jan  1 00:00:00 2001");
        files.store("FilePos", std::to_string(position));
        auto dialog = files.open();
        QVERIFY(dialog);
        QCOMPARE(shownTip(*dialog), expected);
        QCOMPARE(testsupport::bytes(files.stored("TimeStamp")), testsupport::bytes(TIPS_STAMP));
        QVERIFY(dialogs.messages().empty());
    }

    void positionIsStoredHoweverTheDialogEnds_data() {
        QTest::addColumn<QString>("ending");
        QTest::newRow("Escape") << QStringLiteral("escape");
        QTest::newRow("Close") << QStringLiteral("close");
        QTest::newRow("close box") << QStringLiteral("close box");
    }
    void positionIsStoredHoweverTheDialogEnds() {
        QFETCH(QString, ending);
        TipFiles files;
        files.writeTips(sampleTips());
        {
            auto dialog = files.open();
            QVERIFY(dialog);
            click(*dialog, "nextTip");
            QCOMPARE(shownTip(*dialog), QStringLiteral("Second tip."));
            end(*dialog, ending);
            QVERIFY(!dialog->isVisible());
        }
        const QByteArray secondLine = "Second tip.\n";
        QCOMPARE(files.stored("FilePos"),
                 std::to_string(sampleTips().indexOf(secondLine) + secondLine.size()));
        auto again = files.open();
        QVERIFY(again);
        QCOMPARE(shownTip(*again), QStringLiteral("Third tip."));
    }

    // Only Close (button or Enter) stores the start-up choice; Escape and the close box leave
    // the stored one as it was, even with the box toggled.
    void startupChoiceIsStoredByCloseOnly_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QByteArray>("storedAfter");
        QTest::newRow("Close") << QStringLiteral("close") << QByteArray("0");
        QTest::newRow("Enter") << QStringLiteral("enter") << QByteArray("0");
        QTest::newRow("Escape") << QStringLiteral("escape") << QByteArray("1");
        QTest::newRow("close box") << QStringLiteral("close box") << QByteArray("1");
    }
    void startupChoiceIsStoredByCloseOnly() {
        QFETCH(QString, ending);
        QFETCH(QByteArray, storedAfter);
        TipFiles files;
        files.writeTips(sampleTips());
        files.store("TipOfDay", "1");
        {
            auto dialog = files.open();
            QVERIFY(dialog);
            auto* check = dialog->findChild<QCheckBox*>(QStringLiteral("startupCheck"));
            QVERIFY(check->isChecked());
            click(*dialog, "startupCheck");
            QVERIFY(!check->isChecked());
            end(*dialog, ending);
            QVERIFY(!dialog->isVisible());
        }
        QCOMPARE(testsupport::bytes(files.stored("TipOfDay")), storedAfter);
        auto again = files.open();
        QVERIFY(again);
        QCOMPARE(again->findChild<QCheckBox*>(QStringLiteral("startupCheck"))->isChecked(),
                 storedAfter == "1");
    }

    // A file without a single tip line must not make the search go round for ever.
    void fileWithoutTipsShowsTroubleAfterOnePass_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("comments and blank lines") << QByteArray("; only\n  comments\n\n\t\n");
        QTest::newRow("Windows blank lines") << QByteArray("\r\n\r\n;x\r\n");
    }
    void fileWithoutTipsShowsTroubleAfterOnePass() {
        QFETCH(QByteArray, text);
        TipFiles files;
        files.writeTips(text);
        {
            auto dialog = files.open();
            QVERIFY(dialog);
            QCOMPARE(shownTip(*dialog), TROUBLE);
            QVERIFY(!nextButton(*dialog)->isEnabled());
            QVERIFY(dialogs.messages().empty());
            click(*dialog, "close");
        }
        QCOMPARE(files.stored("FilePos"), std::to_string(text.size()));
    }

    void missingFileShowsNoticeAndStoresNoPosition() {
        TipFiles files;
        {
            auto dialog = files.open();
            QVERIFY(dialog);
            QCOMPARE(shownTip(*dialog), ABSENT);
            QVERIFY(!nextButton(*dialog)->isEnabled());
            click(*dialog, "close");
        }
        QCOMPARE(files.stored("TipOfDay"), std::string("1"));
        QCOMPARE(files.stored("FilePos"), std::string("absent"));
        QCOMPARE(files.stored("TimeStamp"), std::string("absent"));
        QVERIFY(dialogs.messages().empty());
    }

    void invalidStoredPositionIsReportedOnce() {
        TipFiles files;
        files.writeTips(sampleTips());
        files.store("TimeStamp", TIPS_STAMP);
        files.store("FilePos", "-5");
        auto dialog = files.open();
        QVERIFY(dialog);
        QCOMPARE(testsupport::texts(dialogs.messageTexts()), QStringList{TROUBLE});
        QCOMPARE(shownTip(*dialog), QString());
        click(*dialog, "nextTip");
        QCOMPARE(shownTip(*dialog), QStringLiteral("First tip."));
    }

    // The tips share the user's settings file with the options: each keeps the other's lines,
    // and the options keep their order.
    void tipsSectionAndOptionsKeepEachOther() {
        TipFiles files;
        files.writeTips(sampleTips());
        ConverterApp app;
        app.settingsPath = files.settings();
        app.options = ConvertOptions::defaults();
        app.saveSettings();
        const QByteArray optionsOnly = files.settingsText();
        {
            auto dialog = files.open();
            QVERIFY(dialog);
            click(*dialog, "close");
        }
        const QByteArray withTips = files.settingsText();
        QVERIFY(withTips.startsWith(optionsOnly));
        const QByteArray tipsSection = withTips.mid(optionsOnly.size());
        QCOMPARE(tipsSection, QByteArray("[Tips]\r\nTimeStamp=Tue Mar  5 07:08:09 2024\r\nTipOfDay=1\r\n"
                                         "FilePos=") +
                                  QByteArray::number(sampleTips().indexOf(" indented")) + "\r\n");

        app.options.endPage = 42;
        app.saveSettings();
        TipFiles optionsAlone;
        ConverterApp fresh;
        fresh.settingsPath = optionsAlone.settings();
        fresh.options = app.options;
        fresh.saveSettings();
        QCOMPARE(files.settingsText(), optionsAlone.settingsText() + tipsSection);
    }

    void startupShowsTheDialogOnlyWhenWantedAndPresent_data() {
        QTest::addColumn<QString>("storedFlag");
        QTest::addColumn<bool>("tipsPresent");
        QTest::addColumn<bool>("shown");
        QTest::newRow("first start") << QString() << true << true;
        QTest::newRow("wanted") << QStringLiteral("1") << true << true;
        QTest::newRow("not wanted") << QStringLiteral("0") << true << false;
        QTest::newRow("no tips file") << QStringLiteral("1") << false << false;
    }
    void startupShowsTheDialogOnlyWhenWantedAndPresent() {
        QFETCH(QString, storedFlag);
        QFETCH(bool, tipsPresent);
        QFETCH(bool, shown);
        TipFiles files;
        if (tipsPresent)
            files.writeTips(sampleTips());
        if (!storedFlag.isEmpty())
            files.store("TipOfDay", storedFlag.toStdString());
        QString seen;
        if (shown)
            testsupport::whenModalShows([&seen](QWidget* modal) {
                seen = modal->findChild<QLabel*>(QStringLiteral("tipText"))->text();
                QTest::keyClick(modal, Qt::Key_Escape);
            });
        QCOMPARE(CTipDlg::runAtStartup(files.tips(), files.settings()), shown);
        QCOMPARE(seen, shown ? QStringLiteral("First tip.") : QString());
        QCOMPARE(files.stored("FilePos") != "absent", shown);
    }

    // The frame, the white drawing area, the picture at its top-left and the heading beside it.
    void drawsThePictureAndHeading() {
        TipFiles files;
        files.writeTips(sampleTips());
        auto dialog = files.open();
        QVERIFY(dialog);
        const QImage image = dialog->grab().toImage();
        const DialogUnits units(dialog->font());
        const QRect frame = units.toPixels(12, 11, 207, 123);
        const QRect area = units.toPixels(20, 17, 190, 111);
        const int pictureSide = units.toPixelsY(38);
        QCOMPARE(image.pixel(frame.topLeft()), platform::sysColor(platform::COLOR_WINDOWFRAME).rgb());
        QCOMPARE(image.pixelColor(area.bottomRight() - QPoint(2, 2)), QColor(Qt::white));
        const auto countWhere = [&image](const QRect& rect, auto test) {
            int count = 0;
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    count += test(image.pixelColor(x, y));
            return count;
        };
        const QRect picture(area.topLeft(), QSize(pictureSide, pictureSide));
        const int yellow =
            countWhere(picture, [](const QColor& c) { return c.red() > 200 && c.blue() < 120; });
        QVERIFY2(yellow > pictureSide * pictureSide / 20, "the bulb is missing");
        const QRect heading(picture.topRight() + QPoint(1, 0), QSize(area.width() / 2, pictureSide));
        const int ink = countWhere(heading, [](const QColor& c) { return c.lightness() < 80; });
        QVERIFY2(ink > 20, "the heading is missing");
    }

private:
    platform::ScriptedDialogs dialogs;
};

QTEST_MAIN(TestTipDlg)
#include "tst_tipdlg.moc"
