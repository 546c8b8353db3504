// The Embosser ▸ Toolbox… command: which family's window opens for the attached devices, and
// what the user is told when none can.
#include "ToolboxWindowFixture.h"

#include "toolbox/ui/ToolboxChoice.h"
#include "widgets/MessageBox.h"

#include <QApplication>

#include <stdexcept>

namespace toolboxtest {
namespace {

using brelmont::toolbox::ui::chooseAttachedFamily;
using brelmont::toolbox::ui::openToolboxClick;
using brelmont::toolbox::ui::ToolboxChoiceSources;
using brelmont::widgets::MessageBox;

// Device listing lines as the helper tool prints them: address, then the IEEE 1284 device ID.
const std::string Fennick = "usb://Brelmont/Quorrin?serial=Q1 \"MFG:Brelmont;MDL:Quorrin;CMD:PJL;\"";
const std::string Orvin = "usb://Brelmont/Orvin?serial=O1 \"MFG:Brelmont;MDL:Karro Orvin 200;CMD:PJL;\"";
const std::string Ivra = "socket://10.0.0.9 \"MFG:Brelmont;MDL:Orvin Color TintBridge;CMD:PJL;\"";
const std::string Tessaline = "usb://Brelmont/T30?serial=T \"MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;S:0402;\"";
const std::string Stranger = "usb://Other/Printer \"MFG:Other;MDL:Laser 5;\"";

TEST(ToolboxChoice, TheFirstFamilyInTheFixedOrderWins) {
    const struct {
        std::vector<std::string> listing;
        const char* window; // null: none
    } cases[] = {
        {{Orvin, Fennick}, "fennickToolboxWindowController"},
        {{Ivra, Orvin}, "orvinToolboxWindowController"},
        {{Ivra}, "ivraToolboxWindowController"},
        {{Ivra, Tessaline}, "tessalineToolboxWindowController"},
        {{Stranger}, nullptr},
        {{}, nullptr},
    };
    for (const auto& c : cases) {
        const auto* family = chooseAttachedFamily(c.listing);
        if (!c.window) {
            EXPECT_EQ(family, nullptr);
            continue;
        }
        ASSERT_NE(family, nullptr) << c.window;
        EXPECT_EQ(family->windowIdentifier, c.window);
    }
}

TEST_F(ToolboxWindow, OnlyFamiliesWithADescriptionAndALayoutHaveAWindow) {
    using brelmont::toolbox::ui::ToolboxViewController;
    EXPECT_TRUE(ToolboxViewController::canOpen(family(221201)));
    EXPECT_TRUE(ToolboxViewController::canOpen(family(221203)));
    for (const auto& f : brelmont::toolbox::toolboxFamilies()) {
        if (f.description) continue;
        EXPECT_FALSE(ToolboxViewController::canOpen(f)) << f.windowIdentifier;
        EXPECT_THROW(ToolboxViewController(f, {}), std::invalid_argument) << f.windowIdentifier;
    }
}

// What the command tells the user; Orvin and Ivra open their window (here over no queue, so the
// window reports the failed load instead of staying open).
TEST_F(ToolboxWindow, TheCommandOpensTheChosenWindowOrSaysWhyNot) {
    const struct {
        std::vector<std::string> listing;
        QString message;
        bool queuesListed; // a toolbox window was made and looked for its queue
    } cases[] = {
        {{}, "There is no Brelmont embosser attached to the system.\r\nPlease connect one and try again.", false},
        {{Stranger}, "There is no Brelmont embosser attached to the system.\r\nPlease connect one and try again.", false},
        {{Orvin, Fennick}, "The attached embosser needs the Fennick toolbox, which this version of the program does not have yet.", false},
        {{Orvin}, MessageBox::SettingsFailureText, true},
        {{Ivra}, MessageBox::SettingsFailureText, true},
    };
    for (const auto& c : cases) {
        messages.clear();
        bool listed = false;
        ToolboxChoiceSources sources{[listing = c.listing](const brelmont::printer::SharedStop&) { return listing; },
                                     {[&listed](const brelmont::printer::SharedStop&) {
                                          listed = true;
                                          return std::vector<brelmont::printer::PrinterItem>{};
                                      },
                                      device.exchange(), {}}};
        openToolboxClick(nullptr, sources);
        QApplication::processEvents();
        ASSERT_EQ(messages.size(), 1) << c.message.toStdString();
        EXPECT_TRUE(messages[0].startsWith(c.message)) << messages[0].toStdString();
        EXPECT_EQ(listed, c.queuesListed) << c.message.toStdString();
    }
    EXPECT_TRUE(device.requests().empty());
}

} // namespace
} // namespace toolboxtest
