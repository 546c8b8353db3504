// The viewer window offscreen: paging by keys and commands, hidden sides, layout of the views,
// zoom of the window, and what assistive technology is told about each view.
#include "viewer/window/ClickableImageView.h"
#include "viewer/window/ViewController.h"
#include "viewer/window/WindowController.h"

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

using brelmont::viewer::ClickableImageView;
using brelmont::viewer::ViewController;
using brelmont::viewer::WindowController;

namespace {

using guitest::accessibleName;

// Sends one key press straight to the content and says whether it was taken.
bool pressKey(ViewController* content, Qt::Key key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(content, &event);
    return event.isAccepted();
}

struct Viewer {
    explicit Viewer(int emboss, int ink) : window(guitest::document(guitest::job(emboss, ink))) {
        window.resize(1000, 700);
        window.show();
        content = window.viewController();
        (void)QTest::qWaitForWindowExposed(&window);
    }
    WindowController window;
    ViewController* content = nullptr;
};

} // namespace

TEST(ViewerWindow, EmbossOnlyJobPagesToTheEndAndStops) {
    Viewer v(2, 0);
    ViewController* c = v.content;
    EXPECT_TRUE(c->m_inkImageView->isHidden());
    EXPECT_FALSE(c->m_embImageView->isHidden());
    EXPECT_EQ(c->currentPage(), 0);
    ASSERT_TRUE(c->m_embImageView->m_page);
    EXPECT_EQ(c->m_embImageView->m_page, v.window.document()->m_embPages[0]);

    EXPECT_TRUE(pressKey(c, Qt::Key_Right));
    EXPECT_EQ(c->currentPage(), 1);
    EXPECT_EQ(c->m_embImageView->m_page, v.window.document()->m_embPages[1]);
    EXPECT_TRUE(pressKey(c, Qt::Key_Right)); // taken, but nothing changes
    EXPECT_EQ(c->currentPage(), 1);
    EXPECT_TRUE(c->m_inkImageView->isHidden());
}

TEST(ViewerWindow, LeftArrowOnTheFirstPageIsSwallowed) {
    Viewer v(3, 0);
    EXPECT_TRUE(pressKey(v.content, Qt::Key_Left));
    EXPECT_EQ(v.content->currentPage(), 0);
    EXPECT_FALSE(v.content->clickPageBackward());
    // Other keys go on to the default handling.
    EXPECT_FALSE(pressKey(v.content, Qt::Key_A));
}

TEST(ViewerWindow, ArrowKeysOnTheFocusedViewPage) {
    Viewer v(3, 2);
    QApplication::setActiveWindow(&v.window);
    ASSERT_TRUE(v.content->m_embImageView->hasFocus());
    QTest::keyClick(v.content->m_embImageView, Qt::Key_Right);
    EXPECT_EQ(v.content->currentPage(), 1);
    QTest::keyClick(v.content->m_embImageView, Qt::Key_Left);
    EXPECT_EQ(v.content->currentPage(), 0);
}

TEST(ViewerWindow, ListsOfDifferentLengthsHideTheShortSideAndShowItAgain) {
    Viewer v(3, 1);
    ViewController* c = v.content;
    EXPECT_FALSE(c->m_inkImageView->isHidden());
    EXPECT_EQ(accessibleName(c->m_inkImageView), "Ink page 1 of 3");
    EXPECT_TRUE(c->clickPageForward());
    EXPECT_TRUE(c->m_inkImageView->isHidden());
    EXPECT_FALSE(c->m_embImageView->isHidden());
    EXPECT_EQ(c->m_lbInkPage->text(), "No ink page");
    EXPECT_TRUE(c->clickPageForward());
    EXPECT_EQ(c->currentPage(), 2);
    EXPECT_FALSE(c->clickPageForward());
    EXPECT_TRUE(c->clickPageBackward());
    EXPECT_TRUE(c->clickPageBackward());
    EXPECT_EQ(c->currentPage(), 0);
    EXPECT_FALSE(c->m_inkImageView->isHidden());
}

TEST(ViewerWindow, InkLongerThanEmboss) {
    Viewer v(1, 3);
    ViewController* c = v.content;
    EXPECT_FALSE(c->m_embImageView->isHidden());
    EXPECT_TRUE(c->clickPageForward());
    EXPECT_TRUE(c->m_embImageView->isHidden());
    EXPECT_FALSE(c->m_inkImageView->isHidden());
    EXPECT_EQ(accessibleName(c->m_inkImageView), "Ink page 2 of 3");
    EXPECT_TRUE(c->clickPageForward());
    EXPECT_FALSE(c->clickPageForward());
    EXPECT_EQ(c->currentPage(), 2);
}

