// The test page window offscreen against the private CUPS server: Print sends the page made for
// the queue's model and spacing to the simulated embosser and says so; a queue that refuses it is
// shown with lpr's reason and the window stays.
#include "sendfile/ui/TestPageDlg.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "GuiTestSupport.h"
#include "ScopedEnv.h"
#include "SendWindowTestSupport.h"
#include "TestPage.h"
#include "common/ModelCodes.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <thread>

namespace fs = std::filesystem;

namespace {

TEST(TestPageWindow, PrintsOnTheChosenQueueOrSaysWhyNot) {
    if (!brelmont::testing::CupsServer::available()) GTEST_SKIP() << "cupsd is not installed";
    guitest::TempDir scratch("testpagewin");
    const brelmont::testing::ScopedEnv tmp("TMPDIR", scratch.path().string());
    brelmont::testing::CupsServer cups;
    std::string error;
    ASSERT_TRUE(cups.start(&error)) << error;
    brelmont::testing::EmbosserSim sim("orvin");
    ASSERT_TRUE(cups.addQueue("Orvin_200", "Orvin 200", sim.uri(), "Orvin in the hall", brelmont::testing::embosserOptions(), &error))
        << error;
    cups.run("lpoptions -p Orvin_200 -o BrailleSpacing=National");
    cups.applyEnvironment();

    brelmont::sendfile::TestPageDlg window(brelmont::printer::Printers().items());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(sendtest::labelledBy(window.m_comboPrinters), "Queue:");
    EXPECT_EQ(guitest::clashingMnemonics(&window), QStringList());
    ASSERT_EQ(window.m_comboPrinters->currentText(), "Orvin in the hall");

    sendtest::Alerts alerts;
    QTest::keyClick(window.m_comboPrinters, Qt::Key_Return); // the default button: Print
    QStringList shown = alerts.take();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], "The test page went to the queue Orvin_200 (National braille spacing).");
    EXPECT_FALSE(window.isVisible());

    // The embosser got the page as made for its model and spacing (the PJL lines it takes as commands).
    const auto page = brelmont::testing::makeTestPage(brelmont::model::Orvin, "National");
    const std::string job(page.begin(), page.end()), enter = "@PJL ENTER LANGUAGE=TCL\r\n";
    const size_t start = job.find(enter) + enter.size();
    const std::string data = job.substr(start, job.rfind("\x1b%-12345X") - start);
    std::string received;
    for (int i = 0; i < 300 && received.size() < data.size(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        received.clear();
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(sim.storePath(), ec))
            if (entry.path().filename().string().starts_with("received-")) received += guitest::readFile(entry.path());
    }
    EXPECT_TRUE(received == data) << "received " << received.size() << " of " << data.size() << " bytes";

    // The queue gone by the time Print is pressed: lpr's reason, and the window stays.
    cups.removeQueue("Orvin_200");
    window.show();
    EXPECT_FALSE(window.printClick());
    shown = alerts.take();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith("The test page was not printed on Orvin_200: ")) << shown[0].toStdString();
    EXPECT_TRUE(window.isVisible());
}

} // namespace
