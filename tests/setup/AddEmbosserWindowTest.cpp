// The Add Embosser window offscreen against the private CUPS server and a simulated embosser: a
// typed address becomes a list entry and then a queue, each outcome in the status line and an
// alert, and every control is named for a screen reader.
#include "GuiTestSupport.h"
#include "SetupFixture.h"
#include "printer/Assignments.h"
#include "setup/ui/AddEmbosserDlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using brelmont::setup::ui::AddEmbosserDlg;
using brelmont::testing::EmbosserSim;
using guitest::find;

namespace {

class AddEmbosserWindow : public brelmont::testing::SetupFixture {};

} // namespace

TEST_F(AddEmbosserWindow, ATypedAddressBecomesAQueueAndEveryControlIsNamed) {
    EmbosserSim fenwa("merriden", {"--device-id", "MFG:Brelmont;MDL:Fenwa;CMD:PJL;"});
    guitest::Alerts alerts;
    AddEmbosserDlg window;
    window.m_dnsSdTime = std::chrono::milliseconds(0);
    guitest::showActive(&window);

    EXPECT_EQ(guitest::unnamedControls(&window), QStringList());
    EXPECT_EQ(guitest::clashingMnemonics(&window), QStringList());
    EXPECT_EQ(guitest::tabStops(window.m_listEmbossers),
              (QStringList{"m_listEmbossers", "m_tfAddress", "m_buttonAddAddress", "m_buttonSearch", "m_buttonClose"}));

    ASSERT_TRUE(window.search());
    EXPECT_EQ(window.m_listEmbossers->count(), 0);
    EXPECT_TRUE(window.status().startsWith("No Brelmont embosser without a queue was found.")) << window.status().toStdString();
    EXPECT_FALSE(find<QPushButton>(&window, "m_buttonAddQueue")->isEnabled());

    // Enter in the field adds the address; one that is no address is said and kept for a correction.
    QApplication::setActiveWindow(&window); // the search's progress window, when it came up, took it
    window.m_tfAddress->setFocus();
    QTest::keyClicks(window.m_tfAddress, "ipp://hall");
    QTest::keyClick(window.m_tfAddress, Qt::Key_Return);
    alerts.expectOne("That is not the address of a network embosser: ipp://hall is not a socket:// address");
    EXPECT_EQ(window.m_tfAddress->text(), "ipp://hall");
    window.m_tfAddress->clear();
    QTest::keyClicks(window.m_tfAddress, QString::fromStdString(fenwa.uri()));
    QTest::keyClick(window.m_tfAddress, Qt::Key_Return);
    EXPECT_EQ(alerts.take(), QStringList());
    ASSERT_EQ(window.m_listEmbossers->count(), 1);
    EXPECT_EQ(window.m_listEmbossers->item(0)->text().toStdString(),
              "Fenwa at " + fenwa.uri() + " (typed address), new queue Fenwa_127_0_0_1");
    EXPECT_TRUE(window.m_tfAddress->text().isEmpty());

    QTest::mouseClick(find<QPushButton>(&window, "m_buttonAddQueue"), Qt::LeftButton);
    const QString made = QString::fromStdString("The queue Fenwa_127_0_0_1 was made for the Fenwa at " + fenwa.uri() + ".");
    alerts.expectOne(made);
    EXPECT_EQ(window.status(), made);
    EXPECT_EQ(window.m_listEmbossers->count(), 0);
    EXPECT_EQ(brelmont::printer::assignmentValue(cups->run("lpoptions -p Fenwa_127_0_0_1").out, "printer-make-and-model="),
              "Fenwa");

    EXPECT_TRUE(cups->removeQueue("Fenwa_127_0_0_1"));
}
