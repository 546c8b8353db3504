// The toolbox window for screen reader and keyboard users: every control is named, mnemonics do
// not clash, Tab reaches every control of each page, Enter is OK and Escape is Cancel.
#include "ToolboxWindowFixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>

#include <map>
#include <set>

namespace toolboxtest {
namespace {

bool takesFocus(QWidget* widget) {
    return (widget->focusPolicy() & Qt::TabFocus) && !widget->objectName().isEmpty() &&
           !widget->objectName().startsWith("qt_");
}

TEST_F(ToolboxWindow, EveryControlIsNamedByItsLabel) {
    auto window = open();
    const std::map<std::string, QString> expected = {
        {"m_tfPrinterName", "Printer name:"}, {"m_cbPjlNames", "PJL variable:"}, {"m_tfPjlValue", "Value:"},
        {"m_cbPaperSize", "Paper size:"},     {"m_tfPaperWidth", "Width:"},      {"m_tfStatus", "Status:"},
        {"m_cbDuplex", "Duplex:"},            {"m_tfTable", "Braille table:"},   {"m_tfSensors", "Sensors:"},
        {"m_tfInkCartSpace", "Cartridge spacing:"}, {"m_ckAutoCr", "Automatic carriage return"},
        {"m_buttonApply", "Apply"},           {"pbSolenoidBack", "Solenoid Calibration"},
    };
    for (const auto& [name, text] : expected)
        EXPECT_EQ(guitest::spokenName(control<QWidget>(window.get(), name.c_str())).toStdString(), text.toStdString()) << name;

    EXPECT_EQ(guitest::unnamedControls(window.get()), QStringList());
    int named = 0;
    for (QWidget* widget : window->findChildren<QWidget*>()) named += takesFocus(widget) && !qobject_cast<QTabWidget*>(widget);
    EXPECT_GE(named, 40);
}

TEST_F(ToolboxWindow, MnemonicsDoNotClash) {
    auto window = open();
    EXPECT_EQ(guitest::clashingMnemonics(window.get()), QStringList());
    EXPECT_GE(guitest::mnemonics(window.get()).size(), 20);
}

// On every page, one round of Tab from the tab bar meets each control of the page and the three
// buttons at the foot, in the layout's reading order.
TEST_F(ToolboxWindow, TabReachesEveryControlOfEachPage) {
    auto window = open();
    control<QCheckBox>(window.get(), "m_ckDHCP")->click(); // a change, so Apply is in the round too
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto* tabs = control<QTabWidget>(window.get(), "m_tvTabView");
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        std::set<std::string> expected;
        for (QWidget* widget : window->findChildren<QWidget*>())
            if (takesFocus(widget) && widget->isVisibleTo(window.get()) && widget->isEnabled() &&
                widget->objectName().contains(QRegularExpression("^(m_|pb)")) && !qobject_cast<QTabWidget*>(widget))
                expected.insert(widget->objectName().toStdString());
        tabs->setFocus();
        std::set<std::string> reached;
        std::vector<std::string> order;
        for (int step = 0; step < 100; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            ASSERT_NE(now, nullptr);
            if (now == tabs || now->parentWidget() == tabs) break; // back at the tab bar
            if (!reached.insert(now->objectName().toStdString()).second) break;
            order.push_back(now->objectName().toStdString());
        }
        EXPECT_EQ(reached, expected) << "page " << page;
        ASSERT_GE(order.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(order.end() - 3, order.end()),
                  (std::vector<std::string>{"m_buttonApply", "m_buttonCancel", "m_buttonOK"}))
            << "page " << page;
    }
}

TEST_F(ToolboxWindow, EnterIsOkAndEscapeIsCancel) {
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) {
        auto window = open();
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        control<QTabWidget>(window.get(), "m_tvTabView")->setCurrentIndex(1);
        auto* margin = control<QLineEdit>(window.get(), "m_tfLeftMargin");
        margin->setFocus();
        margin->selectAll();
        QTest::keyClicks(margin, "1");
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->result(), key == Qt::Key_Return ? QDialog::Accepted : QDialog::Rejected);
    }
    // Enter wrote the typed margin, one inch in twentieths; Escape wrote nothing.
    EXPECT_EQ(device.writes(), std::vector<std::string>{"\x1b%-12345X@PJL DEFAULT LEFTMARGIN=20\n@PJL SERVICE UPDATE\n"});
}

} // namespace
} // namespace toolboxtest
