// The viewer window offscreen: paging by keys and commands and what is said about it, zoom and high
// contrast, the braille text view, and export. (The views' layout and the print command are left to
// the eye.)
#include "GuiTestSupport.h"

#include "BrailleLayouts.h"
#include "SampleJob.h"
#include "viewer/braille/BrailleText.h"
#include "viewer/window/ClickableImageView.h"
#include "viewer/window/ViewController.h"
#include "viewer/window/ViewerModel.h"
#include "viewer/window/WindowController.h"
#include "widgets/StatusLine.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include <cmath>
#include <cstring>

using namespace brelmont::viewer;
using brelmont::job::PageData;
using brelmont::job::PagePtr;
using guitest::accessibleName;

namespace {

struct Viewer {
    explicit Viewer(std::shared_ptr<brelmont::job::Document> doc) : window(std::move(doc)) {
        window.resize(1000, 700);
        guitest::showActive(&window);
        content = window.viewController();
    }
    WindowController window;
    ViewController* content = nullptr;
};

PagePtr braillePage(std::string_view text) {
    using namespace brelmont::testing;
    const BrailleLayout layout = brailleLayout(BrailleSpacing::Congress, 6);
    const ByteVector cells = layOutBraille(brailleCellsOf(text, 6), layout, 4)[0];
    PagePtr page = PageData::create(layout.width, layout.height, 2);
    std::memcpy(page->m_bytes, cells.data(), cells.size());
    return page;
}

std::shared_ptr<brelmont::job::Document> brailleDocument(std::vector<PagePtr> emboss) {
    auto doc = std::make_shared<brelmont::job::Document>();
    doc->m_fileURL = "/jobs/braille.kprn";
    doc->m_embPages = std::move(emboss);
    return doc;
}

} // namespace

// Zoom grows the window until its screen holds no more, then the pages inside their views, which
// scroll by keys; each step says the level. (How the window grows, the order zooming out undoes
// it, and the level's label in the status bar are left to the eye.)
TEST(ViewerWindow, ZoomGrowsTheWindowThenThePagesAndSaysTheLevel) {
    Viewer v(guitest::document(guitest::job(1, 1)));
    const QRect screen = v.window.screen()->availableGeometry();
    v.window.setGeometry(QRect(QPoint(), QSize(300, 200)).translated(screen.center() - QPoint(150, 100)));
    QTRY_COMPARE(v.window.geometry().size(), QSize(300, 200));
    QSignalSpy said(brelmont::widgets::StatusLine::of(&v.window), &brelmont::widgets::StatusLine::said);
    ClickableImageView* ink = v.content->m_inkImageView;
    ClickableImageView* emboss = v.content->m_embImageView;
    const auto level = [&] {
        return QString::fromStdString(
            zoomLevelText(int(std::lround(ink->scale() * 100)), int(std::lround(emboss->scale() * 100))));
    };
    for (int i = 0; i < 60 && v.window.actionZoomIn()->isEnabled(); ++i) {
        v.window.actionZoomIn()->trigger();
        QCoreApplication::processEvents();
        EXPECT_TRUE(screen.contains(v.window.frameGeometry())) << i;
    }
    EXPECT_FALSE(v.window.actionZoomIn()->isEnabled());
    EXPECT_DOUBLE_EQ(v.content->pageZoom(), MaxPageZoom);
    EXPECT_EQ(said.last().at(0).toString(), level() + ".");
    EXPECT_GT(emboss->verticalScrollBar()->maximum(), 0);
    EXPECT_GT(emboss->horizontalScrollBar()->maximum(), 0);

    emboss->setFocus();
    const int top = emboss->verticalScrollBar()->value(), left = emboss->horizontalScrollBar()->value();
    QTest::keyClick(emboss, Qt::Key_Down);
    QTest::keyClick(emboss, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_GT(emboss->verticalScrollBar()->value(), top);
    EXPECT_LT(emboss->horizontalScrollBar()->value(), left);
    QTest::keyClick(emboss, Qt::Key_Right); // the plain arrows still page
    EXPECT_EQ(said.last().at(0).toString(), "There is no next page; page 1 of 1 is the last.");
}

// A page of its view's own shape, zoomed in and back: no scroll bar stays behind.
TEST(ViewerWindow, APageOfTheViewsShapeKeepsNoScrollBarsAfterZoom) {
    ClickableImageView view;
    view.resize(104, 204); // the page and the 2-point margin on each side
    view.setImage(QImage(50, 100, QImage::Format_RGB32), QSize(50, 100));
    guitest::showActive(&view);
    view.setZoom(2);
    QCoreApplication::processEvents();
    view.setZoom(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.horizontalScrollBar()->maximum() + view.verticalScrollBar()->maximum(), 0);
}

// A job whose decoding stops partway opens with the pages made so far and says where it stopped,
// in a label Tab reaches that also describes the page views.
TEST(ViewerWindow, ADamagedJobSaysWhereDecodingStopped) {
    brelmont::testing::ByteVector bytes = guitest::job(2, 0);
    const QString where = QStringLiteral("at byte %1").arg(bytes.size());
    bytes.push_back('Z'); // a byte that starts no command
    Viewer v(guitest::document(bytes));
    auto* note = guitest::find<QLabel>(&v.window, "m_lbDecodeNote");
    EXPECT_EQ(v.content->pageCount(), 2);
    EXPECT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().startsWith("Decoding stopped early") && note->text().contains(where)) << note->text().toStdString();
    EXPECT_EQ(v.content->m_embImageView->accessibleDescription(), note->text());
    EXPECT_TRUE(note->focusPolicy() & Qt::TabFocus);
}

