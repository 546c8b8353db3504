// The braille text view of the emboss side offscreen: its text, its name for assistive technology,
// the toggle by shortcut, menu and toolbar, where the focus goes, and paging from inside the text.
#include "viewer/braille/BrailleText.h"
#include "viewer/window/ClickableImageView.h"
#include "viewer/window/ViewController.h"
#include "viewer/window/WindowController.h"

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>

#include <initializer_list>
#include <string>

using brelmont::job::Document;
using brelmont::job::PageData;
using brelmont::job::PagePtr;
using brelmont::viewer::ViewController;
using brelmont::viewer::WindowController;

namespace {

using guitest::accessibleName;

// An emboss page (kind 2) from rows of cell values, the first row first.
PagePtr embossPage(std::initializer_list<std::initializer_list<int>> rows) {
    const int64_t width = int64_t(rows.begin()->size());
    PagePtr page = PageData::create(width, int64_t(rows.size()), 2);
    int64_t y = 0;
    for (const auto& row : rows) {
        int64_t x = 0;
        for (int value : row) page->row(y)[x++] = uint8_t(value);
        ++y;
    }
    return page;
}

// A page of 2 x 4 cells whose only dot value is `value` at the top left: one character.
PagePtr onePositionPage(int value) {
    return embossPage({{value, 0}, {0, 0}, {0, 0}, {value, 0}});
}

// Four columns by eight rows, the same read from the top or from the bottom, so the expected text
// does not depend on which raster row the text starts with. Column 0 is dotted all the way (1);
// column 1 has 15 (drawn in blue, still a dot) in the first and last rows; column 2 has 7 in the
// middle two rows and 9 (not drawable) elsewhere; column 3 is all 8 (not drawable).
PagePtr knownPage() {
    return embossPage({
        {1, 15, 9, 8},
        {1, 0, 9, 8},
        {1, 0, 9, 8},
        {1, 0, 7, 8},
        {1, 0, 7, 8},
        {1, 0, 9, 8},
        {1, 0, 9, 8},
        {1, 15, 9, 8},
    });
}

std::shared_ptr<Document> documentOf(std::vector<PagePtr> emboss, int inkPages = 0) {
    auto doc = std::make_shared<Document>();
    doc->m_fileURL = "/jobs/braille.kprn";
    doc->m_embPages = std::move(emboss);
    for (int i = 0; i < inkPages; ++i) {
        PagePtr ink = PageData::create(12, 9, 3);
        for (int64_t y = 0; y < 9; ++y) std::fill_n(ink->row(y), 12, uint8_t(1));
        doc->m_inkPages.push_back(ink);
    }
    return doc;
}

struct Viewer {
    explicit Viewer(std::shared_ptr<Document> doc) : window(std::move(doc)) {
        window.resize(1000, 700);
        window.show();
        content = window.viewController();
        (void)QTest::qWaitForWindowExposed(&window);
        QApplication::setActiveWindow(&window);
    }
    QPlainTextEdit* text() const { return content->m_embTextView; }
    WindowController window;
    ViewController* content = nullptr;
};

} // namespace

TEST(BrailleTextView, ShowsTheBrailleTextOfTheKnownPage) {
    const PagePtr page = knownPage();
    Viewer v(documentOf({page}));
    ASSERT_TRUE(v.text());
    EXPECT_TRUE(v.text()->isHidden());
    v.window.actionBrailleText()->trigger();
    ASSERT_FALSE(v.text()->isHidden());
    EXPECT_TRUE(v.content->m_embImageView->isHidden());
    // Left block: dots 1 2 3 7 from column 0 and the corner dot of column 1 (4 at the top, 8 at the
    // bottom); right block: only the middle rows of column 2 (dot 7 above the split, dot 1 below).
    EXPECT_EQ(v.text()->toPlainText(), QString::fromUtf8("\u284F\u2840\n\u28C7\u2801"));
    // The view shows the core's text without the newline that ends its last line.
    EXPECT_EQ(v.text()->toPlainText().toStdString() + "\n", brelmont::viewer::brailleText(*page));
    EXPECT_EQ(v.text()->document()->blockCount(), 2);
}

