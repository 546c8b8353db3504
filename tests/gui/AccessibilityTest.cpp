// One check run on every window: each control Tab can reach has a name a screen reader says (its
// buddy label or its own), no two mnemonics of a window clash, and Tab leaves every text area; each
// toolbox window has a widget for every control of its family.
#include "GuiTestSupport.h"
#include "ScriptedEmbosser.h"

#include "app/StartWindow.h"
#include "firmware/ui/FirmwareUpdateViewController.h"
#include "preferences/ui/PreferencesViewController.h"
#include "sendfile/ui/SendFileDlg.h"
#include "sendfile/ui/SendFileViewController.h"
#include "sendfile/ui/SendWindows.h"
#include "sendfile/ui/TestPageDlg.h"
#include "toolbox/Families.h"
#include "toolbox/ui/ToolboxViewController.h"
#include "viewer/window/WindowController.h"
#include "widgets/EmbosserChoice.h"

#include <QComboBox>
#include <QMainWindow>
#include <QPlainTextEdit>

#include <functional>

namespace {

using brelmont::printer::PrinterItem;
using Items = std::vector<PrinterItem>;

const Items Queues = {{"", "q0", "Hall", 221201, true, "Orvin 200"}, {"", "q1", "Annex", 121201, true, "Valdo Sheet"}};

TEST(Accessibility, EveryControlOfEveryWindowIsNamedAndNoMnemonicsClash) {
    // No queue's options can be read here: the windows show what they have without them.
    const brelmont::testing::ScopedEnv noScheduler("CUPS_SERVER", "127.0.0.1:9");
    guitest::Alerts alerts;
    QMainWindow owner;
    std::vector<std::pair<std::string, std::function<QWidget*()>>> windows = {
        {"viewer", []() { return new brelmont::viewer::WindowController(guitest::document(guitest::job(2, 2))); }},
        {"start window", []() { return new brelmont::app::StartWindow; }},
        {"preferences",
         []() { return new brelmont::preferences::ui::PreferencesViewController(brelmont::printer::Printers(Queues)); }},
        {"toolbox choice",
         []() { return new brelmont::widgets::EmbosserChoice(Queues, "Several embossers are attached. Open the toolbox of:"); }},
        {"send file", []() { return new brelmont::sendfile::SendFileViewController(Queues); }},
        {"send-job sheet",
         [&owner]() { return brelmont::sendfile::presentSendFileDlg(&owner, guitest::document(guitest::job(1, 0)), Queues); }},
        {"test page", []() { return new brelmont::sendfile::TestPageDlg(Queues); }},
        {"firmware", []() { return new brelmont::firmware::FirmwareUpdateViewController; }},
    };
    brelmont::testing::ScriptedEmbosser device;
    for (const auto& family : brelmont::toolbox::toolboxFamilies())
        if (brelmont::toolbox::ui::ToolboxViewController::canOpen(family))
            windows.emplace_back(std::string(family.windowIdentifier), [&device, &family] {
                const auto queue = brelmont::testing::ScriptedEmbosser::queue(family.modelCode);
                auto* window = new brelmont::toolbox::ui::ToolboxViewController(
                    family, {[queue](const brelmont::printer::SharedStop&) { return Items{queue}; }, device.exchange(), {}});
                // Every engine control has its widget; a combo box has the items the family counts on.
                for (const auto& state : window->model().controls()) {
                    auto* widget = window->findChild<QWidget*>(QString::fromStdString(state.name));
                    auto* combo = qobject_cast<QComboBox*>(widget);
                    EXPECT_TRUE(widget && (!state.layoutItems || (combo && combo->count() == state.layoutItems))) << state.name;
                }
                return window;
            });
    for (const auto& [name, open] : windows) {
        SCOPED_TRACE(name);
        std::unique_ptr<QWidget> window(open());
        ASSERT_TRUE(window);
        EXPECT_EQ(guitest::unnamedControls(window.get()), QStringList());
        EXPECT_EQ(guitest::clashingMnemonics(window.get()), QStringList());
        // Tab moves on from every text area rather than typing into it: no keyboard trap.
        for (const auto* edit : window->findChildren<QPlainTextEdit*>())
            EXPECT_TRUE(edit->tabChangesFocus()) << edit->objectName().toStdString();
    }
}

} // namespace
