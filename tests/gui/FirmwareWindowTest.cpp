// The firmware window against the simulated embossers and a local HTTPS server: the walk from the
// offer to the sent file, with its buttons and the outcome said. (Which embossers may be sent a file, and the
// recovery rules, are the firmware engine's tests.)
#include "GuiTestSupport.h"
#include "HttpsServer.h"

#include "firmware/ui/FirmwareUpdateViewController.h"

#include <QPlainTextEdit>
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
                     R"({"fw":[{"version":"2.4.0","url":")" + file + R"(","ext":"bin","model":121201,"size":19}]})");
    }
    static void TearDownTestSuite() {
        https.reset();
        SystemTest::TearDownTestSuite();
    }
    static inline std::unique_ptr<brelmont::testing::HttpsServer> https;
};

// Offered, Received, Sending and Sent: the file reaches the embosser's queue.
TEST_F(FirmwareWindow, WalksFromTheOfferToTheSentFile) {
    orvin->stop(); // the Valdo is then the only embosser listed
    FirmwareUpdateViewController window;
    auto* button = guitest::find<QPushButton>(&window, "m_buttonUpdate");
    ASSERT_TRUE(window.viewDidLoad());
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.update().state() != FirmwareState::Checking; }, 20000));
    button->click(); // Download
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.update().state() == FirmwareState::Received; }, 20000));
    button->click(); // returns when the queue has taken the file
    orvin->restart();
    EXPECT_EQ(window.update().state(), FirmwareState::Sent);
    const QString info = guitest::find<QPlainTextEdit>(&window, "m_info")->toPlainText();
    EXPECT_TRUE(info.endsWith("\nThe embosser's queue has taken the firmware file.\n")) << info.toStdString();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(alerts.take().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(fs::exists(valdo->storePath()) && !fs::is_empty(valdo->storePath()), 20000);
}

} // namespace
