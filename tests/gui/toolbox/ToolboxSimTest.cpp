// The whole path behind the menu command: queues of the private CUPS server lead to simulated
// embossers, the device helper lists them and carries the PJL, and the window opened by the
// toolbox choice loads, applies and closes as a user drives it.
#include "GuiTestSupport.h"

#include "toolbox/ui/ToolboxChoice.h"
#include "toolbox/ui/ToolboxViewController.h"
#include "widgets/MessageBox.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace {

using brelmont::testing::CupsServer;
using brelmont::testing::EmbosserSim;
using brelmont::testing::QueueDefinition;
using brelmont::testing::ScratchDir;
using brelmont::toolbox::ui::ToolboxViewController;
using brelmont::widgets::MessageBox;
namespace fs = std::filesystem;

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class ToolboxSim : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!CupsServer::available()) return;
        scratch = std::make_unique<ScratchDir>("toolboxui-sim");
        tmpdir.emplace("TMPDIR", scratch->path().string());
        home.emplace("HOME", scratch->path().string());
        cups = std::make_unique<CupsServer>();
        std::string error;
        ASSERT_TRUE(cups->start(&error)) << error;
        orvin = std::make_unique<EmbosserSim>("orvin");
        ivra = std::make_unique<EmbosserSim>("ivra");
        const std::map<std::string, std::string> uris = {{"Orvin 200", orvin->uri()}, {"Orvin Color Ink", ivra->uri()}};
        const auto queues = brelmont::testing::standardQueues([&](const QueueDefinition& q) {
            const auto found = uris.find(q.makeAndModel);
            return found == uris.end() ? std::string() : found->second;
        });
        ASSERT_TRUE(cups->addQueues(queues, &error)) << error;
        cups->applyEnvironment();
        setenv("BRELMONT_RESOURCE_DIR", fs::path(BRELMONT_PJLHELPER).parent_path().c_str(), 1);
    }
    static void TearDownTestSuite() {
        orvin.reset();
        ivra.reset();
        cups.reset();
        scratch.reset();
        tmpdir.reset();
        home.reset();
        unsetenv("BRELMONT_DEVICES");
        unsetenv("BRELMONT_RESOURCE_DIR");
    }
    void SetUp() override {
        if (!cups) GTEST_SKIP() << "cupsd is not installed";
        MessageBox::setPresenter([this](const QString& text) { messages << text; });
    }
    void TearDown() override {
        QApplication::processEvents();
        MessageBox::setPresenter({});
        unsetenv("BRELMONT_DEVICES");
    }

    // Runs the menu command; `drive` acts on the toolbox window once it is up, and must close it.
    void openToolbox(std::function<void(ToolboxViewController*)> drive) {
        QTimer watch;
        bool driven = false;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* window = qobject_cast<ToolboxViewController*>(QApplication::activeModalWidget());
            if (driven || !window || !window->isVisible()) return;
            driven = true;
            drive(window);
        });
        watch.start(10);
        brelmont::toolbox::ui::openToolboxClick(nullptr);
        QApplication::processEvents();
        opened = driven;
    }

    static inline std::unique_ptr<ScratchDir> scratch;
    static inline std::unique_ptr<CupsServer> cups;
    static inline std::unique_ptr<EmbosserSim> orvin, ivra;
    static inline std::optional<brelmont::testing::ScopedEnv> tmpdir, home;
    QStringList messages;
    bool opened = false;
};

TEST_F(ToolboxSim, TheOrvinWindowOpensForTheAttachedOrvinAndOkWritesTheChange) {
    setenv("BRELMONT_DEVICES", (ivra->uri() + " " + orvin->uri()).c_str(), 1);
    QString model, sensors;
    openToolbox([&](ToolboxViewController* window) {
        EXPECT_EQ(window->objectName(), "orvinToolboxWindowController");
        EXPECT_FALSE(window->applyButton()->isEnabled());
        model = window->findChild<QLineEdit*>("m_tfModelNumber")->text();
        window->findChild<QPushButton*>("m_buttonReadSensors")->click();
        sensors = window->findChild<QPlainTextEdit*>("m_tfSensors")->toPlainText();
        auto* margin = window->findChild<QLineEdit*>("m_tfTopMargin");
        margin->setText("1.0\"");
        emit margin->editingFinished();
        window->findChild<QPushButton*>("m_buttonOK")->click();
    });
    EXPECT_TRUE(opened);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(model, "Orvin 200");
    EXPECT_TRUE(sensors.contains("Front Paper Flag: 1")) << sensors.toStdString();
    EXPECT_EQ(count(orvin->logText(), "@PJL DEFAULT TOPMARGIN=20"), 1);
    EXPECT_EQ(count(orvin->logText(), "@PJL DEFAULT"), 1);
    EXPECT_EQ(count(ivra->logText(), "@PJL DEFAULT"), 0);
}

TEST_F(ToolboxSim, CancelWritesNothing) {
    setenv("BRELMONT_DEVICES", ivra->uri().c_str(), 1);
    const int before = count(ivra->logText(), "@PJL DEFAULT");
    openToolbox([&](ToolboxViewController* window) {
        EXPECT_EQ(window->objectName(), "ivraToolboxWindowController");
        window->findChild<QCheckBox*>("m_ckAutoCr")->click();
        EXPECT_TRUE(window->applyButton()->isEnabled());
        window->findChild<QPushButton*>("m_buttonCancel")->click();
    });
    EXPECT_TRUE(opened);
    EXPECT_EQ(count(ivra->logText(), "@PJL DEFAULT"), before);
}

TEST_F(ToolboxSim, NoAttachedEmbosserIsSaidSo) {
    setenv("BRELMONT_DEVICES", "", 1);
    openToolbox([](ToolboxViewController* window) { window->reject(); });
    EXPECT_FALSE(opened);
    EXPECT_EQ(messages, QStringList{"There is no Brelmont embosser attached to the system.\r\nPlease connect one and try again."});
}

} // namespace
