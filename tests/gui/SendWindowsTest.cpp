// The send-file window and the send-job sheet through a stand-in lpr, and the test page window
// against the private CUPS server: what is sent, what is said when it is not, and the keyboard.
#include "GuiTestSupport.h"
#include "StandInLpr.h"

#include "sendfile/ui/SendFileDlg.h"
#include "sendfile/ui/SendFileViewController.h"
#include "sendfile/ui/SendWindows.h"
#include "sendfile/ui/TestPageDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using brelmont::sendfile::SendFileDlg;
using brelmont::sendfile::SendFileViewController;
using brelmont::testing::StandInLpr;
using guitest::find;
using Queues = std::vector<brelmont::printer::PrinterItem>;
namespace fs = std::filesystem;

namespace {

const Queues Listed = {{"", "q0", "Hall", 131201, false, "h"},
                       {"", "q1", "", 221201, false, "Brelmont Orvin 200"},
                       {"", "q2", "Office", 131201, false, "o"}};

struct Send : ::testing::Test {
    // The send-job sheet over `document`, on a window of its own.
    SendFileDlg* present(std::shared_ptr<const brelmont::job::Document> document, Queues queues = Listed) {
        guitest::showActive(&owner);
        sheet = brelmont::sendfile::presentSendFileDlg(&owner, std::move(document), std::move(queues));
        return sheet;
    }
    guitest::TempDir scratch{"send"};
    guitest::Alerts alerts;
    QMainWindow owner;
    QPointer<SendFileDlg> sheet;
};

} // namespace

// Nothing to send: the window stays and its status line says why. A queue that refuses the file:
// said in words there and in an alert, lpr's own message under Details, and the window stays. In
// the name field Enter is Send, which runs lpr on the typed file (a leading tilde is the home
// folder) and closes.
TEST_F(Send, TheFileWindowSaysWhatIsNotSentAndEnterSendsTheTypedFile) {
    const fs::path file = scratch.path() / "my job.prn";
    guitest::writeFile(file, "data");
    SendFileViewController window{Listed};
    guitest::showActive(&window);
    {
        const StandInLpr lpr(scratch.path());
        EXPECT_FALSE(window.sendClick());
        EXPECT_EQ(guitest::status(&window), "Choose a file with Browse, or type its path.");
        QTest::keyClicks(window.m_fileName, QString::fromStdString(file.string()).mid(1)); // the window puts the "/" first
        EXPECT_FALSE(lpr.ran());
    }
    {
        const StandInLpr refusing(scratch.path(), 1);
        EXPECT_FALSE(window.sendClick());
        QCoreApplication::processEvents(); // the alert is posted
        EXPECT_EQ(alerts.details, QStringList{"lpr: Destination \"q\" is not accepting jobs."});
        alerts.expectOne("The file was not sent to the queue q2: the queue refused it.", &window);
        EXPECT_TRUE(window.isVisible());
    }
    const StandInLpr lpr(scratch.path());
    const brelmont::testing::ScopedEnv home("HOME", scratch.path().string());
    window.m_fileName->clear();
    QTest::keyClicks(window.m_fileName, "~/my job.prn");
    QTest::keyClick(window.m_fileName, Qt::Key_Return);
    EXPECT_EQ(lpr.waitForArguments(), StandInLpr::lprArguments("q2", file.string())); // the last queue of a known model
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

// Enter sends the job to the chosen queue and closes. A job of another model goes only when the
// person agrees, asked with both models named.
TEST_F(Send, EnterSendsTheJobsBytesToTheSheetsChosenQueueAndClosesIt) {
    const StandInLpr lpr(scratch.path());
    const auto bytes = guitest::job(2, 1); // its ink block names the Vesk Ink
    present(guitest::document(bytes));
    sheet->m_comboPrinters->setCurrentIndex(0);
    alerts.agree = false;
    QTest::keyClick(sheet->m_comboPrinters, Qt::Key_Return);
    EXPECT_EQ(alerts.questions, QStringList{"This job was made for the Vesk Ink, but the queue Hall is for the Merriden, which "
                                            "may emboss it wrongly. Send it anyway?"});
    EXPECT_FALSE(lpr.ran());
    EXPECT_TRUE(sheet->isVisible());
    alerts.agree = true;
    QTest::keyClick(sheet->m_comboPrinters, Qt::Key_Return);
    EXPECT_EQ(lpr.sentFile(), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(lpr.arguments().value().at(3), "q0");
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(alerts.take().isEmpty());
}

// Each failure has its alert and the sheet stays; the core's own tests pin what is left behind,
// and a work folder that is not the user's.
TEST_F(Send, WhatTheSheetDoesNotSendIsSaidAndTheSheetStays) {
    const std::tuple<std::shared_ptr<brelmont::job::Document>, int, QString> cases[] = {
        // the job, lpr's exit status, the alert
        {guitest::document(guitest::job(0, 0)), 0, "The job could not be sent (error domain No such file, code 4)."},
        {guitest::document(guitest::job(1, 0)), 1, "The job was not sent to the queue q0."},
    };
    for (const auto& [document, lprStatus, said] : cases) {
        SCOPED_TRACE(said.toStdString());
        const StandInLpr lpr(scratch.path() / std::to_string(lprStatus), lprStatus);
        present(document);
        sheet->m_comboPrinters->setCurrentIndex(0);
        find<QPushButton>(sheet, "m_buttonSend")->click();
        alerts.expectOne(said, sheet);
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_EQ(lpr.ran(), lprStatus != 0);
        delete sheet;
    }
    EXPECT_EQ(brelmont::sendfile::presentSendFileDlg(&owner, guitest::document(guitest::job(1, 0)), Queues{}), nullptr);
    alerts.expectOne("There is no print queue for a Brelmont embosser.");
}

class TestPageWindow : public guitest::SystemTest {};

// A queue gone by the time Print is pressed is said, and the window stays. (The page in the queue's
// spacing is the command line's end-to-end test, through the same core.)
TEST_F(TestPageWindow, AQueueGoneIsSaidAndTheWindowStays) {
    brelmont::sendfile::TestPageDlg window(brelmont::printer::Printers().items());
    guitest::showActive(&window);
    window.m_comboPrinters->setCurrentIndex(window.m_comboPrinters->findText("Hall Orvin"));
    cups->removeQueue("Orvin_200");
    EXPECT_FALSE(window.printClick());
    alerts.expectOne("The test page was not printed on Hall Orvin.", &window);
    EXPECT_TRUE(window.isVisible());
}
