// The send-file window offscreen: the queue list, a typed or browsed file sent through a stand-in
// lpr, a window that stays open (and says why) when there is nothing to send, and how it is named
// and worked by keyboard.
#include "sendfile/ui/SendFileViewController.h"

#include "GuiTestSupport.h"
#include "SendWindowTestSupport.h"
#include "ScopedEnv.h"
#include "StandInLpr.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using sendtest::Queues;
using brelmont::sendfile::SendFileViewController;
using brelmont::testing::StandInLpr;
using guitest::accessibleName;
namespace fs = std::filesystem;

namespace {

struct Window {
    explicit Window(Queues choices) : window(std::move(choices)) {
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }
    QPushButton* button(const char* name) { return window.findChild<QPushButton*>(QString::fromLatin1(name)); }
    QString status() { return window.findChild<QLabel*>(QStringLiteral("m_lbStatus"))->text(); }
    // Typing, as a user does (a changed text is a newly named file).
    void type(const QString& text) {
        window.m_fileName->clear();
        QTest::keyClicks(window.m_fileName, text);
    }
    SendFileViewController window;
};

const Queues ThreeQueues = sendtest::queues({"Hall", "", "Office"}, {"h", "Brelmont Orvin 200", "o"}, {131201, 221201, 0});

// A path as typed into the field: the window puts the "/" in front.
QString typed(const fs::path& path) { return QString::fromStdString(path.string()).mid(1); }

} // namespace

TEST(SendFileWindow, ListsEveryQueueAndPreselectsTheLastOfAKnownModel) {
    Window w(ThreeQueues);
    QComboBox* combo = w.window.m_comboPrinters;
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "Hall");
    EXPECT_EQ(combo->itemText(1), "Brelmont Orvin 200"); // no display name: its make-and-model
    EXPECT_EQ(combo->itemText(2), "Office");
    EXPECT_EQ(combo->currentIndex(), 1);

    Window none(Queues{});
    EXPECT_EQ(none.window.m_comboPrinters->count(), 0);
    EXPECT_EQ(none.window.m_comboPrinters->currentIndex(), -1);
}

TEST(SendFileWindow, EveryControlIsNamedAndReachableByKeyboard) {
    Window w(ThreeQueues);
    SendFileViewController& win = w.window;
    EXPECT_EQ(win.objectName(), "sendFileWindowController");
    EXPECT_EQ(accessibleName(win.m_fileName), "File:");
    EXPECT_EQ(sendtest::labelledBy(win.m_fileName), "File:");
    EXPECT_EQ(sendtest::labelledBy(win.m_comboPrinters), "Queue:");
    EXPECT_EQ(accessibleName(w.button("m_buttonBrowse")), "Browse…");
    EXPECT_EQ(accessibleName(w.button("m_buttonSend")), "Send");
    EXPECT_EQ(accessibleName(w.button("m_buttonCancel")), "Cancel");
    EXPECT_EQ(guitest::clashingMnemonics(&win), QStringList());

    // Tab goes round these controls and nothing else (no empty stop on the status line).
    const QList<QWidget*> order = {win.m_fileName, w.button("m_buttonBrowse"), win.m_comboPrinters, w.button("m_buttonSend"),
                                   w.button("m_buttonCancel")};
    EXPECT_EQ(sendtest::tabCycle(win.m_fileName), order);
    EXPECT_TRUE(w.button("m_buttonSend")->isDefault());
}

TEST(SendFileWindow, ATypedNameIsSentFromTheRootFolderAndTheWindowCloses) {
    guitest::TempDir scratch("sendwin");
    const StandInLpr lpr(scratch.path());
    const fs::path file = scratch.path() / "job.prn";
    guitest::writeFile(file, std::string("data"));
    Window w(ThreeQueues);
    w.type(typed(file));
    QTest::keyClick(w.window.m_fileName, Qt::Key_Return); // the default button: Send
    EXPECT_EQ(lpr.waitForArguments(), StandInLpr::lprArguments("q1", file.string()));
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.window.result(), QDialog::Accepted);
}

TEST(SendFileWindow, ALeadingTildeIsTheHomeFolder) {
    guitest::TempDir scratch("sendwin");
    const StandInLpr lpr(scratch.path());
    const brelmont::testing::ScopedEnv home("HOME", scratch.path().string());
    guitest::writeFile(scratch.path() / "my job.prn", std::string("data"));
    Window w(ThreeQueues);
    w.type("~/my job.prn");
    QTest::keyClick(w.window.m_fileName, Qt::Key_Return);
    EXPECT_EQ(lpr.waitForArguments(), StandInLpr::lprArguments("q1", (scratch.path() / "my job.prn").string()));
}

