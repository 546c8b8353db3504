// The viewer's print command: Print… (Ctrl+P, on the toolbar and in the File menu) presses the
// hidden print button when the job has a page, and the click presents the send-job sheet for that
// window's job.
#include "app/DocumentController.h"
#include "sendfile/ui/SendFileDlg.h"
#include "sendfile/ui/SendWindows.h"
#include "viewer/window/ViewController.h"
#include "viewer/window/WindowController.h"

#include "GuiTestSupport.h"
#include "SendWindowTestSupport.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QToolBar>

using brelmont::app::DocumentController;
using brelmont::sendfile::SendFileDlg;
using brelmont::viewer::WindowController;
using guitest::accessibleName;

namespace {

struct Documents {
    Documents() {
        controller.m_presentSendJob = [this](WindowController* window) {
            ++presented;
            brelmont::sendfile::presentSendFileDlg(window, window->document(), sendtest::queues({"Hall"}, {"h"}, {131201}));
        };
    }
    WindowController* open(int emboss, int ink) {
        WindowController* window = controller.makeWindowControllers(guitest::document(guitest::job(emboss, ink)));
        window->show();
        (void)QTest::qWaitForWindowExposed(window);
        return window;
    }
    DocumentController controller;
    int presented = 0;
};

} // namespace

TEST(PrintCommand, PresentsTheSendJobSheetForTheWindowsJob) {
    Documents d;
    WindowController* window = d.open(1, 1);
    QPushButton* button = window->viewController()->m_buttonPrint;
    ASSERT_TRUE(button);
    EXPECT_TRUE(button->isHidden());
    ASSERT_TRUE(window->actionPrint()->isEnabled());
    EXPECT_EQ(window->actionPrint()->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));

    window->actionPrint()->trigger();
    EXPECT_EQ(d.presented, 1);
    auto* sheet = window->findChild<SendFileDlg*>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->document(), window->document());
    sheet->clickDismiss();
}

TEST(PrintCommand, AJobWithoutPagesOffersNoPrinting) {
    Documents d;
    WindowController* window = d.open(0, 0);
    EXPECT_FALSE(window->actionPrint()->isEnabled());
    EXPECT_FALSE(window->viewController()->printFile());
    EXPECT_EQ(d.presented, 0);
    EXPECT_FALSE(window->findChild<SendFileDlg*>());
}

TEST(PrintCommand, TheToolbarButtonIsNamedAndTakesTabFocus) {
    Documents d;
    WindowController* window = d.open(1, 0);
    QWidget* button = window->toolBar()->widgetForAction(window->actionPrint());
    ASSERT_TRUE(button);
    EXPECT_EQ(accessibleName(button), "Print…");
    EXPECT_EQ(button->focusPolicy(), Qt::TabFocus);
}
