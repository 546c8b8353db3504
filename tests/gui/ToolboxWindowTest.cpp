// The toolbox windows: over a scripted Orvin, what a load shows, how each kind of change reaches
// Apply and OK, the keyboard, failed loads, long waits and Cancel; the Toolbox command's choice of
// window; and one whole path through the window to a simulated embosser behind the private CUPS server.
#include "GuiTestSupport.h"
#include "ScriptedEmbosser.h"

#include "toolbox/Families.h"
#include "toolbox/OrvinFamily.h"
#include "toolbox/ui/ToolboxChoice.h"
#include "toolbox/ui/ToolboxViewController.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>
#include <thread>

using brelmont::printer::PrinterItem;
using brelmont::printer::Printers;
using brelmont::printer::SharedStop;
using brelmont::testing::ScriptedEmbosser;
using brelmont::toolbox::ui::ToolboxViewController;
using brelmont::widgets::LongWait;
using guitest::find;
using guitest::text;
using guitest::type;

namespace {

using Listing = std::function<std::vector<PrinterItem>(const SharedStop&)>;
Listing listing(std::vector<PrinterItem> queues) {
    return [queues](const SharedStop&) { return queues; };
}

const brelmont::toolbox::ToolboxFamily& family(int64_t model) { return *brelmont::toolbox::familyForModel(model); }

void rejectTheWait() {
    LongWait::setDialogHook([](QWidget* dialog) { QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection); });
}

class ToolboxWindow : public ::testing::Test {
protected:
    void TearDown() override {
        LongWait::setDialogHook({});
        LongWait::joinAbandoned();
    }
    std::unique_ptr<ToolboxViewController> make(Listing queues = listing({ScriptedEmbosser::queue()})) {
        return std::make_unique<ToolboxViewController>(family(221201),
                                                       brelmont::toolbox::ui::ToolboxDevice{queues, device.exchange(), {}});
    }
    std::unique_ptr<ToolboxViewController> open() {
        auto window = make();
        EXPECT_TRUE(window->viewDidLoad());
        return window;
    }
    static std::vector<std::string> written(const std::string& lines) {
        return {"\x1b%-12345X" + lines + "@PJL SERVICE UPDATE\n"};
    }

    ScriptedEmbosser device;
    guitest::Alerts alerts;
};

TEST_F(ToolboxWindow, ALoadShowsTheDeviceWithApplyDisabled) {
    device.set("variables", "AUTOCR", "ON");
    auto window = open();
    EXPECT_EQ(window->windowTitle(), "Orvin Toolbox");
    EXPECT_FALSE(window->applyButton()->isEnabled());
    EXPECT_FALSE(find(window.get(), "pbSolenoidBack")->isEnabled()); // no request behind it
    EXPECT_EQ(text(window.get(), "m_tfPrinterName"), "Orvin in the lab");
    EXPECT_EQ(find<QComboBox>(window.get(), "m_cbPaperSize")->currentText(), "Letter");
    EXPECT_TRUE(find<QCheckBox>(window.get(), "m_ckAutoCr")->isChecked());
    EXPECT_EQ(find<QLabel>(window.get(), "m_lbFillState0")->text(), "71 %");
    EXPECT_TRUE(device.writes().empty());

    device = ScriptedEmbosser();
    device.set("versions", "SIAFW", "0"); // no ink module: its tab goes
    auto noInk = open();
    EXPECT_EQ(find<QTabWidget>(noInk.get(), "m_tvTabView")->indexOf(find(noInk.get(), "m_tbTintBridge")), -1);
}

// Every family's window has a widget for each engine control, and combo boxes with the items the
// family counts on.
TEST_F(ToolboxWindow, EveryEngineControlHasItsWidget) {
    for (const auto& f : brelmont::toolbox::toolboxFamilies()) {
        if (!ToolboxViewController::canOpen(f)) continue;
        ToolboxViewController window(f, {listing({ScriptedEmbosser::queue(f.modelCode)}), device.exchange(), {}});
        for (const auto& state : window.model().controls()) {
            auto* widget = window.findChild<QWidget*>(QString::fromStdString(state.name));
            ASSERT_NE(widget, nullptr) << f.windowIdentifier << " " << state.name;
            if (state.layoutItems > 0) { EXPECT_EQ(qobject_cast<QComboBox*>(widget)->count(), state.layoutItems) << state.name; }
        }
    }
}