TEST(BrailleTextView, CountsOnlyDrawableValuesAsDots) {
    for (int value : {1, 7, 15}) {
        const QString q = QString::fromStdString(brelmont::viewer::brailleText(*onePositionPage(value))).trimmed();
        ASSERT_EQ(q.size(), 1) << value;
        EXPECT_NE(q.at(0).unicode(), 0x2800) << value;
    }
    for (int value : {0, 8, 14, 16, 255}) {
        EXPECT_EQ(QString::fromStdString(brelmont::viewer::brailleText(*onePositionPage(value))).trimmed(),
                  QString(QChar(0x2800)))
            << value;
    }
}

TEST(BrailleTextView, ViewIsReadOnlyMonospaceAndUnwrapped) {
    Viewer v(documentOf({knownPage()}));
    QPlainTextEdit* text = v.text();
    EXPECT_TRUE(text->isReadOnly());
    EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(text->font().fixedPitch());
    EXPECT_EQ(text->font().styleHint(), QFont::TypeWriter);
    const QFontMetrics metrics(text->font());
    EXPECT_EQ(metrics.horizontalAdvance(QChar(0x2800)), metrics.horizontalAdvance(QChar(0x28FF)));
    EXPECT_TRUE(text->textInteractionFlags() & Qt::TextSelectableByKeyboard);
}

