// The windows' shared helpers: the focus given back when a dialog closes, with its outcome said
// there, and the long-wait helper (work off the window thread, a named, modal progress dialog,
// Cancel that drops the result).
#include "GuiTestSupport.h"

#include "widgets/FocusReturn.h"
#include "widgets/LongWait.h"
#include "widgets/StatusLine.h"

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <future>

using namespace brelmont::widgets;

namespace {

// A gate a worker waits at until the test opens it.
struct Gate {
    std::promise<void> opener;
    std::shared_future<void> opened = opener.get_future().share();
    void open() { opener.set_value(); }
    void wait() { opened.wait(); }
};

class LongWaitTest : public ::testing::Test {
protected:
    void TearDown() override {
        LongWait::setDialogHook({});
        LongWait::joinAbandoned();
    }
};

} // namespace

TEST(FocusReturn, TheOpenerGetsTheFocusBackAndItsWindowSaysWhatAnAcceptedDialogDid) {
    QWidget window;
    new QVBoxLayout(&window);
    brelmont::widgets::StatusLine* status = brelmont::widgets::StatusLine::addTo(&window);
    auto *opener = new QPushButton(QStringLiteral("Send…"), &window), *other = new QPushButton(QStringLiteral("Other"), &window);
    guitest::showActive(&window);
    for (const bool accept : {true, false}) {
        opener->setFocus();
        auto* dialog = new QDialog(&window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        returnFocusOnClose(dialog, opener, [] { return QStringLiteral("The file was sent to Office."); });
        dialog->show();
        other->setFocus(); // where the window system might leave it
        accept ? dialog->accept() : dialog->reject();
        EXPECT_TRUE(opener->hasFocus()) << accept;
        EXPECT_EQ(status->text(), accept ? "The file was sent to Office." : "") << accept;
        status->note({});
    }
}

// The dialog is named by the wait, and holds back the clicks meant for the window behind it.
TEST_F(LongWaitTest, TheProgressDialogNamesTheWaitAndTheWindowBehindTakesNoInput) {
    QPushButton button("Press");
    guitest::showActive(&button);
    int presses = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++presses; });
    auto gate = std::make_shared<Gate>();
    QString name;
    LongWait::setDialogHook([&](QWidget* dialog) {
        name = guitest::accessibleName(dialog);
        EXPECT_NE(dialog->findChild<QPushButton*>(), nullptr);
        QTimer::singleShot(0, &button, [&, dialog] {
            QTest::mouseClick(&button, Qt::LeftButton);
            QTRY_VERIFY(dialog->isVisible());
            gate->open();
        });
    });
    EXPECT_TRUE(LongWait::runWork(&button, "Reading settings from the embosser\u2026", [gate] { gate->wait(); }));
    EXPECT_EQ(name, "Reading settings from the embosser\u2026");
    EXPECT_EQ(presses, 0);
}

// Escape returns at once; the result of a worker finishing afterwards, even after its window is
// gone, is dropped. (Cancel by the button is the toolbox window's test.)
TEST_F(LongWaitTest, EscapeDropsTheResultEvenWhenTheWorkerFinishesAfterTheWindowIsGone) {
    auto gate = std::make_shared<Gate>();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::optional<int> result;
    {
        QWidget window;
        LongWait::setDialogHook(
            [](QWidget* dialog) { QTimer::singleShot(0, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); }); });
        result = LongWait::run<int>(&window, "Waiting", [gate, finished] {
            gate->wait();
            finished->store(true);
            return 42;
        });
    }
    EXPECT_FALSE(result.has_value());
    EXPECT_FALSE(finished->load());
    gate->open();
    LongWait::joinAbandoned();
    QApplication::processEvents(); // a late wake-up call, if one were posted, would land here
    EXPECT_TRUE(finished->load());
}