// Each kind of control reports a user change to Apply, and OK writes it; a field left unchanged,
// or a value the engine refuses (put back), changes nothing.
TEST_F(ToolboxWindow, EachKindOfChangeReachesApplyAndOk) {
    const std::vector<std::tuple<const char*, std::function<void(QWidget*)>, std::string>> changes = {
        {"text field", [](QWidget* w) { type(w, "m_tfTopMargin", "1.0\""); }, "@PJL DEFAULT TOPMARGIN=20\n"},
        {"combo box", [](QWidget* w) { guitest::choose(w, "m_cbQuality", 0); }, "@PJL DEFAULT QUALITY=DRAFT\n"},
        {"check box", [](QWidget* w) { find<QCheckBox>(w, "m_ckTunes")->click(); }, "@PJL DEFAULT FLAGS=13\n"},
        {"field still being edited", [](QWidget* w) { find<QLineEdit>(w, "m_tfLeftMargin")->setText("0.25\""); },
         "@PJL DEFAULT LEFTMARGIN=5\n"},
    };
    for (const auto& [what, change, sent] : changes) {
        SCOPED_TRACE(what);
        device = ScriptedEmbosser();
        auto window = open();
        change(window.get());
        window->okClick();
        EXPECT_EQ(device.writes(), written(sent));
        EXPECT_EQ(window->result(), QDialog::Accepted);
        EXPECT_EQ(window->outcome(), "The changed settings were written to the embosser.");
    }
    device = ScriptedEmbosser();
    device.set("variables", "GATEWAY", "caf\xe9-gw"); // not UTF-8: its field cannot give it back byte for byte
    auto window = open();
    type(window.get(), "m_tfTopMargin", text(window.get(), "m_tfTopMargin"));
    type(window.get(), "m_tfIpAddr", "10.0.0.9\n@PJL DEFAULT TOPMARGIN=0");
    EXPECT_EQ(text(window.get(), "m_tfIpAddr"), "10.1.2.3");
    EXPECT_FALSE(window->applyButton()->isEnabled());
    window->applyClick();
    window->okClick();
    EXPECT_TRUE(device.writes().empty());
    EXPECT_TRUE(window->outcome().isEmpty()); // nothing written, nothing said
}

// Export saves what the embosser holds; Import sets the profile's controls and applies them, saying
// what was written and what was skipped; a profile of another family is refused.
TEST_F(ToolboxWindow, SettingsProfilesAreExportedAndImported) {
    auto window = open();
    EXPECT_EQ(guitest::accessibleName(find(window.get(), "m_buttonImportSettings")), "Import Settings");
    const guitest::TempDir dir("profiles");
    window->exportSettingsTo(QString::fromStdString((dir.path() / "lab.json").string()));
    alerts.expectOne("The settings of the embosser were saved in lab.json.");
    EXPECT_NE(guitest::readFile(dir.path() / "lab.json").find("\"m_tfTopMargin\": \"0.25\\\"\""), std::string::npos);

    const struct {
        std::string profile, said;
        std::vector<std::string> sent;
    } imports[] = {
        {R"({"family": 221201, "settings": {"m_tfTopMargin": "1.0\"", "m_tfRetired": "x"}})",
         "1 setting of p.json was written to the embosser.\n\nSkipped, as this embosser has no such setting: m_tfRetired.",
         written("@PJL DEFAULT TOPMARGIN=20\n")},
        {R"({"family": 20802, "settings": {}})",
         "The profile is for the Tessaline 30RT family (20802), not for the Orvin family (221201); nothing was written.",
         {}},
    };
    for (const auto& import : imports) {
        device = ScriptedEmbosser();
        auto target = open();
        guitest::writeFile(dir.path() / "p.json", import.profile);
        target->importSettingsFrom(QString::fromStdString((dir.path() / "p.json").string()));
        EXPECT_EQ(alerts.take(), QStringList{QString::fromStdString(import.said)});
        EXPECT_EQ(device.writes(), import.sent);
    }
}

