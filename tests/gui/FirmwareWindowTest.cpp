// The firmware window against the simulated embossers and a local HTTPS server: its states with
// their texts and buttons, and the recovery alert.
#include "GuiTestSupport.h"
#include "HttpsServer.h"

#include "firmware/ui/FirmwareUpdateViewController.h"

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using brelmont::firmware::FirmwareState;
using brelmont::firmware::FirmwareUpdateViewController;
namespace fs = std::filesystem;

namespace {

class FirmwareWindow : public guitest::SystemTest {
protected:
    static void SetUpTestSuite() {
        SystemTest::SetUpTestSuite();
        https = std::make_unique<brelmont::testing::HttpsServer>();
        setenv("BRELMONT_DEVICES", "", 1);
        setenv("BRELMONT_UPDATE_ROOT", https->url("autoupdate/AI/").c_str(), 1);
        setenv("BRELMONT_CA_FILE", https->caFile().c_str(), 1);
        https->serve("files/valdo.bin", "BRFW valdo firmware");
        const std::string file = https->url("files/valdo.bin");
        https->serve("autoupdate/AI/firmware.json",
                     R"({"fw":[{"version":"2.4.0","url":")" + file + R"(","ext":"bin","model":121201,"size":19},)" +
                         R"({"version":"1.5.0","url":")" + file + R"(","ext":"bin","model":221201,"size":19}]})");
    }
    static void TearDownTestSuite() {
        https.reset();
        SystemTest::TearDownTestSuite();
    }
    // The window once its check has come back, and the file downloaded; with several embossers
    // attached, for the one whose line holds `chosen`.
    std::unique_ptr<FirmwareUpdateViewController> downloaded(const QString& chosen = {}) {
        auto window = std::make_unique<FirmwareUpdateViewController>();
        if (!chosen.isEmpty()) guitest::chooseEmbosserWhenAsked(chosen, offered);
        EXPECT_TRUE(window->viewDidLoad());
        window->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->update().state() != FirmwareState::Checking; }, 20000));
        EXPECT_EQ(button(window.get())->text(), "Download");
        // Idle: no progress to show, and the other button closes.
        EXPECT_FALSE(guitest::find<QProgressBar>(window.get(), "m_progress")->isVisible());
        EXPECT_EQ(guitest::find<QPushButton>(window.get(), "m_buttonCancel")->text(), "Close");
        button(window.get())->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->update().state() == FirmwareState::Received; }, 20000));
        EXPECT_EQ(button(window.get())->text(), "Update");
        EXPECT_EQ(guitest::find<QProgressBar>(window.get(), "m_progress")->value(), 1);
        return window;
    }
    static QPushButton* button(QWidget* window) { return guitest::find<QPushButton>(window, "m_buttonUpdate"); }
    static QString info(QWidget* window) { return guitest::text(window, "m_info"); }
    static inline std::unique_ptr<brelmont::testing::HttpsServer> https;
    std::shared_ptr<QStringList> offered = std::make_shared<QStringList>();
};

const QString ValdoOffer = "Device Annex Valdo\nFirmware 2.3.1\n\nFirmware Update Version 2.4.0 is available for Annex Valdo\n";
const QString Received = "\nFirmware file has been received.\nClick on Update to continue the Embosser update.\n";
const QString Sending = "\nSending firmware file to Embosser.\nDon't turn off the device until it has finished!";

} // namespace

// Offered, Received, Sending and Sent: the file reaches the embosser's queue.
TEST_F(FirmwareWindow, WalksFromTheOfferToTheSentFile) {
    orvin->stop(); // the Valdo is then the first embosser listed
    auto window = downloaded();
    EXPECT_EQ(info(window.get()), ValdoOffer + Received);
    button(window.get())->click(); // returns when the queue has taken the file
    orvin->restart();
    EXPECT_EQ(window->update().state(), FirmwareState::Sent);
    EXPECT_EQ(info(window.get()), ValdoOffer + Received + Sending + "\nThe embosser's queue has taken the firmware file.\n");
    EXPECT_FALSE(button(window.get())->isEnabled());
    EXPECT_EQ(guitest::find<QPushButton>(window.get(), "m_buttonCancel")->text(), "Close");
    EXPECT_TRUE(alerts.take().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(valdo->storePath()) && !fs::is_empty(valdo->storePath()), 20000);
}

// An Orvin not in update mode: the recovery alert at every press, nothing sent, Update stays.
TEST_F(FirmwareWindow, AnOrvinNotInUpdateModeGetsTheRecoveryAlertEachTime) {
    auto window = downloaded("Orvin");
    EXPECT_EQ(offered->size(), 2) << offered->join("; ").toStdString(); // both attached embossers, to choose from
    for (int press = 0; press < 2; ++press) button(window.get())->click();
    const QString alert =
        "Firmware could not be installed!Power cycle the embosser while holding down all 3 buttons on the "
        "operator panel.\nWait for the red Warning light goes on,\nthen press Update to continue.";
    EXPECT_EQ(alerts.take(), QStringList({alert, alert}));
    EXPECT_TRUE(button(window.get())->isEnabled());
    EXPECT_EQ(orvin->logText().find("bytes of data"), std::string::npos);
}
