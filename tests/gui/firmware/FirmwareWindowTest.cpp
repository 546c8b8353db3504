// The firmware window offscreen against simulated embossers behind the private CUPS server and a
// local HTTPS server: its states with their exact texts, the recovery alert, and its names.
#include "firmware/ui/FirmwareUpdateViewController.h"
#include "widgets/MessageBox.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "GuiTestSupport.h"
#include "HttpsServer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

using brelmont::firmware::FirmwareState;
using brelmont::firmware::FirmwareUpdateViewController;
using brelmont::testing::CupsServer;
using brelmont::testing::EmbosserSim;
using brelmont::testing::HttpsServer;
using brelmont::widgets::MessageBox;
namespace fs = std::filesystem;

namespace {

class FirmwareWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!CupsServer::available()) return;
        cups = std::make_unique<CupsServer>();
        std::string error;
        ASSERT_TRUE(cups->start(&error)) << error;
        https = std::make_unique<HttpsServer>();
        orvin = std::make_unique<EmbosserSim>("orvin");
        valdo = std::make_unique<EmbosserSim>("valdo");
        // "Orvin_200" comes first in the listing, so the window takes it while it is attached.
        ASSERT_TRUE(cups->addQueue("Orvin_200", "Orvin 200", orvin->uri(), "Hall Orvin", {}, &error)) << error;
        ASSERT_TRUE(cups->addQueue("Valdo_Sheet", "Valdo Sheet", valdo->uri(), "Annex Valdo", {}, &error)) << error;
        cups->applyEnvironment();
        setenv("BRELMONT_DEVICES", "", 1);
        setenv("BRELMONT_RESOURCE_DIR", fs::path(BRELMONT_PJLHELPER).parent_path().c_str(), 1);
        setenv("BRELMONT_UPDATE_ROOT", https->url("autoupdate/AI/").c_str(), 1);
        setenv("BRELMONT_CA_FILE", https->caFile().c_str(), 1);
        https->serve("files/valdo.bin", "BRFW valdo firmware");
        https->serve("files/orvin.bin", "BRFW orvin firmware");
        https->serve("autoupdate/AI/firmware.json",
                     R"({"fw":[{"version":"2.4.0","url":")" + https->url("files/valdo.bin") +
                         R"(","ext":"bin","model":121201,"size":19},{"version":"1.5.0","url":")" + https->url("files/orvin.bin") +
                         R"(","ext":"bin","model":221201,"size":19}]})");
    }
    static void TearDownTestSuite() {
        orvin.reset();
        valdo.reset();
        https.reset();
        cups.reset();
    }
    void SetUp() override {
        if (!cups) GTEST_SKIP() << "cupsd is not installed";
        MessageBox::setPresenter([this](const QString& text) { alerts << text; });
    }
    void TearDown() override {
        QApplication::processEvents();
        MessageBox::setPresenter({});
    }

    // The window once its check has come back.
    std::unique_ptr<FirmwareUpdateViewController> opened() {
        auto window = std::make_unique<FirmwareUpdateViewController>();
        EXPECT_TRUE(window->viewDidLoad());
        window->show();
        waitUntil([&] { return window->update().state() != FirmwareState::Checking; });
        return window;
    }
    static void waitUntil(const std::function<bool()>& done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done() && std::chrono::steady_clock::now() < end) QTest::qWait(20);
    }
    // Whether the embosser received exactly these bytes (through the scheduler, so in a while).
    static bool receivedFile(const EmbosserSim& sim, const std::string& bytes) {
        bool found = false;
        waitUntil([&] {
            if (fs::exists(sim.storePath()))
                for (const auto& f : fs::directory_iterator(sim.storePath()))
                    found = found || guitest::readFile(f.path()) == bytes;
            return found;
        });
        return found;
    }
    static QString info(QWidget* window) { return window->findChild<QPlainTextEdit*>("m_info")->toPlainText(); }
    static QPushButton* button(QWidget* window, const char* name) { return window->findChild<QPushButton*>(name); }

    static inline std::unique_ptr<CupsServer> cups;
    static inline std::unique_ptr<HttpsServer> https;
    static inline std::unique_ptr<EmbosserSim> orvin, valdo;
    QStringList alerts;
};