// On every page one round of Tab meets each control of the page, then the buttons of the row from
// Export Settings to OK; Enter
// is OK (writing the typed margin) and Escape is Cancel.
TEST_F(ToolboxWindow, TabReachesEveryControlOfEachPageAndEnterAndEscapeClose) {
    auto window = open();
    find<QCheckBox>(window.get(), "m_ckDHCP")->click(); // a change, so Apply is in the round too
    guitest::showActive(window.get());
    auto* tabs = find<QTabWidget>(window.get(), "m_tvTabView");
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QStringList expected;
        for (QWidget* widget : tabs->currentWidget()->findChildren<QWidget*>())
            if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window.get()) && widget->isEnabled())
                expected << widget->objectName();
        const QStringList buttons{"m_buttonExportSettings", "m_buttonImportSettings", "m_buttonApply", "m_buttonCancel",
                                  "m_buttonOK"};
        expected += buttons;
        QStringList stops = guitest::tabStops(find(window.get(), "m_buttonOK")).mid(1);
        stops.removeIf(
            [](const QString& name) { return name == "m_tvTabView" || !name.contains(QRegularExpression("^(m_|pb)")); });
        stops << "m_buttonOK";
        std::sort(expected.begin(), expected.end() - buttons.size());
        std::sort(stops.begin(), stops.end() - buttons.size());
        EXPECT_EQ(stops, expected) << "page " << page;
    }
    // A left margin being typed, then Escape, Enter (OK), or Apply: Apply is enabled while the
    // value is still being typed, so its Alt+A is a press of Apply (not an "a" in the field), and it
    // takes what was typed.
    const struct {
        Qt::Key key; // Key_unknown: Apply
        const char* typed;
        std::vector<std::string> sent;
    } ends[] = {{Qt::Key_Escape, "1", {}},
                {Qt::Key_Return, "1", written("@PJL DEFAULT LEFTMARGIN=20\n")},
                {Qt::Key_unknown, "0.6", written("@PJL DEFAULT LEFTMARGIN=12\n")}};
    for (const auto& end : ends) {
        SCOPED_TRACE(end.key);
        device = ScriptedEmbosser();
        auto keyed = open();
        guitest::showActive(keyed.get());
        find<QTabWidget>(keyed.get(), "m_tvTabView")->setCurrentIndex(1);
        auto* margin = find<QLineEdit>(keyed.get(), "m_tfLeftMargin");
        margin->setFocus();
        margin->selectAll();
        QTest::keyClicks(margin, end.typed);
        if (end.key == Qt::Key_unknown) {
            EXPECT_TRUE(keyed->applyButton()->isEnabled());
            keyed->applyButton()->click();
        } else {
            QTest::keyClick(margin, end.key);
            EXPECT_FALSE(keyed->isVisible());
            EXPECT_EQ(keyed->result(), end.key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
        }
        EXPECT_EQ(device.writes(), end.sent);
    }
}

