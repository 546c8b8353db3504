// The Embosser ▸ Toolbox… command: which family's window opens for the attached devices, and
// what the user is told when none can.
#include "ToolboxWindowFixture.h"

#include "toolbox/ui/ToolboxChoice.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <stdexcept>

namespace toolboxtest {
namespace {

using brelmont::toolbox::ui::chooseAttachedFamily;
using brelmont::toolbox::ui::openToolboxClick;
using brelmont::toolbox::ui::ToolboxChoiceSources;
using brelmont::printer::PrinterItem;
using brelmont::printer::Printers;
using brelmont::printer::SharedStop;
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

// What the command tells the user when no queue of a toolbox family is attached; a device of
// one opens its window (here over no queue, so the window reports the failed load).
TEST_F(ToolboxWindow, TheCommandOpensTheChosenWindowOrSaysWhyNot) {
    const struct {
        std::vector<std::string> listing;
        QString message;
        bool queuesListed; // a toolbox window was made and looked for its queue
    } cases[] = {
        {{}, "There is no Brelmont embosser attached to the system.\r\nPlease connect one and try again.", false},
        {{Stranger}, "There is no Brelmont embosser attached to the system.\r\nPlease connect one and try again.", false},
        {{Orvin, Fennick}, MessageBox::SettingsFailureText, true},
        {{Orvin}, MessageBox::SettingsFailureText, true},
        {{Ivra}, MessageBox::SettingsFailureText, true},
    };
    for (const auto& c : cases) {
        messages.clear();
        bool listed = false;
        ToolboxChoiceSources sources{[listing = c.listing](const SharedStop&) { return Printers({}, listing); },
                                     {[&listed](const SharedStop&) {
                                          listed = true;
                                          return std::vector<PrinterItem>{};
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

// Several attached embossers: the user picks one by its queue's name and model, with the keyboard,
// and its window talks to that queue; Escape opens none. Queues not attached are not offered.
TEST_F(ToolboxWindow, WithSeveralAttachedTheUserPicksOne) {
    const std::vector<PrinterItem> queues = {
        ScriptedEmbosser::queue(221201, "Orvin in the lab"), ScriptedEmbosser::queue(221201, "Orvin in the office"),
        {"socket://10.0.0.7", "Merriden_Off", "Merriden switched off", 131201, false, "Merriden"},
        ScriptedEmbosser::queue(121201, "Valdo by the door"),
    };
    for (const auto key : {Qt::Key_Escape, Qt::Key_Return}) {
        QStringList lines;
        QString spoken, opened;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* window = qobject_cast<brelmont::toolbox::ui::ToolboxViewController*>(modal)) {
                opened = QString::fromStdString(window->model().printer()->name);
                return window->reject();
            }
            auto* list = modal ? modal->findChild<QListWidget*>() : nullptr;
            if (!list || !lines.isEmpty()) return;
            for (int row = 0; row < list->count(); ++row) lines << list->item(row)->text();
            spoken = guitest::spokenName(list);
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, key);
        });
        watch.start(10);
        openToolboxClick(nullptr, {[&](const SharedStop&) { return Printers(queues); },
                                   {[](const SharedStop&) { return std::vector<PrinterItem>{}; }, device.exchange(), {}}});
        QApplication::processEvents();
        EXPECT_EQ(lines, (QStringList{"Valdo by the door (Valdo Trac)", "Orvin in the lab (Orvin)", "Orvin in the office (Orvin)"}));
        EXPECT_EQ(spoken, "Attached embossers:");
        EXPECT_EQ(opened, key == Qt::Key_Return ? "Orvin in the office" : "");
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
}

} // namespace
} // namespace toolboxtest
