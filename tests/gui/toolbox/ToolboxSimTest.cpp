// The whole path behind the menu command: queues of the private CUPS server lead to simulated
// embossers, the device helper lists them and carries the PJL, and the window opened by the
// toolbox choice loads, applies and closes as a user drives it.
#include "GuiTestSupport.h"

#include "toolbox/ui/EmbosserChoice.h"
#include "toolbox/ui/ToolboxChoice.h"
#include "toolbox/ui/ToolboxViewController.h"
#include "printer/PjlHelper.h"
#include "toolbox/Families.h"
#include "toolbox/TableFolder.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QPointer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
            // Several embossers are attached: the one of the model `pick` names is chosen.
            if (auto* choice = qobject_cast<brelmont::toolbox::ui::EmbosserChoice*>(QApplication::activeModalWidget())) {
                auto* list = choice->findChild<QListWidget*>();
                const auto rows = list->findItems(pick, Qt::MatchEndsWith);
                if (!rows.isEmpty()) list->setCurrentItem(rows.first());
                return choice->accept();
            }
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
    QString pick = "(Orvin)"; // the model whose embosser the choice takes
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
    const int before = count(orvin->logText(), "@PJL DEFAULT");
    openToolbox([&](ToolboxViewController* window) {
        window->findChild<QCheckBox*>("m_ckAutoCr")->click();
        EXPECT_TRUE(window->applyButton()->isEnabled());
        window->findChild<QPushButton*>("m_buttonCancel")->click();
    });
    EXPECT_TRUE(opened);
    EXPECT_EQ(count(orvin->logText(), "@PJL DEFAULT"), before);
}

// An embosser switched off between the load and Apply: the user is told what was not written and
// why, and Apply stays, to try again.
TEST_F(ToolboxSim, ApplyToAnEmbosserThatStoppedAnsweringIsReportedAndApplyStays) {
    bool applyStays = false;
    openToolbox([&](ToolboxViewController* window) {
        orvin->stop();
        auto* margin = window->findChild<QLineEdit*>("m_tfTopMargin");
        margin->setText("1.5\"");
        emit margin->editingFinished();
        window->applyButton()->click();
        QApplication::processEvents();
        applyStays = window->applyButton()->isEnabled();
        window->reject();
    });
    orvin->restart();
    EXPECT_TRUE(opened);
    EXPECT_TRUE(applyStays);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("The changed settings were not written to the embosser: the embosser is not "
                                       "attached or not switched on"))
        << messages[0].toStdString();
}

// Cancel during a load from an embosser that never answers ends the device work itself, so the
// next toolbox loads at once.
TEST_F(ToolboxSim, CancelDuringALoadLetsTheNextLoadStartAtOnce) {
    EmbosserSim silent("orvin", {"--delay", "60000"});
    const brelmont::printer::PrinterItem silentQueue{silent.uri(), "Orvin_Silent", "Silent Orvin", 221201, true, {}};
    const auto family = *brelmont::toolbox::familyForModel(221201);
    brelmont::widgets::LongWait::setDialogHook(
        [](QWidget* dialog) { QTimer::singleShot(800, dialog, [dialog] { static_cast<QDialog*>(dialog)->reject(); }); });
    const auto start = std::chrono::steady_clock::now();
    ToolboxViewController stuck(family, {[silentQueue](const auto&) { return std::vector{silentQueue}; },
                                         &brelmont::printer::PjlHelper::exchange, {}});
    EXPECT_FALSE(stuck.viewDidLoad());
    brelmont::widgets::LongWait::setDialogHook({});
    brelmont::widgets::LongWait::joinAbandoned(); // the cancelled worker has already ended
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));

    ToolboxViewController next(family, brelmont::toolbox::ui::ToolboxDevice::system());
    EXPECT_TRUE(next.viewDidLoad());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    EXPECT_TRUE(messages.isEmpty());
}

// Every embosser of the queues switched off: the menu command says so and opens nothing.
TEST_F(ToolboxSim, NoAttachedEmbosserIsSaidSo) {
    setenv("BRELMONT_DEVICES", "", 1);
    orvin->stop();
    ivra->stop();
    openToolbox([](ToolboxViewController* window) { window->reject(); });
    orvin->restart();
    ivra->restart();
    EXPECT_FALSE(opened);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("There is no Brelmont embosser attached to the system.\r\nPlease connect one and try again."));
    EXPECT_TRUE(messages[0].contains("brelmont-cli doctor")) << messages[0].toStdString(); // where to find out why
}