// No queue of the family, a queue list that failed, a device that does not answer: the message,
// no window, nothing written.
TEST_F(ToolboxWindow, AFailedLoadShowsTheMessageAndClosesWithoutWriting) {
    const std::vector<std::pair<const char*, Listing>> cases = {
        {"no queue", listing({})},
        {"queue of another family", listing({ScriptedEmbosser::queue(221203)})},
        {"queue list failed", [](const SharedStop&) -> std::vector<PrinterItem> { throw std::runtime_error("failed"); }},
        {"device not answering", listing({ScriptedEmbosser::queue()})},
    };
    device.fail(brelmont::printer::ExchangeStatus::NoReply);
    for (const auto& [what, queues] : cases) {
        auto window = make(queues);
        EXPECT_EQ(window->runModal(), QDialog::Rejected);
        SCOPED_TRACE(what);
        alerts.expectOne(brelmont::widgets::MessageBox::SettingsFailureText);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_TRUE(device.writes().empty());
}

// Cancelling a wait (the load, the sensors) closes the window; the worker finishing afterwards, even
// after the window is gone, writes and says nothing.
TEST_F(ToolboxWindow, CancellingAWaitClosesTheWindowWithoutWrites) {
    device.holdReplies();
    rejectTheWait();
    EXPECT_EQ(make()->runModal(), QDialog::Rejected);
    LongWait::setDialogHook({});
    device.releaseReplies();
    LongWait::joinAbandoned();

    auto window = open();
    window->show();
    device.holdReplies();
    rejectTheWait();
    window->readSensorsClick();
    EXPECT_FALSE(window->isVisible());
    type(window.get(), "m_tfTopMargin", "3.0\"");
    window->okClick(); // the window no longer uses the engine its worker holds
    window.reset();
    device.releaseReplies();
    LongWait::joinAbandoned();
    EXPECT_TRUE(alerts.take().isEmpty());
    EXPECT_TRUE(device.writes().empty());
}

// A combo box that asks the embosser asks off the window thread and says when no answer came.
TEST_F(ToolboxWindow, AChoiceThatAsksTheEmbosserWaitsOffTheWindowThread) {
    brelmont::toolbox::FamilyDescription asking = brelmont::toolbox::orvinFamily();
    auto askedOn = std::make_shared<std::thread::id>();
    asking.comboActions.push_back({"m_cbDuplex", nullptr, [askedOn](brelmont::toolbox::ToolboxModel& model, int) {
                                       *askedOn = std::this_thread::get_id();
                                       return brelmont::printer::ExchangeOutcome(
                                           model.exchange("\x1b%-12345X@PJL DINQUIRE DUPLEXMODE\n"));
                                   }});
    const brelmont::toolbox::ToolboxFamily orvin{221201, "orvinToolboxWindowController", "OrvinToolboxViewController", &asking};
    ToolboxViewController window(orvin, {listing({ScriptedEmbosser::queue()}), device.exchange(), {}});
    ASSERT_TRUE(window.viewDidLoad());
    device.fail(brelmont::printer::ExchangeStatus::NoReply);
    guitest::choose(&window, "m_cbDuplex", 0);
    EXPECT_NE(*askedOn, std::this_thread::get_id());
    alerts.expectOne("The embosser was not asked: the embosser did not reply.", &window);
}

// The Toolbox command opens the window of the first family in the fixed order among the attached
// devices (their listing lines: address, then the device ID).
TEST(ToolboxChoice, TheFirstFamilyInTheFixedOrderWins) {
    const auto line = [](const char* model) { return std::string("usb://B \"MFG:Brelmont;MDL:") + model + ";CMD:PJL;\""; };
    const std::vector<std::pair<std::vector<std::string>, std::string_view>> cases = {
        {{line("Karro Orvin 200"), line("Quorrin")}, "fennickToolboxWindowController"},
        {{line("Orvin Color TintBridge"), line("Karro Orvin 200")}, "orvinToolboxWindowController"},
        {{line("Orvin Color TintBridge"), line("Tessaline 30RT;S:0402")}, "tessalineToolboxWindowController"},
        {{"usb://Other/Printer \"MFG:Other;MDL:Laser 5;\""}, ""},
    };
    for (const auto& [listing, window] : cases) {
        const auto* chosen = brelmont::toolbox::ui::chooseAttachedFamily(listing);
        EXPECT_EQ(chosen ? chosen->windowIdentifier : std::string_view(), window);
    }
}

// Several attached embossers: the user picks one by its queue's name and model with the keyboard,
// and its window talks to that queue; Escape opens none. Queues not attached are not offered.
TEST_F(ToolboxWindow, WithSeveralAttachedTheUserPicksOne) {
    const std::vector<PrinterItem> queues = {
        ScriptedEmbosser::queue(221201, "Orvin in the lab"),
        ScriptedEmbosser::queue(221201, "Orvin in the office"),
        {"socket://10.0.0.7", "Merriden_Off", "Merriden switched off", 131201, false, "Merriden"},
        ScriptedEmbosser::queue(121201, "Valdo by the door"),
    };
    for (const auto key : {Qt::Key_Escape, Qt::Key_Return}) {
        QStringList lines;
        QString spoken, opened;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* window = qobject_cast<ToolboxViewController*>(modal)) {
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
        brelmont::toolbox::ui::openToolboxClick(
            nullptr, {[&](const SharedStop&) { return Printers(queues); }, {listing({}), device.exchange(), {}}});
        EXPECT_EQ(lines,
                  (QStringList{"Valdo by the door (Valdo Trac)", "Orvin in the lab (Orvin)", "Orvin in the office (Orvin)"}));
        EXPECT_EQ(spoken, "Attached embossers:");
        EXPECT_EQ(opened, key == Qt::Key_Return ? "Orvin in the office" : "");
    }
    EXPECT_TRUE(alerts.take().isEmpty());
}

class ToolboxSystem : public guitest::SystemTest {};

// The window over the real queue list and device helper: it loads the simulated Orvin, Apply writes
// the change there; with the embosser switched off, Apply says in words what was not written (the
// helper's message under Details) and stays.
TEST_F(ToolboxSystem, TheWindowLoadsAndAppliesToTheSimulatedOrvin) {
    ToolboxViewController window(family(221201), brelmont::toolbox::ui::ToolboxDevice::system());
    ASSERT_TRUE(window.viewDidLoad());
    EXPECT_EQ(text(&window, "m_tfModelNumber"), "Orvin 200");
    type(&window, "m_tfTopMargin", "1.0\"");
    window.applyClick();
    EXPECT_EQ(orvin->logCount("@PJL DEFAULT TOPMARGIN=20"), 1);
    EXPECT_EQ(orvin->logCount("@PJL DEFAULT"), 1);

    orvin->stop();
    type(&window, "m_tfTopMargin", "1.5\"");
    window.applyClick();
    orvin->restart();
    QCoreApplication::processEvents(); // the alert is posted
    EXPECT_TRUE(alerts.details.value(0).startsWith("pjlhelper: ")) << alerts.details.join('|').toStdString();
    alerts.expectOne("The changed settings were not written to the embosser: the embosser is not attached or not switched on.",
                     &window);
    EXPECT_TRUE(window.applyButton()->isEnabled());
}

} // namespace
