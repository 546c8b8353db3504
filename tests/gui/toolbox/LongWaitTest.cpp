// The long-wait helper: the call runs off the window thread, its result comes back to the caller
// on the window thread, the progress dialog names the wait, and a cancelled call's result is
// dropped without harm, even when the worker finishes after its window is gone.
#include "GuiTestSupport.h"

#include "widgets/LongWait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include <atomic>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using brelmont::widgets::LongWait;

// A gate a worker waits at until the test opens it.
struct Gate {
    std::mutex mutex;
    std::condition_variable cv;
    bool isOpen = false;
    void open() {
        {
            const std::lock_guard lock(mutex);
            isOpen = true;
        }
        cv.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return isOpen; });
    }
};

// Opens the gate when the watched widget is first shown.
class OpenOnShow : public QObject {
public:
    explicit OpenOnShow(std::shared_ptr<Gate> gate) : m_gate(std::move(gate)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) m_gate->open();
        return false;
    }

private:
    std::shared_ptr<Gate> m_gate;
};

class LongWaitTest : public ::testing::Test {
protected:
    void TearDown() override {
        LongWait::setDialogHook({});
        LongWait::joinAbandoned();
    }
};

TEST_F(LongWaitTest, TheCallRunsOnAWorkerAndItsResultReturnsToTheWindowThread) {
    QWidget window;
    const std::thread::id windowThread = std::this_thread::get_id();
    const std::optional<std::thread::id> worker = LongWait::run<std::thread::id>(
        &window, "Counting", [] { return std::this_thread::get_id(); });
    ASSERT_TRUE(worker.has_value());
    EXPECT_NE(*worker, windowThread);
    EXPECT_EQ(QThread::currentThread(), qApp->thread());
}

TEST_F(LongWaitTest, TheProgressDialogNamesTheWaitAndOffersCancel) {
    QWidget window;
    window.show();
    auto shown = std::make_shared<Gate>();
    OpenOnShow watcher(shown);
    QDialog* seen = nullptr;
    bool visibleAtFirst = true;
    QString name, label;
    LongWait::setDialogHook([&](QWidget* dialog) {
        seen = qobject_cast<QDialog*>(dialog);
        visibleAtFirst = dialog->isVisible();
        dialog->installEventFilter(&watcher);
        name = guitest::accessibleName(dialog);
        label = dialog->findChild<QLabel*>()->text();
        EXPECT_NE(dialog->findChild<QPushButton*>(), nullptr);
    });
    // The work ends only once the dialog has appeared, so the dialog must appear by itself.
    const bool finished = LongWait::runWork(&window, "Reading settings from the embosser\u2026", [shown] { shown->wait(); });
    EXPECT_TRUE(finished);
    ASSERT_NE(seen, nullptr);
    EXPECT_FALSE(visibleAtFirst); // it waits a moment, so quick answers do not flash
    EXPECT_EQ(name, "Reading settings from the embosser\u2026");
    EXPECT_EQ(label, name);
}

TEST_F(LongWaitTest, CancelDropsTheResultEvenWhenTheWorkerFinishesAfterTheWindowIsGone) {
    auto gate = std::make_shared<Gate>();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::optional<int> result;
    {
        QWidget window;
        LongWait::setDialogHook([](QWidget* dialog) { QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection); });
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
    EXPECT_FALSE(result.has_value());
}

// A call that throws is a call that found nothing, not a cancel: the caller reports it.
TEST_F(LongWaitTest, ACallThatThrowsGivesTheEmptyResult) {
    QWidget window;
    EXPECT_EQ(LongWait::run<bool>(&window, "Loading", []() -> bool { throw std::runtime_error("no work folder"); }),
              std::optional<bool>(false));
    const auto listed = LongWait::run<std::vector<std::string>>(
        &window, "Listing", []() -> std::vector<std::string> { throw std::runtime_error("no helper tool"); });
    ASSERT_TRUE(listed.has_value());
    EXPECT_TRUE(listed->empty());
}

TEST_F(LongWaitTest, EscapeOnTheProgressDialogCancels) {
    QWidget window;
    auto gate = std::make_shared<Gate>();
    LongWait::setDialogHook([](QWidget* dialog) {
        QMetaObject::invokeMethod(dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); }, Qt::QueuedConnection);
    });
    EXPECT_FALSE(LongWait::runWork(&window, "Waiting", [gate] { gate->wait(); }));
    gate->open();
}

// Until the dialog appears, clicks meant for the window behind it are held back.
TEST_F(LongWaitTest, TheWindowBehindTakesNoInputDuringTheWait) {
    QPushButton button("Press");
    button.show();
    int presses = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++presses; });
    auto gate = std::make_shared<Gate>();
    LongWait::setDialogHook([&](QWidget*) {
        QMetaObject::invokeMethod(&button, [&] {
            QTest::mouseClick(&button, Qt::LeftButton);
            gate->open();
        }, Qt::QueuedConnection);
    });
    EXPECT_TRUE(LongWait::runWork(&button, "Waiting", [gate] { gate->wait(); }));
    EXPECT_EQ(presses, 0);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(presses, 1);
}

} // namespace
