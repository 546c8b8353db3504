// The toolbox window over a scripted device: what a load shows, how changes reach Apply, what
// OK, Apply, Cancel and the other buttons send, and the failure path.
#include "ToolboxWindowFixture.h"

#include "toolbox/OrvinFamily.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <stdexcept>
#include <thread>

namespace toolboxtest {
namespace {

using brelmont::printer::PrinterItem;
using brelmont::toolbox::ui::ToolboxViewController;
using brelmont::widgets::LongWait;
using brelmont::widgets::MessageBox;

const QString Inch = QStringLiteral("\"");

TEST_F(ToolboxWindow, ALoadShowsTheDeviceWithApplyDisabled) {
    device.set("variables", "AUTOCR", "ON");
    auto window = open();
    EXPECT_EQ(window->windowTitle(), "Orvin Toolbox");
    EXPECT_EQ(window->objectName(), "orvinToolboxWindowController");
    EXPECT_FALSE(window->applyButton()->isEnabled());
    EXPECT_FALSE(control<QPushButton>(window.get(), "pbSolenoidBack")->isEnabled()); // no request behind it
    EXPECT_EQ(text(window.get(), "m_tfPrinterName"), "Orvin in the lab");
    EXPECT_EQ(text(window.get(), "m_tfFirmwareVersion"), "3.0.1");
    EXPECT_EQ(text(window.get(), "m_tfPaperWidth"), "8.5" + Inch);
    EXPECT_EQ(text(window.get(), "m_tfTable"), "4");
    EXPECT_EQ(control<QComboBox>(window.get(), "m_cbPaperSize")->currentText(), "Letter");
    EXPECT_EQ(control<QComboBox>(window.get(), "m_cbPaperSize")->count(), 18);
    EXPECT_EQ(control<QComboBox>(window.get(), "m_cbLegacyMediaType")->currentIndex(), 2);
    EXPECT_EQ(control<QComboBox>(window.get(), "m_cbMediaMediaType")->currentIndex(), -1);
    EXPECT_TRUE(control<QCheckBox>(window.get(), "m_ckAutoCr")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(window.get(), "m_ckTunes")->isChecked()); // FLAGS 12: bits 0 and 1 clear
    EXPECT_TRUE(text(window.get(), "m_tfStatus").contains("DISPLAY=\"READY TO EMBOSS\""));
    // Only the INFO queries went out.
    EXPECT_TRUE(device.writes().empty());
}

TEST_F(ToolboxWindow, TheInkModuleTabIsTheSixthAndShowsBothCartridges) {
    device.set("status", "INKHEALTH1", "0");
    auto window = open();
    auto* tabs = control<QTabWidget>(window.get(), "m_tvTabView");
    ASSERT_EQ(tabs->count(), 6);
    EXPECT_EQ(tabs->widget(5)->objectName(), "m_tbTintBridge");
    EXPECT_EQ(control<QLabel>(window.get(), "m_lbInkFW")->text(), "2.2.0");
    EXPECT_EQ(control<QLabel>(window.get(), "m_lbHealth0")->text(), "OK");
    EXPECT_EQ(control<QLabel>(window.get(), "m_lbFillState0")->text(), "71 %");
    EXPECT_EQ(control<QLabel>(window.get(), "m_lbHealth1")->text(), "Missing");
    EXPECT_EQ(control<QLabel>(window.get(), "m_lbFillState1")->text(), "0 %");
}

TEST_F(ToolboxWindow, WithoutAnInkModuleItsTabGoes) {
    device.set("versions", "SIAFW", "0");
    auto window = open();
    auto* tabs = control<QTabWidget>(window.get(), "m_tvTabView");
    EXPECT_EQ(tabs->count(), 5);
    EXPECT_EQ(tabs->indexOf(control<QWidget>(window.get(), "m_tbTintBridge")), -1);
    EXPECT_EQ(control<QLabel>(window.get(), "m_lbHealth0")->text(), ""); // left as the layout has it
}

// The layout and the engine agree on every control: each has its widget, and combo boxes whose
// items the layout holds hold as many as the engine maps.
TEST_F(ToolboxWindow, EveryEngineControlHasItsWidget) {
    auto window = make();
    for (const auto& state : window->model().controls()) {
        QWidget* widget = window->findChild<QWidget*>(QString::fromStdString(state.name));
        ASSERT_NE(widget, nullptr) << state.name;
        if (state.layoutItems > 0) {
            EXPECT_EQ(qobject_cast<QComboBox*>(widget)->count(), state.layoutItems) << state.name;
        }
    }
}

// Each kind of control reports a user change; Apply follows.
TEST_F(ToolboxWindow, EveryKindOfChangeEnablesApply) {
    const std::vector<std::pair<const char*, std::function<void(QWidget*)>>> changes = {
        {"text field", [](QWidget* w) { type(w, "m_tfTopMargin", "1.0\""); }},
        {"combo box", [](QWidget* w) { choose(w, "m_cbQuality", 0); }},
        {"check box", [](QWidget* w) { control<QCheckBox>(w, "m_ckDHCP")->click(); }},
        {"network field", [](QWidget* w) { type(w, "m_tfGateway", "10.0.0.254"); }},
    };
    for (const auto& [what, change] : changes) {
        auto window = open();
        change(window.get());
        EXPECT_TRUE(window->applyButton()->isEnabled()) << what;
    }
}

TEST_F(ToolboxWindow, LeavingAFieldUnchangedOrEditingTheLimitsAloneLeavesApplyDisabled) {
    auto window = open();
    type(window.get(), "m_tfTopMargin", text(window.get(), "m_tfTopMargin"));
    EXPECT_FALSE(window->applyButton()->isEnabled());
    // The limit fields send no change notification, though the custom pair can be edited. (Picking
    // the media kind is a change of its own; an Apply with nothing to send clears it.)
    choose(window.get(), "m_cbMediaMediaType", 5);
    window->applyClick();
    ASSERT_FALSE(window->applyButton()->isEnabled());
    type(window.get(), "m_tfFrontMin", "111");
    EXPECT_FALSE(window->applyButton()->isEnabled());
}

TEST_F(ToolboxWindow, APaperSizeFillsWidthAndHeight) {
    auto window = open();
    const struct {
        int index;
        QString width, height;
    } cases[] = {{4, "8.3", "11.7"}, {12, "8", "11"}, {17, "0", "0"}};
    for (const auto& c : cases) {
        choose(window.get(), "m_cbPaperSize", c.index);
        EXPECT_EQ(text(window.get(), "m_tfPaperWidth"), c.width + Inch) << c.index;
        EXPECT_EQ(text(window.get(), "m_tfPaperHeight"), c.height + Inch) << c.index;
    }
    EXPECT_TRUE(window->applyButton()->isEnabled());
}

TEST_F(ToolboxWindow, AMediaKindShowsItsLimitsAndOnlyCustomCanBeEdited) {
    auto window = open();
    const struct {
        int index;
        QString min, max;
        bool editable;
    } cases[] = {{0, "121", "181", false}, {3, "92", "118", false}, {5, "101", "159", true}, {1, "91", "119", false}};
    for (const auto& c : cases) {
        choose(window.get(), "m_cbMediaMediaType", c.index);
        EXPECT_EQ(text(window.get(), "m_tfFrontMin"), c.min) << c.index;
        EXPECT_EQ(text(window.get(), "m_tfFrontMax"), c.max) << c.index;
        EXPECT_EQ(control<QLineEdit>(window.get(), "m_tfFrontMin")->isReadOnly(), !c.editable) << c.index;
        EXPECT_EQ(control<QLineEdit>(window.get(), "m_tfFrontMax")->isReadOnly(), !c.editable) << c.index;
    }
}

TEST_F(ToolboxWindow, OkAppliesTheChangesAndCloses) {
    auto window = open();
    window->show();
    type(window.get(), "m_tfTopMargin", "1.0\"");
    choose(window.get(), "m_cbMediaMediaType", 5);
    type(window.get(), "m_tfFrontMax", "170");
    control<QPushButton>(window.get(), "m_buttonOK")->click();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(device.writes().size(), 1u);
    EXPECT_EQ(device.writes()[0],
              "\x1b%-12345X@PJL DEFAULT TOPMARGIN=20\n@PJL DEFAULT CUSTOMMEDIAMAX=170\n@PJL SERVICE UPDATE\n");
}

TEST_F(ToolboxWindow, ApplySendsOnceAndDisablesItself) {
    auto window = open();
    control<QCheckBox>(window.get(), "m_ckTunes")->click();
    control<QCheckBox>(window.get(), "m_ckTearOff")->click();
    control<QPushButton>(window.get(), "m_buttonApply")->click();
    EXPECT_FALSE(window->applyButton()->isEnabled());
    ASSERT_EQ(device.writes().size(), 1u);
    EXPECT_EQ(device.writes()[0], "\x1b%-12345X@PJL DEFAULT FLAGS=15\n@PJL SERVICE UPDATE\n");
    // Nothing differs from what was written now.
    control<QCheckBox>(window.get(), "m_ckDHCP")->click();
    control<QCheckBox>(window.get(), "m_ckDHCP")->click();
    window->applyClick();
    EXPECT_EQ(device.writes().size(), 1u);
}

// A field still being edited when OK is pressed counts.
TEST_F(ToolboxWindow, OkTakesTheFieldBeingEdited) {
    auto window = open();
    control<QLineEdit>(window.get(), "m_tfLeftMargin")->setText("0.25\"");
    window->okClick();
    ASSERT_EQ(device.writes().size(), 1u);
    EXPECT_EQ(device.writes()[0], "\x1b%-12345X@PJL DEFAULT LEFTMARGIN=5\n@PJL SERVICE UPDATE\n");
}

TEST_F(ToolboxWindow, CancelAndEscapeSendNothing) {
    for (const bool escape : {false, true}) {
        auto window = open();
        window->show();
        type(window.get(), "m_tfTopMargin", "2.0\"");
        control<QCheckBox>(window.get(), "m_ckAutoCr")->click();
        if (escape)
            QTest::keyClick(window.get(), Qt::Key_Escape);
        else
            control<QPushButton>(window.get(), "m_buttonCancel")->click();
        EXPECT_EQ(window->result(), QDialog::Rejected) << escape;
        EXPECT_FALSE(window->isVisible()) << escape;
    }
    EXPECT_TRUE(device.writes().empty());
}

// A device text that is not UTF-8 cannot come back from its field byte for byte; left alone, it
// is not written back.
TEST_F(ToolboxWindow, AnUntouchedFieldIsNotWrittenBackWhateverItsBytes) {
    for (const bool changeAnother : {false, true}) {
        device = ScriptedEmbosser();
        device.set("variables", "GATEWAY", "caf\xe9-gw");
        auto window = open();
        if (changeAnother) type(window.get(), "m_tfTopMargin", "1.0\"");
        window->okClick();
        EXPECT_EQ(device.writes(), changeAnother ? std::vector<std::string>{"\x1b%-12345X@PJL DEFAULT TOPMARGIN=20\n"
                                                                             "@PJL SERVICE UPDATE\n"}
                                                 : std::vector<std::string>{})
            << changeAnother;
    }
}

// A value the engine refuses (a line break would start a PJL line of the user's making) is put back.
TEST_F(ToolboxWindow, ARefusedValueIsPutBack) {
    auto window = open();
    type(window.get(), "m_tfIpAddr", "10.0.0.9\n@PJL DEFAULT TOPMARGIN=0");
    EXPECT_EQ(text(window.get(), "m_tfIpAddr"), "10.1.2.3");
    EXPECT_FALSE(window->applyButton()->isEnabled());
}

TEST_F(ToolboxWindow, TheVariableSetterSendsTheChosenVariable) {
    device.set("variables", "NICKNAME", "Lab embosser");
    auto window = open();
    auto* names = control<QComboBox>(window.get(), "m_cbPjlNames");
    const struct {
        QString name;
        QString value;
        std::string sent; // empty: nothing
    } cases[] = {
        {"NICKNAME", "Room 2 embosser", "\x1b%-12345X@PJL DEFAULT NICKNAME=\"Room 2 embosser\"\n"},
        {"TOPMARGIN", "15", "\x1b%-12345X@PJL DEFAULT TOPMARGIN=15\n"},
        {"SERIALNUMBER", "X", ""},
        {"MACPHY", "X", ""},
    };
    for (const auto& c : cases) {
        const size_t before = device.writes().size();
        const int index = names->findText(c.name);
        ASSERT_GE(index, 0) << c.name.toStdString();
        choose(window.get(), "m_cbPjlNames", index);
        control<QLineEdit>(window.get(), "m_tfPjlValue")->setText(c.value);
        control<QPushButton>(window.get(), "m_buttonPjlSet")->click();
        const auto writes = device.writes();
        if (c.sent.empty()) {
            EXPECT_EQ(writes.size(), before) << c.name.toStdString();
        } else {
            ASSERT_EQ(writes.size(), before + 1) << c.name.toStdString();
            EXPECT_EQ(writes.back(), c.sent);
        }
    }
}

TEST_F(ToolboxWindow, TheFillStateButtonsResetTheirCartridge) {
    auto window = open();
    control<QPushButton>(window.get(), "m_buttonResetFill1")->click();
    control<QPushButton>(window.get(), "m_buttonResetFill0")->click();
    EXPECT_EQ(device.writes(), (std::vector<std::string>{"\x1b%-12345X\x1b%Pinkjet.clearnozzlecount 1;",
                                                         "\x1b%-12345X\x1b%Pinkjet.clearnozzlecount 0;"}));
    // The solenoid button has no action of its own.
    control<QPushButton>(window.get(), "pbSolenoidBack")->click();
    EXPECT_EQ(device.writes().size(), 2u);
}

TEST_F(ToolboxWindow, ReadSensorsShowsTheLabelledValues) {
    auto window = open();
    control<QPushButton>(window.get(), "m_buttonReadSensors")->click();
    EXPECT_EQ(text(window.get(), "m_tfSensors"),
              QString::fromUtf8("\nCarriage Temperature: 29\u00b0C\nFront Paper Flag: 1, Housing: OPEN, Back Paper Flag: 0"));
}

// No attached queue of the family, a queue list that failed, or an empty list after the retries:
// the message, no window, nothing written.
TEST_F(ToolboxWindow, AFailedLoadShowsTheMessageAndClosesWithoutWriting) {
    using Listing = std::function<std::vector<PrinterItem>(const brelmont::printer::SharedStop&)>;
    const auto listing = [](std::vector<PrinterItem> queues) -> Listing {
        return [queues](const brelmont::printer::SharedStop&) { return queues; };
    };
    PrinterItem unplugged = ScriptedEmbosser::queue();
    unplugged.connected = false;
    const auto asShipped = [](ScriptedEmbosser&) {};
    const struct {
        const char* what;
        Listing queues;
        std::function<void(ScriptedEmbosser&)> spoil;
        size_t sends;
    } cases[] = {
        {"no queue", listing({}), asShipped, 0},
        {"queue of another family", listing({ScriptedEmbosser::queue(221203)}), asShipped, 0},
        {"queue not attached", listing({unplugged}), asShipped, 0},
        {"queue list failed",
         [](const brelmont::printer::SharedStop&) -> std::vector<PrinterItem> { throw std::runtime_error("the queue list failed"); },
         asShipped, 0},
        {"status never answered", listing({ScriptedEmbosser::queue()}),
         [](ScriptedEmbosser& d) { d.setList("status", {}); }, 12},
        {"every reply refused", listing({ScriptedEmbosser::queue()}), [](ScriptedEmbosser& d) { d.refuseAll(40); }, 10},
        {"device not answering", listing({ScriptedEmbosser::queue()}),
         [](ScriptedEmbosser& d) { d.fail(brelmont::printer::ExchangeStatus::NoReply); }, 1},
    };
    for (const auto& c : cases) {
        device = ScriptedEmbosser();
        c.spoil(device);
        messages.clear();
        ToolboxViewController window(family(221201), {c.queues, device.exchange(), {}});
        EXPECT_EQ(window.runModal(), QDialog::Rejected) << c.what;
        QApplication::processEvents();
        ASSERT_EQ(messages.size(), 1) << c.what;
        EXPECT_TRUE(messages[0].startsWith(MessageBox::SettingsFailureText)) << c.what;
        EXPECT_FALSE(window.isVisible()) << c.what;
        EXPECT_EQ(device.requests().size(), c.sends) << c.what;
        EXPECT_TRUE(device.writes().empty()) << c.what;
    }
}

TEST_F(ToolboxWindow, TheIvraWindowIsTheOrvinWindowForItsModel) {
    const std::vector<PrinterItem> queues = {ScriptedEmbosser::queue(221201), ScriptedEmbosser::queue(221203, "Ivra queue")};
    auto window = make(queues, 221203);
    ASSERT_TRUE(window->viewDidLoad());
    EXPECT_EQ(window->objectName(), "ivraToolboxWindowController");
    EXPECT_EQ(window->windowTitle(), "Orvin Toolbox");
    EXPECT_EQ(text(window.get(), "m_tfPrinterName"), "Ivra queue");
}

// Cancelling the wait closes the window unwritten; the worker finishing afterwards, even after
// the window is gone, touches nothing of it.
TEST_F(ToolboxWindow, CancellingTheLoadClosesWithoutMessageOrWrites) {
    device.holdReplies();
    LongWait::setDialogHook([](QWidget* dialog) { QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection); });
    {
        auto window = make();
        EXPECT_EQ(window->runModal(), QDialog::Rejected);
        EXPECT_FALSE(window->isVisible());
    }
    LongWait::setDialogHook({});
    device.releaseReplies();
    LongWait::joinAbandoned();
    QApplication::processEvents();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(device.writes().empty());
}

TEST_F(ToolboxWindow, CancellingTheSensorReadClosesTheWindow) {
    auto window = open();
    window->show();
    device.holdReplies();
    LongWait::setDialogHook([](QWidget* dialog) { QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection); });
    window->readSensorsClick();
    LongWait::setDialogHook({});
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    // The window no longer uses the engine its worker holds: OK writes nothing.
    type(window.get(), "m_tfTopMargin", "3.0\"");
    window->okClick();
    window.reset();
    device.releaseReplies();
    LongWait::joinAbandoned();
    EXPECT_TRUE(device.writes().empty());
}

