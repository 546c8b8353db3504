// The braille text view of the emboss side offscreen: cells of a written braille page, the caret
// by cell, the graphic notice, its name for assistive technology, the toggle by shortcut, menu and
// toolbar, where the focus goes, and paging from inside the text.
#include "viewer/braille/BrailleText.h"
#include "viewer/window/ClickableImageView.h"
#include "viewer/window/ViewController.h"
#include "viewer/window/WindowController.h"
#include "widgets/MessageBox.h"

#include "BrailleLayouts.h"
#include "GuiTestSupport.h"
#include "SampleJob.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTest>
#include <QToolBar>

#include <cstring>
#include <string>

using brelmont::job::Document;
using brelmont::job::PageData;
using brelmont::job::PagePtr;
using brelmont::viewer::ViewController;
using brelmont::viewer::WindowController;
using namespace brelmont::testing;

namespace {

using guitest::accessibleName;

// An emboss page (kind 2) of braille: lines end at line feeds.
PagePtr braillePage(std::string_view text) {
    const BrailleLayout layout = brailleLayout(BrailleSpacing::Congress, 6);
    const ByteVector cells = layOutBraille(brailleCellsOf(text, 6), layout, 4)[0];
    PagePtr page = PageData::create(layout.width, layout.height, 2);
    std::memcpy(page->m_bytes, cells.data(), cells.size());
    return page;
}

PagePtr graphicPage() {
    PagePtr page = PageData::create(200, 200, 2);
    const ByteVector cells = tactileGraphicCells(200, 200);
    std::memcpy(page->m_bytes, cells.data(), cells.size());
    return page;
}

// "ab" over "c d": a, b, c, blank, d.
const QString AbCd = QString::fromUtf8("\u2801\u2803\n\u2809\u2800\u2819");

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

// One pattern a cell, one line a braille line; the caret moves by cell and by braille line.
TEST(BrailleTextView, ShowsTheCellsOfTheBraillePageAndTheCaretMovesByCell) {
    const PagePtr page = braillePage("ab\nc d");
    Viewer v(documentOf({page}));
    ASSERT_TRUE(v.text());
    EXPECT_TRUE(v.text()->isHidden());
    v.window.actionBrailleText()->trigger();
    ASSERT_FALSE(v.text()->isHidden());
    EXPECT_TRUE(v.content->m_embImageView->isHidden());
    EXPECT_EQ(v.text()->toPlainText(), AbCd);
    // The view shows the core's text without the newline that ends its last line.
    EXPECT_EQ(v.text()->toPlainText().toStdString() + "\n", brelmont::viewer::brailleText(*page));

    QPlainTextEdit* text = v.text();
    ASSERT_TRUE(text->hasFocus());
    QTest::keyClick(text, Qt::Key_Down);
    QTest::keyClick(text, Qt::Key_Right);
    QTest::keyClick(text, Qt::Key_Right);
    EXPECT_EQ(text->textCursor().blockNumber(), 1);
    EXPECT_EQ(text->textCursor().positionInBlock(), 2);
    QTest::keyClick(text, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(text->textCursor().selectedText(), QString::fromUtf8("\u2819")); // the cell d
}

TEST(BrailleTextView, AGraphicSaysSoInItsFirstLine) {
    Viewer v(documentOf({graphicPage()}));
    v.window.actionBrailleText()->trigger();
    EXPECT_EQ(v.text()->document()->firstBlock().text(), QString::fromLatin1(brelmont::viewer::GraphicNotice));
    EXPECT_GT(v.text()->document()->blockCount(), 40);
}

TEST(BrailleTextView, ViewIsReadOnlyMonospaceAndUnwrapped) {
    Viewer v(documentOf({braillePage("ab")}));
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
    Viewer v(documentOf({braillePage("a"), braillePage(""), braillePage("ab\nc d"), braillePage("b"), braillePage("ab\nc d")}));
    v.window.actionBrailleText()->trigger();
    EXPECT_EQ(accessibleName(v.text()), "Emboss page 1 of 5 as braille text, first page");
    EXPECT_EQ(v.content->m_lbEmbPage->text(), "Emboss page 1 of 5 as braille text, first page");
    EXPECT_EQ(v.text()->toPlainText(), QString::fromUtf8("\u2801"));
    v.content->clickPageForward();
    EXPECT_EQ(accessibleName(v.text()), "Emboss page 2 of 5 as braille text");
    EXPECT_EQ(v.text()->toPlainText(), ""); // a blank page
    v.content->clickPageForward();
    EXPECT_EQ(accessibleName(v.text()), "Emboss page 3 of 5 as braille text");
    EXPECT_EQ(v.text()->toPlainText(), AbCd);
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
    Viewer v(documentOf({braillePage("ab"), braillePage("cd")}, 2));
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
    EXPECT_EQ(accessibleName(c->m_embImageView), "Emboss page 1 of 2, first page");
}

TEST(BrailleTextView, PageKeysPageFromInsideTheTextWhileArrowsMoveTheCaret) {
    Viewer v(documentOf({braillePage("ab\nc d"), braillePage("a"), braillePage("ab\nc d")}));
    QPlainTextEdit* text = v.text();
    QTest::keyClick(v.content->m_embImageView, Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(text->hasFocus());
    QTest::keyClick(text, Qt::Key_Left);
    EXPECT_EQ(v.content->currentPage(), 0);

    QTest::keyClick(text, Qt::Key_PageDown);
    EXPECT_EQ(v.content->currentPage(), 1);
    EXPECT_EQ(text->toPlainText(), QString::fromUtf8("\u2801"));
    EXPECT_EQ(accessibleName(text), "Emboss page 2 of 3 as braille text");
    EXPECT_TRUE(text->hasFocus());
    QTest::keyClick(text, Qt::Key_PageDown);
    QTest::keyClick(text, Qt::Key_PageDown); // past the last page: nothing changes
    EXPECT_EQ(v.content->currentPage(), 2);
    EXPECT_EQ(text->accessibleDescription(), "There is no next page; page 3 of 3 is the last.");
    QTest::keyClick(text, Qt::Key_PageUp);
    EXPECT_EQ(v.content->currentPage(), 1);
    EXPECT_TRUE(text->hasFocus());

    // The View menu's commands page as well.
    v.window.actionPageForward()->trigger();
    EXPECT_EQ(v.content->currentPage(), 2);
    EXPECT_EQ(accessibleName(text), "Emboss page 3 of 3 as braille text, last page");
}

TEST(BrailleTextView, PageWithoutEmbossSideHidesTheTextUntilThereIsOneAgain) {
    Viewer v(documentOf({braillePage("ab")}, 2));
    v.window.actionBrailleText()->trigger();
    EXPECT_FALSE(v.text()->isHidden());
    v.content->clickPageForward();
    EXPECT_TRUE(v.text()->isHidden());
    EXPECT_TRUE(v.content->m_embImageView->isHidden());
    EXPECT_EQ(v.content->m_lbEmbPage->text(), "No emboss page");
    v.content->clickPageBackward();
    EXPECT_FALSE(v.text()->isHidden());
    EXPECT_TRUE(v.content->m_embImageView->isHidden());
    EXPECT_EQ(accessibleName(v.text()), "Emboss page 1 of 2 as braille text, first page");
}

TEST(BrailleTextView, ToggleIsInTheViewMenuAndTheToolbar) {
    Viewer v(documentOf({braillePage("ab")}));
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
    EXPECT_FALSE(v.window.actionExportBraille()->isEnabled());
    EXPECT_TRUE(v.text()->isHidden());
}

TEST(BrailleTextView, TabReachesTheTextInPlaceOfTheImage) {
    Viewer v(documentOf({braillePage("ab"), braillePage("cd")}, 2));
    v.window.actionBrailleText()->trigger();
    QWidget* start = v.window.toolBar()->widgetForAction(v.window.actionPageForward());
    ASSERT_TRUE(start);
    QStringList names;
    QWidget* w = start;
    do {
        if (w->focusPolicy() & Qt::TabFocus && w->isVisible() && w->isEnabled()) names << accessibleName(w);
        w = w->nextInFocusChain();
    } while (w && w != start);
    EXPECT_EQ(names, (QStringList{"Next Page", "Zoom In", "Zoom Out", "Braille Text", "Ink page 1 of 2, first page",
                                  "Emboss page 1 of 2 as braille text, first page", "Print…"}));
    // Tab leaves the text rather than typing into it.
    v.text()->setFocus();
    QTest::keyClick(v.text(), Qt::Key_Tab);
    EXPECT_FALSE(v.text()->hasFocus());
}

// The BRF holds the braille pages in ASCII braille; the graphic is left out and the alert says so.
TEST(BrailleTextView, ExportBrailleWritesTheBrfAndNamesThePagesLeftOut) {
    guitest::TempDir dir;
    Viewer v(documentOf({braillePage("ab\nc d"), graphicPage(), braillePage("e")}));
    QString proposed;
    const QString target = QString::fromStdString((dir.path() / "out.brf").string());
    v.window.m_askExportPath = [&](QWidget*, const QString& path) {
        proposed = path;
        return target;
    };
    QStringList alerts;
    brelmont::widgets::MessageBox::setPresenter([&](const QString& text) { alerts << text; });
    v.window.actionExportBraille()->trigger();
    QCoreApplication::processEvents();
    brelmont::widgets::MessageBox::setPresenter({});
    EXPECT_TRUE(proposed.endsWith("/braille.brf")) << proposed.toStdString();
    EXPECT_EQ(guitest::readFile(dir.path() / "out.brf"), "AB\r\nC D\r\n\fE\r\n");
    EXPECT_EQ(alerts, QStringList{"2 pages of braille written to out.brf.\n\n"
                                  "Emboss page 2 is a tactile graphic, not braille cells; it was left out."});
}