TEST(ViewerWindow, JobWithoutPagesShowsNothing) {
    Viewer v(0, 0);
    EXPECT_EQ(v.content->currentPage(), -1);
    EXPECT_FALSE(v.content->clickPageForward());
    EXPECT_FALSE(v.content->clickPageBackward());
    EXPECT_TRUE(v.content->m_embImageView->image().isNull());
}

TEST(ViewerWindow, PageCommandsOfTheToolbarAndMenu) {
    Viewer v(3, 0);
    QSignalSpy shown(v.content, &ViewController::pageShown);
    v.window.actionPageForward()->trigger();
    v.window.actionPageForward()->trigger();
    v.window.actionPageForward()->trigger();
    EXPECT_EQ(v.content->currentPage(), 2);
    v.window.actionPageBackward()->trigger();
    EXPECT_EQ(v.content->currentPage(), 1);
    ASSERT_EQ(shown.count(), 3);
    EXPECT_EQ(shown.at(2).at(0).toLongLong(), 1);
    EXPECT_EQ(shown.at(2).at(1).toLongLong(), 3);
}

TEST(ViewerWindow, AccessibleNamesFollowThePage) {
    Viewer v(5, 5);
    ViewController* c = v.content;
    EXPECT_EQ(accessibleName(c->m_inkImageView), "Ink page 1 of 5");
    EXPECT_EQ(accessibleName(c->m_embImageView), "Emboss page 1 of 5");
    c->clickPageForward();
    EXPECT_EQ(accessibleName(c->m_inkImageView), "Ink page 2 of 5");
    EXPECT_EQ(accessibleName(c->m_embImageView), "Emboss page 2 of 5");
    EXPECT_EQ(c->m_lbEmbPage->text(), "Emboss page 2 of 5");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(c->m_embImageView)->role(), QAccessible::Graphic);
}

TEST(ViewerWindow, CaptionsAreTheBuddiesOfTheViews) {
    Viewer v(2, 2);
    ViewController* c = v.content;
    EXPECT_EQ(c->m_lbInkPage->buddy(), c->m_inkImageView);
    EXPECT_EQ(c->m_lbEmbPage->buddy(), c->m_embImageView);
    for (auto [view, label] : {std::pair{static_cast<QWidget*>(c->m_inkImageView), c->m_lbInkPage},
                               std::pair{static_cast<QWidget*>(c->m_embImageView), c->m_lbEmbPage}}) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
        // Qt reports the labels of a widget under the relation Label.
        const auto labelledBy = iface->relations(QAccessible::Label);
        ASSERT_EQ(labelledBy.size(), 1);
        EXPECT_EQ(labelledBy.first().first->object(), label);
    }
}

TEST(ViewerWindow, ViewsFollowTheLayoutArithmetic) {
    Viewer v(1, 1);
    ViewController* c = v.content;
    c->resize(1000, 800);
    c->viewWillLayout();
    EXPECT_EQ(c->m_inkImageView->geometry(), QRect(64, 20, 426, 760));
    EXPECT_EQ(c->m_embImageView->geometry(), QRect(510, 20, 426, 760));
    EXPECT_EQ(c->m_lbInkPage->geometry(), QRect(64, 0, 426, 20));
    c->resize(100, 30);
    c->viewWillLayout();
    EXPECT_TRUE(c->m_inkImageView->geometry().isEmpty());
    EXPECT_TRUE(c->m_embImageView->geometry().isEmpty());
}

TEST(ViewerWindow, ImagesAreShownWholeAndInProportion) {
    Viewer v(1, 1);
    for (ClickableImageView* view : {v.content->m_inkImageView, v.content->m_embImageView}) {
        ASSERT_FALSE(view->image().isNull());
        const QRect shown = view->displayRect();
        const QSize size = view->imagePointSize();
        EXPECT_TRUE(view->rect().contains(shown));
        // Proportions kept within a pixel of rounding, and one side fills the view.
        EXPECT_NEAR(double(shown.width()) / shown.height(), double(size.width()) / size.height(), 0.02);
        EXPECT_TRUE(shown.width() >= view->width() - 6 || shown.height() >= view->height() - 6);
    }
    EXPECT_EQ(ClickableImageView::fitRect(QSize(100, 50), QRect(0, 0, 400, 400)), QRect(0, 100, 400, 200));
    EXPECT_EQ(ClickableImageView::fitRect(QSize(10, 40), QRect(0, 0, 400, 400)), QRect(150, 0, 100, 400));
}