// Answers the next file dialog as a user would, typing `path` and pressing Open (Cancel when it is
// empty), until it has closed; notes the folder it opened in.
void answerFileDialog(const QString& path, QString* openedIn) {
    auto* poll = new QTimer;
    auto answered = std::make_shared<std::optional<QPointer<QFileDialog>>>();
    QObject::connect(poll, &QTimer::timeout, [=] {
        QFileDialog* dialog = *answered ? answered->value().data() : qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (*answered && (!dialog || !dialog->isVisible())) return poll->deleteLater(); // closed
        if (!dialog || !dialog->isVisible()) return;                                        // not open yet
        if (!*answered) *openedIn = dialog->directory().absolutePath();
        *answered = QPointer<QFileDialog>(dialog);
        if (path.isEmpty()) return dialog->reject();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(dialog)->accept(); // what the Open button does
    });
    poll->start(10);
}

// The Tessaline window as a user meets it: the choice opens it for the attached Tessaline, every
// control has its spoken name, the user's table enables Install Table, whose file dialog opens
// among the program's tables, and what each download came to is said.
TEST_F(ToolboxSim, TheTessalineWindowInstallsATableChosenInItsFileDialog) {
    EmbosserSim tessaline("tessaline");
    ASSERT_TRUE(cups->addQueue("Tessaline_30RT", "Tessaline 30RT", tessaline.uri(), "Tessaline in the lab"));
    const fs::path tables = brelmont::toolbox::installedTableFolder();
    const fs::path wrong = scratch->path() / "wrong.txt";
    std::ofstream(wrong) << "65 [1]\n\n300 [2]\n";
    QStringList unnamed, clashes;
    QString spokenTable, openedIn;
    bool enabledAtFirst = true, enabledForTheUsersTable = false;
    pick = "(Tessaline 30RT)";
    openToolbox([&](ToolboxViewController* window) {
        if (window->objectName() != "tessalineToolboxWindowController") return window->reject();
        unnamed = guitest::unnamedControls(window);
        clashes = guitest::clashingMnemonics(window);
        spokenTable = guitest::spokenName(window->findChild<QComboBox*>("m_cbTable"));
        auto* install = window->findChild<QPushButton*>("m_bnInstallTable");
        enabledAtFirst = install->isEnabled();
        auto* table = window->findChild<QComboBox*>("m_cbTable");
        table->setCurrentIndex(18);
        emit table->activated(18);
        enabledForTheUsersTable = install->isEnabled();
        for (const fs::path& file : {tables / "computer-braille-8-dot.txt", wrong, fs::path()}) {
            answerFileDialog(QString::fromStdString(file.string()), &openedIn);
            install->click();
        }
        window->findChild<QPushButton*>("m_buttonCancel")->click();
    });
    cups->removeQueue("Tessaline_30RT");
    ASSERT_TRUE(opened);
    EXPECT_EQ(unnamed + clashes, QStringList());
    EXPECT_EQ(spokenTable, "Braille table:");
    EXPECT_FALSE(enabledAtFirst);
    EXPECT_TRUE(enabledForTheUsersTable);
    EXPECT_EQ(openedIn.toStdString(), tables.string());
    EXPECT_EQ(messages, (QStringList{"The braille table computer-braille-8-dot.txt was sent to the embosser.",
                                     "The braille table wrong.txt was not sent: line 3: the character code 300 is above 255."}));
    EXPECT_EQ(count(tessaline.logText(), "download \"BRAILLETABLE0\" of 256 bytes stored"), 1);
    EXPECT_EQ(count(tessaline.logText(), "@PJL DEFAULT"), 1); // Cancel wrote nothing more
}

// The Quorrin window as a user meets it: opened by the choice under the model's own name, every
// control named, and OK writes a width past one byte as its two bytes.
TEST_F(ToolboxSim, TheQuorrinWindowWritesTheWidthAsTwoBytes) {
    EmbosserSim quorrin("fennick");
    ASSERT_TRUE(cups->addQueue("Quorrin_Lab", "Quorrin", quorrin.uri(), "Quorrin by the window"));
    QStringList unnamed, clashes;
    QString title;
    pick = "(Quorrin)";
    openToolbox([&](ToolboxViewController* window) {
        if (window->objectName() != "fennickToolboxWindowController") return window->reject();
        unnamed = guitest::unnamedControls(window);
        clashes = guitest::clashingMnemonics(window);
        title = window->windowTitle();
        auto* width = window->findChild<QLineEdit*>("m_tfPaperWidth");
        width->setText("14\"");
        emit width->editingFinished();
        window->findChild<QPushButton*>("m_buttonOK")->click();
    });
    cups->removeQueue("Quorrin_Lab");
    ASSERT_TRUE(opened);
    EXPECT_EQ(unnamed + clashes, QStringList());
    EXPECT_EQ(title, "Quorrin Toolbox");
    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
    EXPECT_EQ(count(quorrin.logText(), "@PJL DEFAULT NVRAM76=24 | changed"), 1);
    EXPECT_EQ(count(quorrin.logText(), "@PJL DEFAULT NVRAM90=1 | changed"), 1);
    EXPECT_EQ(count(quorrin.logText(), "@PJL DEFAULT"), 2);
}

} // namespace
