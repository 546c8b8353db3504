// The toolbox windows over a scripted Orvin: the engine's state in the widgets, how each kind of
// change reaches Apply and OK, failed loads and writes, long waits and Cancel; and the Toolbox
// command's choice of window. What each device value shows and what each change writes is the
// engine's own test (tests/toolbox), and so is the profile the export shares with the command line
// (its room test); the window over the real helper and a simulated Orvin is the screen reader test's.
#include "GuiTestSupport.h"
#include "ScriptedEmbosser.h"

#include "toolbox/Families.h"
#include "toolbox/ui/ToolboxChoice.h"
#include "toolbox/ui/ToolboxViewController.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

using brelmont::printer::PrinterItem;
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

// Cancel pressed as soon as the wait's dialog is made.
const auto rejectTheWait = [](QWidget* dialog) { QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection); };

class ToolboxWindow : public ::testing::Test {
protected:
    void TearDown() override {
        LongWait::setDialogHook({});
        LongWait::joinAbandoned();
    }
    // The window over `device`, whose replies wait while `held` is set; cancelled work reaches no
    // device, as the helper's ended process would not.
    std::unique_ptr<ToolboxViewController> make(Listing queues = listing({ScriptedEmbosser::queue()})) {
        const auto exchange = [held = held, inner = device.exchange()](const std::string& request, const std::string& to,
                                                                       const brelmont::printer::ExchangeBounds& bounds) {
            const auto stopped = [&] { return bounds.stop && bounds.stop->stopped(); };
            while (*held && !stopped()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            return stopped() ? brelmont::printer::ExchangeResult{{brelmont::printer::ExchangeStatus::Cancelled, {}}, {}}
                             : inner(request, to, bounds);
        };
        return std::make_unique<ToolboxViewController>(*brelmont::toolbox::familyForModel(221201),
                                                       brelmont::toolbox::ui::ToolboxDevice{queues, exchange, {}});
    }
    // A fresh device, its window loaded.
    std::unique_ptr<ToolboxViewController> open() {
        device = ScriptedEmbosser();
        auto window = make();
        EXPECT_TRUE(window->viewDidLoad());
        return window;
    }

    ScriptedEmbosser device;
    std::shared_ptr<std::atomic<bool>> held = std::make_shared<std::atomic<bool>>(false);
    guitest::Alerts alerts;
};

// Loaded, the widgets show the device (a value label named by its caption and value, for screen
// readers). A field left unchanged changes nothing and leaves Apply off. (A value the engine refuses,
// and the tab of a module the embosser lacks, are the engine's tests.)
TEST_F(ToolboxWindow, ALoadShowsTheDeviceAndWhatIsNotChangedIsNotWritten) {
    device.set("variables", "GATEWAY", "caf\xe9-gw"); // not UTF-8: its field cannot give it back byte for byte
    auto window = make();
    ASSERT_TRUE(window->viewDidLoad());
    EXPECT_EQ(text(window.get(), "m_tfPrinterName"), "Orvin in the lab");
    EXPECT_EQ(guitest::accessibleName(find(window.get(), "m_lbFillState0")), "Cartridge 1 fill state: 71 %");
    EXPECT_TRUE(find(window.get(), "m_lbFillState0")->focusPolicy() & Qt::TabFocus);

    type(window.get(), "m_tfTopMargin", text(window.get(), "m_tfTopMargin"));
    EXPECT_FALSE(window->applyButton()->isEnabled());
    window->applyClick();
    window->okClick();
    EXPECT_TRUE(device.writes().empty());
    EXPECT_TRUE(window->outcome().isEmpty()); // nothing written, nothing said
}

// A combo box reports a user change, and OK writes it; so do Enter, OK and Apply (enabled as soon
// as a field is typed into) with a value still being typed, which Escape drops. (A check box toggled and
// applied is heard in the screen reader test, over the simulated Orvin.) A write that does not
// arrive is said with the reason under Details.
TEST_F(ToolboxWindow, EachKindOfChangeIsWrittenByOkEnterOrApply) {
    const struct {
        Qt::Key end; // how a value still being typed ends; 0: a combo box chosen, then OK
        std::string sent;
        int result; // -1: the window stays
    } rows[] = {{Qt::Key(0), "QUALITY=DRAFT", QDialog::Accepted},
                {Qt::Key_Return, "LEFTMARGIN=20", QDialog::Accepted},
                {Qt::Key_Escape, "", QDialog::Rejected},
                {Qt::Key_O, "LEFTMARGIN=20", QDialog::Accepted}, // O: the OK button, the field still focused
                {Qt::Key_A, "LEFTMARGIN=20", -1}};               // A: the Apply button
    for (const auto& row : rows) {
        SCOPED_TRACE(row.end);
        auto window = open();
        guitest::showActive(window.get());
        if (!row.end) {
            find<QComboBox>(window.get(), "m_cbQuality")->setCurrentIndex(0);
            emit find<QComboBox>(window.get(), "m_cbQuality")->activated(0); // as a user's choice
            window->okClick();
        } else {
            find<QTabWidget>(window.get(), "m_tvTabView")->setCurrentIndex(1);
            auto* margin = find<QLineEdit>(window.get(), "m_tfLeftMargin");
            margin->setFocus();
            margin->selectAll();
            QTest::keyClicks(margin, "1");
            if (row.end == Qt::Key_O) window->okClick();
            else if (row.end == Qt::Key_A) window->applyButton()->click();
            else QTest::keyClick(margin, row.end);
        }
        const std::string written = "\x1b%-12345X@PJL DEFAULT " + row.sent + "\n@PJL SERVICE UPDATE\n";
        EXPECT_EQ(device.writes(), row.sent.empty() ? std::vector<std::string>{} : std::vector{written});
        EXPECT_EQ(window->isVisible(), row.result < 0);
        if (row.result >= 0) { EXPECT_EQ(window->result(), row.result); }
        EXPECT_EQ(window->outcome(), row.result == QDialog::Accepted ? "The changed settings were written to the embosser." : "");
    }
    auto window = open();
    window->show();
    type(window.get(), "m_tfTopMargin", "1.5\"");
    device.fail(brelmont::printer::ExchangeStatus::NotAttached);
    window->applyClick();
    QCoreApplication::processEvents(); // the alert is posted
    EXPECT_EQ(alerts.details, QStringList{"scripted failure"});
    alerts.expectOne("The changed settings were not written to the embosser: the embosser is not attached or not switched on.",
                     window.get());
}

// Export saves what the embosser holds, and says so only once it is saved. (Import is the engine
// the command line shares, tested in its room test.)
TEST_F(ToolboxWindow, ExportSavesWhatTheEmbosserHolds) {
    auto window = open();
    const guitest::TempDir dir("profiles");
    window->exportSettingsTo(QString::fromStdString((dir.path() / "lab.json").string()));
    alerts.expectOne("The settings of the embosser were saved in lab.json.");
    EXPECT_NE(brelmont::testing::fileText(dir.path() / "lab.json").find("\"m_tfTopMargin\": \"0.25\\\"\""), std::string::npos);
}

// A queue list that failed, a device that does not answer: the message, no window, nothing written.
// (Which queues a load takes is the engine's test.)
TEST_F(ToolboxWindow, AFailedLoadShowsTheMessageAndClosesWithoutWriting) {
    device.fail(brelmont::printer::ExchangeStatus::NoReply);
    for (const Listing& queues : {Listing([](const SharedStop&) -> std::vector<PrinterItem> { throw std::runtime_error("x"); }),
                                  listing({ScriptedEmbosser::queue()})}) {
        auto window = make(queues);
        EXPECT_EQ(window->runModal(), QDialog::Rejected);
        alerts.expectOne(brelmont::widgets::MessageBox::SettingsFailureText);
    }
    EXPECT_TRUE(device.writes().empty());
}

// Cancelling a wait (the load, the sensors) closes the window; the worker finishing afterwards, even
// after the window is gone, writes and says nothing.
TEST_F(ToolboxWindow, CancellingAWaitClosesTheWindowWithoutWrites) {
    *held = true;
    LongWait::setDialogHook(rejectTheWait);
    EXPECT_EQ(make()->runModal(), QDialog::Rejected);
    LongWait::setDialogHook({});
    *held = false;
    LongWait::joinAbandoned();

    auto window = open();
    window->show();
    *held = true;
    LongWait::setDialogHook(rejectTheWait);
    window->readSensorsClick();
    EXPECT_FALSE(window->isVisible());
    type(window.get(), "m_tfTopMargin", "3.0\"");
    window->okClick(); // the window no longer uses the engine its worker holds
    window.reset();
    *held = false;
    LongWait::joinAbandoned();
    EXPECT_TRUE(alerts.take().isEmpty());
    EXPECT_TRUE(device.writes().empty());
}

// Several attached embossers: the user picks one with the keyboard, and its window talks to that
// queue. (A queue not attached, were it offered, would move the pick; the wording of the list's
// lines is left to the eye.)
TEST_F(ToolboxWindow, WithSeveralAttachedTheUserPicksOne) {
    const std::vector<PrinterItem> queues = {
        ScriptedEmbosser::queue(221201, "Orvin in the lab"),
        ScriptedEmbosser::queue(221201, "Orvin in the office"),
        {"socket://10.0.0.7", "Merriden_Off", "Merriden switched off", 131201, false, "Merriden"},
        ScriptedEmbosser::queue(121201, "Valdo by the door"),
    };
    bool picked = false;
    QString opened;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* window = qobject_cast<ToolboxViewController*>(modal)) {
            opened = QString::fromStdString(window->model().printer()->name);
            return window->reject();
        }
        auto* list = modal ? modal->findChild<QListWidget*>() : nullptr;
        if (!list || std::exchange(picked, true)) return;
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    });
    watch.start(10);
    brelmont::toolbox::ui::openToolboxClick(
        nullptr, {[&](const SharedStop&) { return brelmont::printer::Printers(queues); }, {listing({}), device.exchange(), {}}});
    EXPECT_EQ(opened, "Orvin in the office");
    EXPECT_TRUE(alerts.take().isEmpty());
}

} // namespace