TEST(ViewerWindow, ZoomResizesTheWindowAboutItsCentre) {
    Viewer v(1, 0);
    v.window.setGeometry(300, 200, 600, 400);
    QTRY_COMPARE(v.window.geometry(), QRect(300, 200, 600, 400));
    const QRect frame = v.window.frameGeometry();
    v.window.actionZoomIn()->trigger();
    QTRY_COMPARE(v.window.frameGeometry().size(), QSize(qRound(frame.width() * 1.1), qRound(frame.height() * 1.1)));
    EXPECT_EQ(v.window.frameGeometry().center(), frame.center());
    v.window.actionZoomOut()->trigger();
    QTRY_COMPARE(v.window.frameGeometry().width(), qRound(qRound(frame.width() * 1.1) * 0.9));
}

TEST(ViewerWindow, TabReachesEveryCommandAndBothViews) {
    Viewer v(2, 2);
    QList<QWidget*> chain;
    QWidget* start = v.window.toolBar()->widgetForAction(v.window.actionPageBackward());
    ASSERT_TRUE(start);
    QWidget* w = start;
    do {
        if (w->focusPolicy() & Qt::TabFocus && w->isVisible()) chain.append(w);
        w = w->nextInFocusChain();
    } while (w && w != start);
    QStringList names;
    for (QWidget* widget : chain) names << accessibleName(widget);
    EXPECT_EQ(names, (QStringList{"Previous Page", "Next Page", "Zoom In", "Zoom Out", "Braille Text",
                                  "Ink page 1 of 2", "Emboss page 1 of 2", "Print…"}));
}

TEST(ViewerWindow, MenuCommandsHaveMnemonicsAndShortcuts) {
    Viewer v(1, 0);
    EXPECT_EQ(v.window.actionPageBackward()->text(), "&Previous Page");
    EXPECT_EQ(v.window.actionPageForward()->text(), "&Next Page");
    EXPECT_EQ(v.window.actionZoomIn()->shortcut(), QKeySequence(QStringLiteral("Ctrl++")));
    EXPECT_EQ(v.window.actionZoomOut()->shortcut(), QKeySequence(QStringLiteral("Ctrl+-")));
    EXPECT_EQ(v.window.objectName(), "Viewer Window Controller");
    EXPECT_EQ(v.window.windowTitle(), "test.kprn");
}

// Paging decodes only the pages shown, each once while the document keeps it.
TEST(ViewerWindow, PagingDecodesEachPageOnceWhileItIsKept) {
    Viewer v(5, 5);
    const auto& doc = v.window.document();
    EXPECT_EQ(doc->pagesDecoded(), 2);
    for (int i = 0; i < 4; ++i) v.content->clickPageForward();
    EXPECT_EQ(doc->pagesDecoded(), 10);
    v.content->clickPageBackward();
    EXPECT_EQ(doc->pagesDecoded(), 10);
}

// A job whose decoding stops partway opens with the pages made so far; the window says where it
// stopped in a label that Tab reaches and that is also the description of the page views.
TEST(ViewerWindow, ADamagedJobSaysWhereDecodingStopped) {
    struct Case { int pages; bool damaged; };
    for (const Case c : {Case{2, true}, Case{0, true}, Case{1, false}}) {
        brelmont::testing::ByteVector bytes = guitest::job(c.pages, 0);
        const QString where = QStringLiteral("at byte %1").arg(bytes.size());
        if (c.damaged) bytes.push_back('Z'); // a byte that starts no command
        WindowController window(guitest::document(bytes));
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        const auto* note = window.findChild<QLabel*>(QStringLiteral("m_lbDecodeNote"));
        ASSERT_TRUE(note);
        EXPECT_EQ(window.viewController()->pageCount(), c.pages);
        EXPECT_EQ(note->isVisible(), c.damaged);
        if (!c.damaged) continue;
        EXPECT_TRUE(note->text().startsWith("Decoding stopped early")) << note->text().toStdString();
        EXPECT_TRUE(note->text().contains(where)) << note->text().toStdString();
        EXPECT_EQ(accessibleName(const_cast<QLabel*>(note)), note->text());
        EXPECT_EQ(window.viewController()->m_embImageView->accessibleDescription(), note->text());
        EXPECT_TRUE(note->focusPolicy() & Qt::TabFocus);
    }
}
