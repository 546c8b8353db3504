// The windows' shared helpers: the focus given back when a dialog closes, with its outcome said
// there, and the long-wait helper (work off the window thread, a named, modal progress dialog,
// Escape that cancels).
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

#include <future>

using namespace brelmont::widgets;

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

// The dialog is named by the wait and holds back the clicks meant for the window behind it; Escape
// returns at once, the worker still waiting. (That its late result is dropped, even after its window
// is gone, is the toolbox window's test.)
TEST(LongWait, TheProgressDialogIsNamedHoldsBackTheWindowBehindAndEscapeCancels) {
    QPushButton button("Press");
    guitest::showActive(&button);
    int presses = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++presses; });
    std::promise<void> gate; // the worker waits until the test opens it
    QString name;
    LongWait::setDialogHook([&](QWidget* dialog) {
        name = guitest::accessibleName(dialog);
        EXPECT_NE(dialog->findChild<QPushButton*>(), nullptr);
        QTimer::singleShot(0, &button, [&, dialog] {
            QTest::mouseClick(&button, Qt::LeftButton);
            QTRY_VERIFY(dialog->isVisible());
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
    });
    EXPECT_FALSE(LongWait::runWork(&button, "Reading settings from the embosser\u2026",
                                   [opened = gate.get_future().share()] { opened.wait(); }));
    EXPECT_EQ(name, "Reading settings from the embosser\u2026");
    EXPECT_EQ(presses, 0);
    LongWait::setDialogHook({});
    gate.set_value();
    LongWait::joinAbandoned();
}
