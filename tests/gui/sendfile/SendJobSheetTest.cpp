// The send-job sheet offscreen: the queue list for the job's model, the no-pages alert, the job's
// bytes sent through the private work file, and how the sheet is named and shown.
#include "printer/PjlHelper.h"
#include "sendfile/SendJob.h"
#include "sendfile/ui/SendFileDlg.h"
#include "sendfile/ui/SendWindows.h"

#include "GuiTestSupport.h"
#include "SendWindowTestSupport.h"
#include "StandInLpr.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <fstream>
#include <unistd.h>

using sendtest::Queues;
using brelmont::sendfile::SendFileDlg;
using brelmont::testing::StandInLpr;
using guitest::accessibleName;
namespace fs = std::filesystem;

namespace {

bool workFilesLeft() { return !fs::is_empty(brelmont::printer::PjlHelper::workDir()); }

// The job of guitest::job() names the Merriden (131201).
const Queues Listed = sendtest::queues({"", "Hall", "Office", "Annex"}, {"m", "h", "o", "a"}, {131201, 221201, 131201, 0});

struct Sheet {
    explicit Sheet(std::shared_ptr<const brelmont::job::Document> document, Queues choices = Listed) {
        owner.resize(600, 400);
        owner.show();
        (void)QTest::qWaitForWindowExposed(&owner);
        sheet = brelmont::sendfile::presentSendFileDlg(&owner, std::move(document), std::move(choices));
        (void)QTest::qWaitForWindowExposed(sheet);
    }
    QPushButton* button(const char* name) { return sheet->findChild<QPushButton*>(QString::fromLatin1(name)); }
    bool open() { return sheet && sheet->isVisible(); }
    QMainWindow owner;
    QPointer<SendFileDlg> sheet;
};

} // namespace

TEST(SendJobSheet, ListsTheDisplayNamesAndPreselectsTheLastQueueOfTheJobsModel) {
    Sheet s(guitest::document(guitest::job(1, 0)));
    QComboBox* combo = s.sheet->m_comboPrinters;
    ASSERT_EQ(combo->count(), 4);
    EXPECT_EQ(combo->itemText(0), ""); // no fall-back to make-and-model here
    EXPECT_EQ(combo->itemText(1), "Hall");
    EXPECT_EQ(combo->currentIndex(), 2);

    Sheet other(guitest::document(guitest::job(1, 0)), sendtest::queues({"Hall", "Annex"}, {"h", "a"}, {221201, 0}));
    // No queue of the job's model: none chosen, and Send waits for a choice.
    EXPECT_EQ(other.sheet->m_comboPrinters->currentIndex(), -1);
    EXPECT_FALSE(other.button("m_buttonSend")->isEnabled());
    other.sheet->m_comboPrinters->setCurrentIndex(1);
    EXPECT_TRUE(other.button("m_buttonSend")->isEnabled());
}

TEST(SendJobSheet, IsModalOverItsViewerAndNamedForScreenReaders) {
    Sheet s(guitest::document(guitest::job(1, 0), "/jobs/hall.kprn"));
    EXPECT_EQ(s.sheet->parentWidget(), &s.owner);
    EXPECT_EQ(s.sheet->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sendtest::labelledBy(s.sheet->m_comboPrinters), "Queue:");
    EXPECT_EQ(accessibleName(s.button("m_buttonSend")), "Send");
    EXPECT_EQ(accessibleName(s.button("m_buttonCancel")), "Cancel");
    EXPECT_TRUE(s.button("m_buttonSend")->isDefault());
    EXPECT_EQ(s.sheet->findChild<QLabel*>(QStringLiteral("m_lbJob"))->text(), "Sends the job “hall.kprn” unchanged to an embosser queue.");
    EXPECT_EQ(guitest::clashingMnemonics(s.sheet), QStringList());
    QTest::keyClick(s.sheet->m_comboPrinters, Qt::Key_Escape);
    EXPECT_FALSE(s.open());
}