const QString ValdoOffer = "Device Annex Valdo\nFirmware 2.3.1\n\nFirmware Update Version 2.4.0 is available for Annex Valdo\n";
const QString Received = "\nFirmware file has been received.\nClick on Update to continue the Embosser update.\n";
const QString Sending = "\nSending firmware file to Embosser.\nDon't turn off the device until it has finished!";

} // namespace

// Offered, Received, Sending and Sent, with the texts and buttons of each; the file reaches the
// embosser's queue.
TEST_F(FirmwareWindow, WalksFromTheOfferToTheSentFile) {
    orvin->stop(); // the Valdo is then the first embosser listed
    auto window = opened();
    EXPECT_EQ(window->windowTitle(), "Update Firmware");
    EXPECT_EQ(info(window.get()), ValdoOffer);
    EXPECT_EQ(button(window.get(), "m_buttonUpdate")->text(), "Download");
    EXPECT_TRUE(button(window.get(), "m_buttonUpdate")->isEnabled());

    button(window.get(), "m_buttonUpdate")->click();
    waitUntil([&] { return window->update().state() == FirmwareState::Received; });
    ASSERT_EQ(window->update().state(), FirmwareState::Received);
    EXPECT_EQ(info(window.get()), ValdoOffer + Received);
    EXPECT_EQ(button(window.get(), "m_buttonUpdate")->text(), "Update");
    EXPECT_EQ(window->findChild<QProgressBar*>("m_progress")->value(), 1);

    button(window.get(), "m_buttonUpdate")->click(); // returns when the queue has taken the file
    EXPECT_EQ(window->update().state(), FirmwareState::Sent);
    EXPECT_EQ(info(window.get()), ValdoOffer + Received + Sending + "\nThe embosser's queue has taken the firmware file.\n");
    EXPECT_FALSE(button(window.get(), "m_buttonUpdate")->isEnabled());
    EXPECT_EQ(button(window.get(), "m_buttonCancel")->text(), "Close");
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join('|').toStdString();
    EXPECT_TRUE(receivedFile(*valdo, "BRFW valdo firmware"));
    orvin->restart();
}

// An Orvin not in update mode: the recovery alert at every press, nothing sent, Update stays.
TEST_F(FirmwareWindow, AnOrvinNotInUpdateModeGetsTheRecoveryAlertEachTime) {
    auto window = opened();
    ASSERT_EQ(window->update().state(), FirmwareState::Offered) << info(window.get()).toStdString();
    button(window.get(), "m_buttonUpdate")->click();
    waitUntil([&] { return window->update().state() == FirmwareState::Received; });
    for (int press = 0; press < 2; ++press) button(window.get(), "m_buttonUpdate")->click();
    QApplication::processEvents();
    const QString alertC = "Firmware could not be installed!Power cycle the embosser while holding down all 3 buttons on the "
                           "operator panel.\nWait for the red Warning light goes on,\nthen press Update to continue.";
    EXPECT_EQ(alerts, QStringList({alertC, alertC}));
    EXPECT_TRUE(button(window.get(), "m_buttonUpdate")->isEnabled());
    EXPECT_EQ(orvin->logText().find("bytes of data"), std::string::npos);
}

TEST_F(FirmwareWindow, NoEmbosserAttachedIsSaidAndEveryControlIsNamed) {
    orvin->stop();
    valdo->stop();
    auto window = opened();
    orvin->restart();
    valdo->restart();
    EXPECT_TRUE(info(window.get()).startsWith("No device attached to port usb://"));
    EXPECT_TRUE(info(window.get()).contains("brelmont-cli doctor"));
    EXPECT_FALSE(button(window.get(), "m_buttonUpdate")->isEnabled());
    EXPECT_EQ(guitest::accessibleName(window->findChild<QPlainTextEdit*>("m_info")), "Information:");
    EXPECT_EQ(guitest::accessibleName(window->findChild<QProgressBar*>("m_progress")), "Download:");
    EXPECT_EQ(guitest::clashingMnemonics(window.get()), QStringList());
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}