// A family whose combo box asks the embosser (here the duplex choice) asks off the window thread,
// behind the progress dialog, and says when no answer came.
TEST_F(ToolboxWindow, AChoiceThatAsksTheEmbosserWaitsOffTheWindowThread) {
    brelmont::toolbox::FamilyDescription asking = brelmont::toolbox::orvinFamily();
    auto askedOn = std::make_shared<std::thread::id>();
    asking.comboActions.push_back({"m_cbDuplex", nullptr, [askedOn](brelmont::toolbox::ToolboxModel& model, int) {
                                       *askedOn = std::this_thread::get_id();
                                       return brelmont::printer::ExchangeOutcome(model.exchange("\x1b%-12345X@PJL DINQUIRE DUPLEXMODE\n"));
                                   }});
    const brelmont::toolbox::ToolboxFamily family{221201, "orvinToolboxWindowController", "OrvinToolboxViewController", &asking};
    ToolboxViewController window(family, {[](const auto&) { return std::vector{ScriptedEmbosser::queue()}; }, device.exchange(), {}});
    ASSERT_TRUE(window.viewDidLoad());
    device.fail(brelmont::printer::ExchangeStatus::NoReply);
    choose(&window, "m_cbDuplex", 0);
    QApplication::processEvents();
    EXPECT_NE(*askedOn, std::this_thread::get_id());
    EXPECT_EQ(messages, QStringList{"The embosser was not asked: the embosser did not reply (scripted failure)."});
    EXPECT_TRUE(window.applyButton()->isEnabled());
}

} // namespace
} // namespace toolboxtest
