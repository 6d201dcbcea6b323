#include "RecordingOwner.h"
#include "TreeSample.h"

#include "controls/optiontree/OptionTreeInfo.h"
#include "controls/optiontree/OptionTreeList.h"
#include "platform/Colors.h"

#include "../../support/TestSupport.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

using namespace platform;

namespace {

void sendWheel(QWidget* widget, int delta, Qt::Orientation orientation = Qt::Vertical) {
    const QPointF at(50, 50);
    const QPoint angle = orientation == Qt::Vertical ? QPoint(0, delta) : QPoint(delta, 0);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

void drag(QWidget* widget, QPoint from, QPoint to) {
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(widget, to);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

} // namespace

class TestOptionTree : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { testsupport::failOnUnexpectedWarnings(); }

    void idsCountFromOneAndRestartAfterRemovingAll() {
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QCOMPARE(owner.count(OTN_ITEMINSERTED), 8);
        for (int id = 1; id <= 8; ++id)
            QCOMPARE(sample.item(id)->GetId(), id);
        QCOMPARE(sample.item(7)->GetLabelText(), QStringLiteral("Child"));

        owner.received.clear();
        sample.tree->RemoveAllItems();
        QCOMPARE(owner.received.first().code, OTN_ITEMDELETING);
        QCOMPARE(owner.received.first().item, nullptr);
        QCOMPARE(owner.count(OTN_ITEMDELETING), 9); // the whole tree, then each item
        QVERIFY(!sample.tree->ItemFromId(1));
        QCOMPARE(sample.add(QStringLiteral("Again"))->GetId(), 1);
    }

    void removingAnItemRelinksItsSiblingsAndDropsTheFocus() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        sample.tree->SetFocusItem(sample.item(3));
        sample.tree->RemoveItem(sample.item(3));
        QCOMPARE(sample.tree->GetFocusItem(), nullptr);
        QCOMPARE(sample.item(2)->GetNextSibling(), sample.item(4));
        // Children go with their parent.
        sample.tree->RemoveItem(sample.item(6));
        QVERIFY(!sample.tree->ItemFromId(7));
        QCOMPARE(sample.item(5)->GetFirstChild(), sample.item(8));
        QCOMPARE(sample.tree->GetFirstVisible()
                     ->GetNextVisible()
                     ->GetNextVisible()
                     ->GetNextVisible()
                     ->GetNextVisible(),
                 sample.item(8));
    }

    // A removal must reach the screen at once: rows below move up with their open editors,
    // and the scroll bar goes when the rest fits.
    void removingRowsRefreshesTheListAndTheScrollBar() {
        TreeSample sample(TreeSample::OPTIONS, QSize(300, 200));
        COptionTreeItem* header = sample.fillLong(12);
        COptionTreeItemComboBox* combo = sample.combo(QStringLiteral("Choice"), header);
        QVERIFY(sample.show());
        QScrollBar* bar = sample.tree->GetListWindow()->GetScrollBar();
        QVERIFY(bar->isVisible());
        sample.click(sample.valuePoint(combo->GetId()));
        QVERIFY(combo->GetComboWindow()->isVisible());
        const QPoint firstRow = sample.item(2)->GetPosition();
        const QImage before = sample.image();
        sample.tree->RemoveItem(sample.item(2));
        QCOMPARE(sample.item(3)->GetPosition(), firstRow); // "Row 1" took the place of "Row 0"
        QVERIFY(sample.image() != before);
        QCOMPARE(combo->GetComboWindow()->geometry(), combo->GetValueRect());
        for (int id = 3; id <= 12; ++id)
            sample.tree->RemoveItem(sample.item(id));
        QVERIFY(bar->isHidden());
        QCOMPARE(sample.tree->GetScrollOrigin(), 0);
        QCOMPARE(combo->GetComboWindow()->geometry(), combo->GetValueRect());
    }