// On the last page Next goes off and hands the focus to the page, whose name says it is the last;
// the status line does not say it again. (A page change said once, from the focused Next button,
// is heard in the screen reader test.)
// Ctrl+B then shows the core's braille text in place of the image, with the focus; PageUp pages from
// inside it while arrows move the caret, and Tab leaves it; Ctrl+B again gives the image its place
// and the focus back.
TEST(ViewerWindow, NextOnTheLastPageHandsTheFocusToThePageAndCtrlBShowsItsBrailleText) {
    const PagePtr first = braillePage("ab\nc d");
    Viewer v(brailleDocument({first, braillePage("a")}));
    QWidget* next = v.window.toolBar()->widgetForAction(v.window.actionPageForward());
    ClickableImageView* image = v.content->m_embImageView;
    next->setFocus();
    QSignalSpy said(brelmont::widgets::StatusLine::of(&v.window), &brelmont::widgets::StatusLine::said);
    QTest::keyClick(next, Qt::Key_Space);
    EXPECT_FALSE(next->isEnabled());
    EXPECT_TRUE(image->hasFocus());
    EXPECT_EQ(accessibleName(image), "Emboss page 2 of 2, last page");
    EXPECT_EQ(said.count(), 0); // the page's name said it

    QTest::keyClick(image, Qt::Key_B, Qt::ControlModifier);
    QPlainTextEdit* text = v.content->m_embTextView;
    ASSERT_TRUE(text->hasFocus());
    EXPECT_TRUE(image->isHidden());
    EXPECT_EQ(text->toPlainText(), QString::fromUtf8("\u2801"));
    EXPECT_EQ(accessibleName(text), "Emboss page 2 of 2 as braille text, last page");
    EXPECT_EQ(v.content->m_lbEmbPage->buddy(), text);
    QTest::keyClick(text, Qt::Key_PageUp);
    QTest::keyClick(text, Qt::Key_Right); // the caret's, not the page's
    EXPECT_EQ(v.content->currentPage(), 0);
    EXPECT_EQ(text->toPlainText().toStdString() + "\n", brailleText(*first));
    EXPECT_TRUE(text->hasFocus());
    QTest::keyClick(text, Qt::Key_Tab); // Tab leaves the text rather than typing into it
    EXPECT_FALSE(text->hasFocus());
    text->setFocus();

    QTest::keyClick(text, Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(text->isHidden());
    EXPECT_TRUE(image->hasFocus());
    EXPECT_EQ(v.content->m_lbEmbPage->buddy(), image);
    EXPECT_EQ(accessibleName(image), "Emboss page 1 of 2, first page");
}

// The BRF holds the braille pages; a graphic is left out and the alert says so. High contrast then
// never draws a dot smaller than HighContrastDotPoints on screen, even on a page shrunk to fit a
// small window; the emboss page then scrolls, and its new size is said.
TEST(ViewerWindow, ExportWritesTheBrfAndHighContrastDotsKeepTheirLeastSize) {
    guitest::TempDir dir;
    using namespace brelmont::testing;
    PagePtr graphic = PageData::create(200, 200, 2);
    const ByteVector cells = tactileGraphicCells(200, 200);
    std::memcpy(graphic->m_bytes, cells.data(), cells.size());
    Viewer v(brailleDocument({braillePage("ab\nc d"), graphic, braillePage("e")}));
    v.window.m_askExportPath = [&](QWidget*, const QString&) {
        return QString::fromStdString((dir.path() / "out.brf").string());
    };
    guitest::Alerts alerts;
    v.window.actionExportBraille()->trigger();
    EXPECT_EQ(brelmont::testing::fileText(dir.path() / "out.brf"), "AB\r\nC D\r\n\fE\r\n");
    EXPECT_EQ(alerts.take(), QStringList{"2 pages of braille written to out.brf.\n\n"
                                         "Emboss page 2 is a tactile graphic, not braille cells; it was left out."});

    v.window.resize(400, 300);
    QTRY_COMPARE(v.window.size(), QSize(400, 300));
    ClickableImageView* emboss = v.content->m_embImageView;
    const double smallest = smallestDotDiameter(*emboss->m_page, EmbossLook::HighContrast);
    ASSERT_LT(emboss->scale() * smallest, HighContrastDotPoints);
    QSignalSpy said(brelmont::widgets::StatusLine::of(&v.window), &brelmont::widgets::StatusLine::said);
    v.window.actionHighContrast()->trigger();
    EXPECT_GE(emboss->scale() * smallest, HighContrastDotPoints - 1e-9);
    EXPECT_GT(emboss->verticalScrollBar()->maximum(), 0);
    ASSERT_EQ(said.count(), 1);
    EXPECT_EQ(said.at(0).at(0).toString(), QString("Zoom %1%.").arg(std::lround(emboss->scale() * 100)));
}