TEST(SendJobSheet, AJobWithoutPagesShowsTheErrorAndTheSheetStaysOpen) {
    guitest::TempDir scratch("sendsheet");
    const StandInLpr lpr(scratch.path());
    sendtest::Alerts alerts;
    for (auto document : {guitest::document(guitest::job(0, 0)), std::shared_ptr<brelmont::job::Document>()}) {
        Sheet s(document);
        s.button("m_buttonSend")->click();
        EXPECT_EQ(alerts.take(), QStringList{"The job could not be sent (error domain No such file, code 4)."});
        EXPECT_TRUE(s.open());
    }
    EXPECT_FALSE(workFilesLeft());
    EXPECT_FALSE(lpr.ran());
}

TEST(SendJobSheet, SendsTheJobsBytesToTheChosenQueueAndCloses) {
    guitest::TempDir scratch("sendsheet");
    const StandInLpr lpr(scratch.path());
    sendtest::Alerts alerts;
    const auto bytes = guitest::job(2, 1);
    Sheet s(guitest::document(bytes));
    s.sheet->m_comboPrinters->setCurrentIndex(3);
    QTest::keyClick(s.sheet->m_comboPrinters, Qt::Key_Return); // the default button: Send
    const auto arguments = lpr.arguments();
    ASSERT_TRUE(arguments && arguments->size() == 5);
    EXPECT_EQ(*arguments, StandInLpr::lprArguments("q3", arguments->back()));
    EXPECT_EQ(lpr.sentFile(), std::string(bytes.begin(), bytes.end()));
    EXPECT_FALSE(workFilesLeft());
    EXPECT_FALSE(s.open());
    EXPECT_TRUE(alerts.take().isEmpty());
}

TEST(SendJobSheet, AQueueThatRefusesTheJobIsShownWithLprsReasonAndTheSheetStays) {
    guitest::TempDir scratch("sendsheet");
    const StandInLpr lpr(scratch.path(), 1);
    sendtest::Alerts alerts;
    Sheet s(guitest::document(guitest::job(1, 0)));
    s.button("m_buttonSend")->click();
    EXPECT_EQ(alerts.take(), QStringList{"The job was not sent to the queue: lpr: Destination \"q\" is not accepting jobs."});
    EXPECT_TRUE(s.open());
    EXPECT_FALSE(workFilesLeft());
}

TEST(SendJobSheet, AWorkFileThatCannotBeWrittenIsShownAndNothingIsSent) {
    guitest::TempDir scratch("sendsheet");
    const StandInLpr lpr(scratch.path());
    sendtest::Alerts alerts;
    // A file where the private work folder belongs: no work file can be made.
    fs::remove_all(brelmont::printer::PjlHelper::workDir());
    std::ofstream(lpr.tmp() / ("brelmont-" + std::to_string(getuid()))) << "not a folder";
    Sheet s(guitest::document(guitest::job(1, 0)));
    s.button("m_buttonSend")->click();
    const QStringList shown = alerts.take();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("The job could not be written for sending, so nothing was sent: ")) << shown[0].toStdString();
    EXPECT_FALSE(lpr.ran());
}

TEST(SendJobSheet, EnterOnCancelClosesWithoutSending) {
    guitest::TempDir scratch("sendsheet");
    const StandInLpr lpr(scratch.path());
    Sheet s(guitest::document(guitest::job(1, 0)));
    sendtest::pressEnterOn(s.button("m_buttonCancel"));
    EXPECT_FALSE(s.open());
    EXPECT_FALSE(lpr.ran());
    EXPECT_FALSE(workFilesLeft());
}

TEST(SendJobSheet, WithNoQueueItSaysHowToAddOne) {
    sendtest::Alerts alerts;
    QMainWindow owner;
    EXPECT_EQ(brelmont::sendfile::presentSendFileDlg(&owner, guitest::document(guitest::job(1, 0)), Queues{}), nullptr);
    const QStringList shown = alerts.take();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("There is no print queue for a Brelmont embosser.")) << shown[0].toStdString();
}