// A queue that does not take the file: lpr's own reason in an alert, and the window stays with the
// file chosen, to try again or cancel.
TEST(SendFileWindow, ARefusedSendIsShownWithLprsReasonAndTheWindowStays) {
    guitest::TempDir scratch("sendwin");
    const StandInLpr lpr(scratch.path(), 1);
    sendtest::Alerts alerts;
    const fs::path file = scratch.path() / "job.prn";
    guitest::writeFile(file, std::string("data"));
    Window w(ThreeQueues);
    w.type(typed(file));
    EXPECT_FALSE(w.window.sendClick());
    EXPECT_EQ(alerts.take(), QStringList{"The file was not sent to the queue: lpr: Destination \"q\" is not accepting jobs."});
    EXPECT_TRUE(w.window.isVisible());
}

TEST(SendFileWindow, ABrowsedFileIsSentByItsLocalPath) {
    guitest::TempDir scratch("sendwin");
    const StandInLpr lpr(scratch.path());
    const fs::path file = scratch.path() / "my job 100% #1 é.prn";
    guitest::writeFile(file, std::string("data"));
    Window w(ThreeQueues);
    const QString path = QString::fromStdString(file.string());
    w.window.m_askFile = [](QWidget*) { return QString(); }; // cancelled: nothing changes
    w.button("m_buttonBrowse")->click();
    EXPECT_EQ(w.window.m_fileName->text(), "");
    w.window.m_askFile = [path](QWidget*) { return path; };
    w.button("m_buttonBrowse")->click();
    EXPECT_EQ(w.window.m_fileName->text(), "my job 100% #1 é.prn");
    EXPECT_EQ(w.window.fileUrl().toLocalFile(), path);
    w.window.m_comboPrinters->setCurrentIndex(2);
    w.button("m_buttonSend")->click();
    EXPECT_EQ(lpr.waitForArguments(), StandInLpr::lprArguments("q2", file.string()));
    EXPECT_FALSE(w.window.isVisible());
}

TEST(SendFileWindow, WithoutAQueueOrAFileTheWindowStaysOpenAndSendsNothing) {
    guitest::TempDir scratch("sendwin");
    const StandInLpr lpr(scratch.path());
    sendtest::Alerts alerts;
    const fs::path file = scratch.path() / "job.prn";
    guitest::writeFile(file, std::string("data"));

    Window noQueues(Queues{});
    noQueues.type(typed(file));
    EXPECT_FALSE(noQueues.window.sendClick());
    EXPECT_TRUE(noQueues.window.isVisible());
    EXPECT_EQ(noQueues.status(), "There is no queue to send to.");

    Window w(ThreeQueues);
    EXPECT_FALSE(w.window.sendClick()); // no name at all
    EXPECT_EQ(w.status(), "Choose a file with Browse, or type its path.");
    w.type(typed(scratch.path())); // a folder
    EXPECT_FALSE(w.window.sendClick());
    EXPECT_EQ(w.status(), "Choose a file with Browse, or type its path.");
    w.type(typed(scratch.path() / "missing.prn"));
    EXPECT_FALSE(w.window.sendClick());
    EXPECT_EQ(w.status(), QStringLiteral("There is no file %1.").arg(QString::fromStdString((scratch.path() / "missing.prn").string())));
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_FALSE(lpr.ran());
    EXPECT_TRUE(alerts.take().isEmpty());

    // The name corrected after a miss is looked up afresh.
    w.type(typed(file));
    EXPECT_EQ(w.status(), "");
    EXPECT_TRUE(w.window.sendClick());
    EXPECT_EQ(lpr.waitForArguments(), StandInLpr::lprArguments("q1", file.string()));
}

TEST(SendFileWindow, EscapeAndCancelCloseWithoutSending) {
    guitest::TempDir scratch("sendwin");
    const StandInLpr lpr(scratch.path());
    const fs::path file = scratch.path() / "job.prn";
    guitest::writeFile(file, std::string("data"));
    {
        Window w(ThreeQueues);
        w.type(typed(file));
        QTest::keyClick(w.window.m_fileName, Qt::Key_Escape);
        EXPECT_FALSE(w.window.isVisible());
        EXPECT_EQ(w.window.result(), QDialog::Rejected);
    }
    {
        Window w(ThreeQueues);
        w.type(typed(file));
        w.button("m_buttonCancel")->click();
        EXPECT_FALSE(w.window.isVisible());
    }
    {
        // Enter presses the button that has the focus, not Send.
        Window w(ThreeQueues);
        w.type(typed(file));
        int asked = 0;
        w.window.m_askFile = [&asked](QWidget*) { ++asked; return QString(); };
        sendtest::pressEnterOn(w.button("m_buttonBrowse"));
        EXPECT_EQ(asked, 1);
        EXPECT_TRUE(w.window.isVisible());
        sendtest::pressEnterOn(w.button("m_buttonCancel"));
        EXPECT_FALSE(w.window.isVisible());
        EXPECT_EQ(w.window.result(), QDialog::Rejected);
    }
    EXPECT_FALSE(lpr.ran());
}