    void rowsFollowOneAnotherWithTheirIndents() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        const int h = sample.item(1)->GetHeight();
        QList<int> order;
        for (COptionTreeItem* row = sample.tree->GetFirstVisible(); row; row = row->GetNextVisible())
            order.append(row->GetId());
        QCOMPARE(order, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(sample.item(2)->GetPosition(), QPoint(0, h));
        QCOMPARE(sample.item(7)->GetPosition(), QPoint(16, 6 * h)); // deeper levels add 16
        const QRect value = sample.item(3)->GetValueRect();
        QCOMPARE(value.left(), sample.tree->GetDivider() + 5);
        QCOMPARE(value.top(), 2 * h);
        QCOMPARE(value.height(), h - 1);
        QCOMPARE(value.right(), sample.tree->GetListWindow()->ClientRect().right());
        QCOMPARE(sample.tree->GetTotalHeight(), 8 * h);
        // An expanded item without children adds nothing.
        sample.item(2)->SetExpanded(true);
        QCOMPARE(sample.item(2)->GetTotalHeight(), h);
        QVERIFY(sample.item(2)->GetExpandBoxRect().isEmpty());
    }

    void hitTesting_data() {
        QTest::addColumn<int>("id"); // 0: below the last row
        QTest::addColumn<int>("dx"); // from the divider, or from the left edge when below -1000
        QTest::addColumn<int>("expected");
        QTest::newRow("label") << 2 << -60 << OTHT_LABEL;
        QTest::newRow("divider left edge") << 2 << -5 << OTHT_COLUMN;
        QTest::newRow("divider right edge") << 2 << 5 << OTHT_COLUMN;
        QTest::newRow("just right of zone") << 2 << 6 << OTHT_ATTRIBUTE;
        QTest::newRow("header has no divider") << 1 << 0 << OTHT_LABEL;
        QTest::newRow("header value side") << 1 << 20 << OTHT_ATTRIBUTE;
        QTest::newRow("expand box") << 6 << -2000 << OTHT_EXPAND;
        QTest::newRow("below the last row") << 0 << -60 << OTHT_NOWHERE;
    }
    void hitTesting() {
        QFETCH(int, id);
        QFETCH(int, dx);
        QFETCH(int, expected);
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        const int y = id ? sample.item(id)->GetPosition().y() + 8 : sample.tree->GetTotalHeight() + 2;
        const int x = dx < -1000 ? 7 : sample.tree->GetDivider() + dx;
        QCOMPARE(sample.tree->HitTestPoint(QPoint(x, y)), expected);
        QCOMPARE(sample.tree->ItemAtPoint(QPoint(x, y)), sample.item(id));
    }

    void dividerIsClampedAtBothEnds() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        const QPoint on(sample.tree->GetDivider(), sample.labelPoint(2).y());
        drag(sample.list(), on, QPoint(10, on.y()));
        QCOMPARE(sample.tree->GetDivider(), 41);

        drag(sample.list(), QPoint(41, on.y()), QPoint(sample.list()->width() - 3, on.y()));
        QCOMPARE(sample.tree->GetDivider(), sample.tree->GetListWindow()->ClientRect().width() - 25);