TEST(BrailleTextView, AccessibleNameAndCaptionFollowThePage) {
    Viewer v(documentOf({onePositionPage(1), onePositionPage(0), knownPage(), onePositionPage(15), knownPage()}));
    v.window.actionBrailleText()->trigger();
    EXPECT_EQ(accessibleName(v.text()), "Emboss page 1 of 5 as braille text");
    EXPECT_EQ(v.content->m_lbEmbPage->text(), "Emboss page 1 of 5 as braille text");
    EXPECT_EQ(v.text()->toPlainText(), QString::fromUtf8("\u2841"));
    v.content->clickPageForward();
    EXPECT_EQ(accessibleName(v.text()), "Emboss page 2 of 5 as braille text");
    EXPECT_EQ(v.text()->toPlainText(), QString::fromUtf8("\u2800"));
    v.content->clickPageForward();
    EXPECT_EQ(accessibleName(v.text()), "Emboss page 3 of 5 as braille text");
    EXPECT_EQ(v.text()->toPlainText(), QString::fromUtf8("\u284F\u2840\n\u28C7\u2801"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(v.text())->role(), QAccessible::EditableText);

    // The caption is the text view's label while it is shown, and the image's again afterwards.
    EXPECT_EQ(v.content->m_lbEmbPage->buddy(), v.text());
    const auto labelledBy = QAccessible::queryAccessibleInterface(v.text())->relations(QAccessible::Label);
    ASSERT_EQ(labelledBy.size(), 1);
    EXPECT_EQ(labelledBy.first().first->object(), v.content->m_lbEmbPage);
    v.window.actionBrailleText()->trigger();
    EXPECT_EQ(v.content->m_lbEmbPage->buddy(), v.content->m_embImageView);
    EXPECT_EQ(v.content->m_lbEmbPage->text(), "Emboss page 3 of 5");
    EXPECT_EQ(accessibleName(v.content->m_embImageView), "Emboss page 3 of 5");
}

TEST(BrailleTextView, CtrlBTogglesAndTheFocusFollows) {
    Viewer v(documentOf({knownPage(), knownPage()}, 2));
    ViewController* c = v.content;
    ASSERT_TRUE(c->m_embImageView->hasFocus());

    QTest::keyClick(c->m_embImageView, Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(v.window.actionBrailleText()->isChecked());
    EXPECT_TRUE(c->brailleTextShown());
    EXPECT_FALSE(v.text()->isHidden());
    EXPECT_TRUE(c->m_embImageView->isHidden());
    EXPECT_FALSE(c->m_inkImageView->isHidden()); // the ink side stays as it was
    EXPECT_TRUE(v.text()->hasFocus());

    // The shortcut also works from inside the text, and the image takes the focus back.
    QTest::keyClick(v.text(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_FALSE(v.window.actionBrailleText()->isChecked());
    EXPECT_TRUE(v.text()->isHidden());
    EXPECT_FALSE(c->m_embImageView->isHidden());
    EXPECT_TRUE(c->m_embImageView->hasFocus());
    EXPECT_EQ(accessibleName(c->m_embImageView), "Emboss page 1 of 2");
}

TEST(BrailleTextView, PageKeysPageFromInsideTheTextWhileArrowsMoveTheCaret) {
    Viewer v(documentOf({knownPage(), onePositionPage(1), knownPage()}));
    QPlainTextEdit* text = v.text();
    QTest::keyClick(v.content->m_embImageView, Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(text->hasFocus());
    EXPECT_EQ(text->textCursor().position(), 0);

    QTest::keyClick(text, Qt::Key_Right);
    EXPECT_EQ(text->textCursor().position(), 1);
    QTest::keyClick(text, Qt::Key_Down);
    EXPECT_EQ(text->textCursor().blockNumber(), 1);
    QTest::keyClick(text, Qt::Key_Left);
    EXPECT_EQ(v.content->currentPage(), 0);

    QTest::keyClick(text, Qt::Key_PageDown);
    EXPECT_EQ(v.content->currentPage(), 1);
    EXPECT_EQ(text->toPlainText(), QString::fromUtf8("\u2841"));
    EXPECT_EQ(accessibleName(text), "Emboss page 2 of 3 as braille text");
    EXPECT_TRUE(text->hasFocus());
    QTest::keyClick(text, Qt::Key_PageDown);
    QTest::keyClick(text, Qt::Key_PageDown); // past the last page: nothing changes
    EXPECT_EQ(v.content->currentPage(), 2);
    QTest::keyClick(text, Qt::Key_PageUp);
    EXPECT_EQ(v.content->currentPage(), 1);
    EXPECT_TRUE(text->hasFocus());

    // The View menu's commands page as well.
    v.window.actionPageForward()->trigger();
    EXPECT_EQ(v.content->currentPage(), 2);
    EXPECT_EQ(accessibleName(text), "Emboss page 3 of 3 as braille text");
}

TEST(BrailleTextView, PageWithoutEmbossSideHidesTheTextUntilThereIsOneAgain) {
    Viewer v(documentOf({knownPage()}, 2));
    v.window.actionBrailleText()->trigger();
    EXPECT_FALSE(v.text()->isHidden());
    v.content->clickPageForward();
    EXPECT_TRUE(v.text()->isHidden());
    EXPECT_TRUE(v.content->m_embImageView->isHidden());
    EXPECT_EQ(v.content->m_lbEmbPage->text(), "No emboss page");
    v.content->clickPageBackward();
    EXPECT_FALSE(v.text()->isHidden());
    EXPECT_TRUE(v.content->m_embImageView->isHidden());
    EXPECT_EQ(accessibleName(v.text()), "Emboss page 1 of 2 as braille text");
}

TEST(BrailleTextView, ToggleIsInTheViewMenuAndTheToolbar) {
    Viewer v(documentOf({knownPage()}));
    QAction* toggle = v.window.actionBrailleText();
    EXPECT_TRUE(toggle->isCheckable());
    EXPECT_TRUE(toggle->isEnabled());
    EXPECT_EQ(toggle->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    bool inViewMenu = false;
    for (QAction* menuAction : v.window.menuBar()->actions())
        if (menuAction->menu() && menuAction->text() == "&View") inViewMenu = menuAction->menu()->actions().contains(toggle);
    EXPECT_TRUE(inViewMenu);

    QWidget* button = v.window.toolBar()->widgetForAction(toggle);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(accessibleName(button), "Braille Text");
    // Space on the focused button toggles, like any checkable button.
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(v.text()->hasFocus());
}

TEST(BrailleTextView, JobWithoutEmbossPagesOffersNoText) {
    Viewer v(documentOf({}, 1));
    EXPECT_FALSE(v.window.actionBrailleText()->isEnabled());
    EXPECT_TRUE(v.text()->isHidden());
}

TEST(BrailleTextView, TabReachesTheTextInPlaceOfTheImage) {
    Viewer v(documentOf({knownPage(), knownPage()}, 2));
    v.window.actionBrailleText()->trigger();
    QWidget* start = v.window.toolBar()->widgetForAction(v.window.actionPageBackward());
    ASSERT_TRUE(start);
    QStringList names;
    QWidget* w = start;
    do {
        if (w->focusPolicy() & Qt::TabFocus && w->isVisible()) names << accessibleName(w);
        w = w->nextInFocusChain();
    } while (w && w != start);
    EXPECT_EQ(names, (QStringList{"Previous Page", "Next Page", "Zoom In", "Zoom Out", "Braille Text",
                                  "Ink page 1 of 2", "Emboss page 1 of 2 as braille text", "Print…"}));
    // Tab leaves the text rather than typing into it.
    v.text()->setFocus();
    QTest::keyClick(v.text(), Qt::Key_Tab);
    EXPECT_FALSE(v.text()->hasFocus());
}