        sample.tree->SetDivider(5);
        QCOMPARE(sample.tree->GetDivider(), 16);
        sample.tree->SetDivider(100000);
        QCOMPARE(sample.tree->GetDivider(), sample.tree->width() - 16);
    }

    void dividerDragShowsABandAndMovesTheEditorsOnlyOnRelease() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        const int y = sample.labelPoint(2).y();
        const QPoint on(sample.tree->GetDivider(), y);
        const QImage before = sample.image();
        QTest::mousePress(sample.list(), Qt::LeftButton, Qt::NoModifier, on);
        QTest::mouseMove(sample.list(), QPoint(220, y));
        QVERIFY(sample.tree->GetListWindow()->IsDragging());
        QCOMPARE(sample.tree->GetDivider(), 150); // applied only at the release
        const QImage during = sample.image();
        QVERIFY(during.pixel(220, 5) != before.pixel(220, 5) || during.pixel(221, 5) != before.pixel(221, 5));
        QTest::mouseRelease(sample.list(), Qt::LeftButton, Qt::NoModifier, QPoint(220, y));
        QCOMPARE(sample.tree->GetDivider(), 220);
        QCOMPARE(sample.item(3)->GetValueRect().left(), 225);
        QCOMPARE(static_cast<COptionTreeItemComboBox*>(sample.item(3))->GetComboWindow()->x(), 225);
        QVERIFY(static_cast<COptionTreeItemComboBox*>(sample.item(3))->GetComboWindow()->isHidden());
    }

    void ownerCanVetoTheDividerDrag() {
        TreeSample sample;
        RecordingOwner owner;
        owner.vetoed.insert(OTN_COLUMNDRAGSTART);
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QVERIFY(sample.show());
        const int y = sample.labelPoint(2).y();
        drag(sample.list(), QPoint(150, y), QPoint(250, y));
        QCOMPARE(owner.count(OTN_COLUMNDRAGSTART), 1);
        QCOMPARE(sample.tree->GetDivider(), 150);
    }

    void doubleClickOnTheDividerFitsTheWidestLabel() {
        TreeSample sample;
        sample.fill();
        sample.item(7)->SetLabelText(QStringLiteral("A rather longer label"));
        QVERIFY(sample.show());
        const int y = sample.labelPoint(2).y();
        QTest::mouseDClick(sample.list(), Qt::LeftButton, Qt::NoModifier, QPoint(150, y));
        const QFontMetrics metrics(sample.tree->GetNormalFont());
        // Indent 16, label margin 16, text gap 5, then the text and 5 pixels.
        const int expected =
            16 + 16 + 5 + metrics.horizontalAdvance(QStringLiteral("A rather longer label")) + 5;
        QCOMPARE(sample.tree->GetDivider(), expected);
        // Narrowing works the same way, to the widest label now shown.
        sample.item(7)->SetLabelText(QStringLiteral("C"));
        QTest::mouseDClick(sample.list(), Qt::LeftButton, Qt::NoModifier, QPoint(expected, y));
        int widest = 0;
        for (const char* label : {"Plain", "Choice", "Number", "Parent", "Last"})
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(label)));
        QCOMPARE(sample.tree->GetDivider(), 16 + 5 + widest + 5);
    }

    void clickSelectsFocusesAndActivates() {
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.labelPoint(2));
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(2));
        QVERIFY(sample.item(2)->IsSelected());
        QCOMPARE(owner.itemsOf(OTN_SELCHANGED), QList<COptionTreeItem*>{sample.item(2)});
        QCOMPARE(sample.tree->GetInfoWindow()->ShownLabel(), QStringLiteral("Plain"));
        QCOMPARE(sample.tree->GetInfoWindow()->ShownHelp(), QStringLiteral("Plain help"));

        // The same row again is no new selection.
        sample.click(sample.labelPoint(2));
        QCOMPARE(owner.count(OTN_SELCHANGED), 1);

        sample.click(sample.valuePoint(3));
        QVERIFY(!sample.item(2)->IsSelected());
        QCOMPARE(owner.count(OTN_ITEMACTIVATING), 1);
        QVERIFY(sample.item(3)->IsEditing());

        // Below the last row: nothing focused, and the owner hears a null selection.
        sample.tree->setFixedHeight(400);
        sample.click(QPoint(60, sample.tree->GetTotalHeight() + 5));
        QCOMPARE(sample.tree->GetFocusItem(), nullptr);
        QCOMPARE(owner.itemsOf(OTN_SELCHANGED).last(), nullptr);
    }

    void vetoedActivationAndReadOnlyRowsStayIdle() {
        TreeSample sample;
        RecordingOwner owner;
        owner.vetoed.insert(OTN_ITEMACTIVATING);
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(3));
        QVERIFY(!sample.item(3)->IsEditing());
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(3)); // still focused

        owner.vetoed.clear();
        sample.item(4)->SetReadOnly(true);
        sample.click(sample.valuePoint(4));
        QVERIFY(!sample.item(4)->IsEditing());
        sample.key(Qt::Key_Return);
        QVERIFY(!sample.item(4)->IsEditing());
    }

    void collapsingTheFocusedItemsParentClearsTheFocus() {
        TreeSample sample;
        RecordingOwner owner;
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.labelPoint(7));
        owner.received.clear();
        const QRect box = sample.item(6)->GetExpandBoxRect();
        sample.click(box.center());
        QVERIFY(!sample.item(6)->IsExpanded());
        QCOMPARE(sample.tree->GetFocusItem(), nullptr);
        QVERIFY(!sample.item(7)->IsSelected());
        QCOMPARE(owner.itemsOf(OTN_ITEMEXPANDING), QList<COptionTreeItem*>{sample.item(6)});
        QCOMPARE(owner.itemsOf(OTN_SELCHANGED), QList<COptionTreeItem*>{nullptr});
        QVERIFY(!sample.tree->IsItemVisible(sample.item(7)));
    }

    void ownerCanVetoExpanding() {
        TreeSample sample;
        RecordingOwner owner;
        owner.vetoed.insert(OTN_ITEMEXPANDING);
        sample.tree->SetNotifyTarget(true, &owner);
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.item(6)->GetExpandBoxRect().center());
        QVERIFY(sample.item(6)->IsExpanded());
        // Without notifications nothing can be vetoed, and nothing is sent.
        sample.tree->SetNotifyTarget(false, &owner);
        owner.received.clear();
        sample.click(sample.item(6)->GetExpandBoxRect().center());
        QVERIFY(!sample.item(6)->IsExpanded());
        QVERIFY(owner.received.isEmpty());
    }

    void doubleClickOnAHeaderFocusesAndToggles() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        QTest::mouseDClick(sample.list(), Qt::LeftButton, Qt::NoModifier, sample.labelPoint(5));
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(5));
        QVERIFY(!sample.item(5)->IsExpanded());
    }

    void arrowsMoveCollapseAndExpand() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.labelPoint(7));
        sample.key(Qt::Key_Left); // a leaf: up
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(6));
        sample.key(Qt::Key_Left); // an expanded parent: collapse
        QVERIFY(!sample.item(6)->IsExpanded());
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(6));
        sample.key(Qt::Key_Right); // a collapsed parent: expand
        QVERIFY(sample.item(6)->IsExpanded());
        sample.key(Qt::Key_Right); // now expanded: down
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(7));
        sample.key(Qt::Key_Right); // a leaf: down
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(8));
        sample.key(Qt::Key_Down); // at the tail nothing changes
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(8));
        sample.key(Qt::Key_Home);
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(1));
        sample.key(Qt::Key_Up);
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(1));
        sample.key(Qt::Key_End);
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(8));
    }

    void tabMovesAndActivatesButNotFromAHeader() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        sample.click(sample.labelPoint(1));
        sample.key(Qt::Key_Tab);
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(1));

        sample.click(sample.labelPoint(2));
        sample.key(Qt::Key_Tab);
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(3));
        auto* combo = static_cast<COptionTreeItemComboBox*>(sample.item(3))->GetComboWindow();
        QVERIFY(combo->isVisible());
        QVERIFY(combo->hasFocus());
        // Tab in the open editor commits it and goes on to the next row.
        sample.key(Qt::Key_Tab);
        QVERIFY(combo->isHidden());
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(4));
        QVERIFY(sample.item(4)->IsEditing());
        sample.key(Qt::Key_Backtab);
        QTest::qWait(1);
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(3));
    }

    // Tab stays among the rows, so the tree needs a way out for the keyboard.
    void ctrlTabLeavesTheTree() {
        TreeSample sample;
        sample.fill();
        QLineEdit after(&sample.window);
        after.setGeometry(0, 0, 10, 10);
        after.lower();
        QVERIFY(sample.show());
        sample.click(sample.valuePoint(3)); // from an open editor
        sample.key(Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(after.hasFocus());
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(3));
        sample.click(sample.labelPoint(2)); // and from the rows
        sample.key(Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(after.hasFocus());
        QCOMPARE(sample.tree->GetFocusItem(), sample.item(2));
    }

    void emptyTreeOnlyClearsTheFocus() {
        TreeSample plain(OTS_SHOWINFOWINDOW);
        RecordingOwner owner;
        plain.tree->SetNotifyTarget(true, &owner);
        QVERIFY(plain.show());
        plain.click(QPoint(60, 30));
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Left, Qt::Key_End})
            plain.key(key);
        QCOMPARE(plain.tree->GetFocusItem(), nullptr);
        QCOMPARE(owner.received.size(), 1);
        QCOMPARE(owner.received.first().code, OTN_SELCHANGED);
        QCOMPARE(plain.tree->GetInfoWindow()->ShownLabel(), QString());

        TreeSample withDefaults(OTS_SHOWINFOWINDOW | OTS_DEFINFOTEXT);
        QCOMPARE(withDefaults.tree->GetInfoWindow()->ShownLabel(), QStringLiteral("No Item Selected"));
        QCOMPARE(withDefaults.tree->GetInfoWindow()->ShownHelp(),
                 QStringLiteral("Select an item to see its description."));
    }

    void shortTreesHaveNoScrollBarAndIgnoreTheWheel() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        QVERIFY(sample.tree->GetListWindow()->GetScrollBar()->isHidden());
        sendWheel(sample.list(), -120);
        QCOMPARE(sample.tree->GetScrollOrigin(), 0);
    }

    void wheelAndScrollBarMoveByLinesWithinTheRange() {
        TreeSample sample(TreeSample::OPTIONS, QSize(300, 200));
        COptionTreeItem* header = sample.fillLong(40);
        QVERIFY(sample.show());
        QScrollBar* bar = sample.tree->GetListWindow()->GetScrollBar();
        QVERIFY(bar->isVisible());
        sendWheel(sample.list(), -120);
        QCOMPARE(sample.tree->GetScrollOrigin(), 21);
        sendWheel(sample.list(), -120, Qt::Horizontal); // sideways: no line up or down
        QCOMPARE(sample.tree->GetScrollOrigin(), 21);
        for (int part = 0; part < 7; ++part) // a smooth wheel's notch comes in small parts
            sendWheel(sample.list(), -15);
        QCOMPARE(sample.tree->GetScrollOrigin(), 21);
        sendWheel(sample.list(), -15);
        QCOMPARE(sample.tree->GetScrollOrigin(), 42);
        sendWheel(sample.list(), -240); // two notches at once
        QCOMPARE(sample.tree->GetScrollOrigin(), 84);
        sendWheel(sample.list(), 240);
        sendWheel(sample.list(), 120);
        sendWheel(sample.list(), 120);
        QCOMPARE(sample.tree->GetScrollOrigin(), 0);
        QCOMPARE(sample.tree->ItemAtPoint(QPoint(50, 5)), header);

        // End shows the last row fully.
        sample.click(sample.labelPoint(2));
        sample.key(Qt::Key_End);
        const COptionTreeItem* last = sample.tree->GetFocusItem();
        QCOMPARE(last->GetLabelText(), QStringLiteral("Row 39"));
        const int bottom = last->GetPosition().y() - sample.tree->GetScrollOrigin() + last->GetHeight();
        QVERIFY(bottom <= sample.tree->GetListWindow()->ClientRect().height());
        QCOMPARE(bar->value(), sample.tree->GetScrollOrigin());
        QCOMPARE(sample.tree->ItemAtPoint(QPoint(50, bottom - 3)), last);

        // Collapsing everything takes the scroll bar away and the origin back to 0.
        sample.click(header->GetExpandBoxRect().translated(0, -sample.tree->GetScrollOrigin()).center());
        QCOMPARE(sample.tree->GetScrollOrigin(), 0);
        QVERIFY(bar->isHidden());
    }

    void scrollBarPagesThroughTheRows() {
        TreeSample sample(TreeSample::OPTIONS, QSize(300, 200));
        sample.fillLong(40);
        QVERIFY(sample.show());
        QScrollBar* bar = sample.tree->GetListWindow()->GetScrollBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, bar->height() - 25));
        const int page = sample.tree->GetListWindow()->ClientRect().height();
        QCOMPARE(sample.tree->GetScrollOrigin(), page);
        QVERIFY(sample.list()->hasFocus());
        // The row at the top is the one a page further down.
        QCOMPARE(sample.tree->ItemAtPoint(QPoint(50, 1))->GetPosition().y(), (page + 1) / 21 * 21);
    }

    void followsFontAndPaletteChanges() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        QCOMPARE(sample.item(2)->GetHeight(), 21);
        QFont large = sample.tree->font();
        large.setPixelSize(30);
        sample.tree->setFont(large);
        QVERIFY(sample.item(2)->GetHeight() > 30);
        QCOMPARE(sample.item(3)->GetPosition().y(), 2 * sample.item(2)->GetHeight());
        auto* combo = static_cast<COptionTreeItemComboBox*>(sample.item(3))->GetComboWindow();
        QCOMPARE(combo->font().pixelSize(), 30);
        QCOMPARE(combo->geometry(), sample.item(3)->GetValueRect());
        // The label column widens with the font, so the labels are not cut to dots.
        QCOMPARE(sample.tree->GetDivider(), 150 * sample.item(2)->GetHeight() / 21);
        sample.item(2)->SetLabelText(QStringLiteral("Plain option"));
        QCOMPARE(sample.item(2)->GetLabelTextRect().width(),
                 QFontMetrics(large).horizontalAdvance(QStringLiteral("Plain option")));

        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Base, QColor(250, 240, 200));
        QApplication::setPalette(palette);
        QCOMPARE(sample.image().pixel(300, sample.labelPoint(2).y()), QColor(250, 240, 200).rgb());
        QApplication::setPalette(QPalette());
    }

    void paintsHeadersDividerMarginAndSelection() {
        TreeSample sample;
        sample.fill();
        sample.item(1)->SetHeaderBackColor(RGB(227, 246, 253));
        QVERIFY(sample.show());
        sample.click(sample.labelPoint(2));
        const QImage image = sample.image();
        const int h = sample.item(1)->GetHeight();
        QCOMPARE(image.pixel(300, h / 2 + 1), QColor(227, 246, 253).rgb());
        QCOMPARE(image.pixel(8, 3 * h + 2), sysColor(COLOR_BTNFACE).rgb());     // shaded margin
        QCOMPARE(image.pixel(150, 3 * h + 2), sysColor(COLOR_BTNSHADOW).rgb()); // the divider line
        QCOMPARE(image.pixel(18, h + 2), sysColor(COLOR_HIGHLIGHT).rgb());      // selected label
        QCOMPARE(image.pixel(300, 7 * h + 3), sysColor(COLOR_WINDOW).rgb());    // value column
        // The expand box: a minus while expanded, a plus while collapsed.
        const QRect box = sample.item(6)->GetExpandBoxRect();
        QCOMPARE(image.pixel(box.left() + 4, box.top() + 4), QColor(Qt::black).rgb());
        QCOMPARE(image.pixel(box.left() + 4, box.top() + 2), sysColor(COLOR_WINDOW).rgb());
        sample.item(6)->SetExpanded(false);
        sample.tree->Redraw();
        QCOMPARE(sample.image().pixel(box.left() + 4, box.top() + 2), QColor(Qt::black).rgb());
    }

    void topLevelRowsHaveNoValueColumnWhateverTheirKind() {
        TreeSample sample;
        sample.fill();
        COptionTreeItemComboBox* header = sample.combo(QStringLiteral("Header combo"), nullptr);
        header->SetHeaderBackColor(RGB(227, 246, 253));
        QVERIFY(sample.show());
        const QImage image = sample.image();
        const int y = sample.labelPoint(header->GetId()).y();
        QCOMPARE(image.pixel(sample.tree->GetDivider(), y), QColor(227, 246, 253).rgb()); // no divider line
        QCOMPARE(image.pixel(sample.tree->GetDivider() + 8, y), QColor(227, 246, 253).rgb()); // no value text
        sample.click(sample.valuePoint(header->GetId()));
        QCOMPARE(sample.tree->GetFocusItem(), header);
        QVERIFY(!header->IsEditing());
        QVERIFY(header->GetComboWindow()->isHidden());
    }

    void unshadedHeadersUseTheWindowColourWhileEnabled() {
        TreeSample sample(OTS_SHOWINFOWINDOW);
        sample.fill();
        sample.item(1)->SetHeaderBackColor(RGB(227, 246, 253));
        QVERIFY(sample.show());
        QCOMPARE(sample.image().pixel(300, 10), sysColor(COLOR_WINDOW).rgb());
        QCOMPARE(sample.image().pixel(8, 30), sysColor(COLOR_WINDOW).rgb()); // margin unshaded
        sample.tree->setEnabled(false);
        QCOMPARE(sample.image().pixel(300, 10), QColor(227, 246, 253).rgb());
    }

    void longLabelsEndInDotsBeforeTheDivider() {
        TreeSample sample;
        sample.fill();
        sample.item(2)->SetLabelText(QStringLiteral("An extremely long label that cannot fit the column"));
        QVERIFY(sample.show());
        const QRect text = sample.item(2)->GetLabelTextRect();
        QVERIFY(text.right() < sample.tree->GetDivider());
        const QFontMetrics metrics(sample.tree->GetNormalFont());
        const QString shown =
            COptionTreeItem::ShortenLabel(sample.item(2)->GetLabelText(), metrics, 150 - 21);
        QVERIFY(shown.endsWith(QStringLiteral("...")));
        QVERIFY(metrics.horizontalAdvance(shown) + 1 <= 150 - 21);
        // The divider line stays whole and the label ends before it.
        const QImage image = sample.image();
        const int y = sample.labelPoint(2).y();
        for (int dy = -6; dy <= 6; ++dy)
            QCOMPARE(image.pixel(150, y + dy), sysColor(COLOR_BTNSHADOW).rgb());
        // The last three dark blobs of the text are the dots: three separate runs at one row.
        const QRect row = sample.item(2)->GetLabelRect();
        int mostRuns = 0;
        for (int y = row.top(); y < row.bottom(); ++y) {
            int runs = 0;
            bool inRun = false;
            for (int x = text.right() - metrics.horizontalAdvance(QStringLiteral("...")); x <= text.right();
                 ++x) {
                const bool dark = qGray(image.pixel(x, y)) < 160;
                runs += dark && !inRun ? 1 : 0;
                inRun = dark;
            }
            mostRuns = std::max(mostRuns, runs);
        }
        QCOMPARE(mostRuns, 3);
    }

    void shorteningKeepsAtLeastOneCharacter() {
        const QFontMetrics metrics(QApplication::font());
        QCOMPARE(COptionTreeItem::ShortenLabel(QStringLiteral("Wide"), metrics, 2), QStringLiteral("W..."));
        QCOMPARE(COptionTreeItem::ShortenLabel(QStringLiteral("W"), metrics, 2), QStringLiteral("W..."));
        QCOMPARE(COptionTreeItem::ShortenLabel(QStringLiteral("Fits"), metrics, 500), QStringLiteral("Fits"));
    }

    void blankLabelsDrawNothing() {
        TreeSample sample;
        sample.fill();
        sample.item(2)->SetLabelText(QStringLiteral("   "));
        QVERIFY(sample.show());
        sample.click(sample.labelPoint(2));
        QVERIFY(sample.item(2)->IsSelected());
        QVERIFY(sample.item(2)->GetLabelTextRect().isEmpty());
        QCOMPARE(sample.image().pixel(18, sample.labelPoint(2).y()), sysColor(COLOR_WINDOW).rgb());
    }

    void infoPaneSitsUnderTheList() {
        TreeSample sample;
        sample.fill();
        QVERIFY(sample.show());
        const QWidget* info = sample.tree->GetInfoWindow();
        QCOMPARE(info->geometry().bottom(), sample.tree->height() - 1);
        QCOMPARE(info->height(), sample.tree->InfoHeight());
        QCOMPARE(sample.list()->height(), sample.tree->height() - info->height());
        TreeSample without(0);
        QVERIFY(without.show());
        QVERIFY(without.tree->GetInfoWindow()->isHidden());
        QCOMPARE(without.list()->height(), without.tree->height());
    }
};

QTEST_MAIN(TestOptionTree)
#include "tst_optiontree.moc"
