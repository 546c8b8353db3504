// The preferences window for screen reader and keyboard users: every control has a name, the
// mnemonics do not clash, Tab reaches the controls in reading order, Enter confirms.
#include "PreferencesWindowFixture.h"

#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <map>
#include <set>

namespace prefstest {
namespace {

using guitest::accessibleName;

// What a screen reader says the control is: a button by its text, any other control by the label
// it is labelled by (a combo box's own name is its current item).
QString spokenName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface) return {};
    if (qobject_cast<QAbstractButton*>(widget)) return iface->text(QAccessible::Name);
    const auto labels = iface->relations(QAccessible::Label);
    return labels.isEmpty() ? iface->text(QAccessible::Name) : labels.first().first->text(QAccessible::Name);
}

TEST_F(PreferencesWindow, EveryControlHasItsName) {
    auto window = open({OrvinQueue});
    const std::map<std::string, QString> expected = {
        {"m_comboPrinters", "Printer queue:"},
        {"m_comboMediaType", "Media type:"},
        {"m_comboPageSize", "Paper size:"},
        {"m_customWidth", "Custom width:"},
        {"m_customHeight", "by height:"},
        {"m_comboUnits", "Units:"},
        {"m_duplexSimplex", "Single-sided"},
        {"m_duplexInterpoint", "Interpoint"},
        {"m_collate", "Collate copies"},
        {"m_preview", "Preview before printing"},
        {"m_comboBrlQuality", "Emboss quality:"},
        {"m_comboDotQuality", "Dot quality:"},
        {"m_comboDotHeight", "Dot height:"},
        {"m_comboBrailleSpacing", "Braille spacing:"},
        {"m_embossStdTexts", "Emboss standard texts"},
        {"m_embossOnly", "Emboss only"},
        {"m_printOnly", "Print"},
        {"m_twoInOne", "Two-in-one"},
        {"m_renderGrayscale", "Grayscale"},
        {"m_renderColor", "Colour"},
        {"m_comboInkQuality", "Ink quality:"},
        {"m_comboDithering", "Dithering:"},
        {"m_contrast", "Contrast:"},
        {"m_brightness", "Brightness:"},
        {"m_sliderThinLine", "Thin line intensity:"},
        {"m_outputFaceUp", "Face up"},
        {"m_outputFaceDown", "Face down"},
        {"m_rotateLandscape", "Rotate landscape pages"},
        {"m_comboPathPicker", "Pattern file:"},
        {"m_comboOutputPath", "Output path:"},
    };
    for (const auto& [name, text] : expected) {
        QWidget* widget = control<QWidget>(window.get(), name.c_str());
        if (widget) {
            EXPECT_EQ(spokenName(widget).toStdString(), text.toStdString()) << name;
        }
    }
    // Nothing that takes focus is left without a name.
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->focusPolicy() == Qt::NoFocus || qobject_cast<QTabWidget*>(widget) || widget->objectName().isEmpty() ||
            widget->objectName().startsWith("qt_"))
            continue;
        EXPECT_FALSE(spokenName(widget).isEmpty()) << widget->objectName().toStdString();
    }
}

TEST_F(PreferencesWindow, MnemonicsDoNotClash) {
    auto window = open({OrvinQueue});
    EXPECT_EQ(guitest::clashingMnemonics(window.get()), QStringList());
    EXPECT_GE(guitest::mnemonics(window.get()).size(), 20);
}

TEST_F(PreferencesWindow, TabFollowsTheReadingOrderAndEnterConfirms) {
    auto window = open({OrvinQueue});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // One round of the focus chain, as Tab walks it on the first page (disabled fields skipped).
    std::vector<std::string> order;
    QWidget* start = window->findChild<QWidget*>("m_comboPrinters");
    QWidget* widget = start;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window.get()) && widget->isEnabled() &&
            widget->objectName().startsWith("m_"))
            order.push_back(widget->objectName().toStdString());
        widget = widget->nextInFocusChain();
    } while (widget && widget != start);
    EXPECT_EQ(order, (std::vector<std::string>{"m_comboPrinters", "m_tabView", "m_comboMediaType", "m_comboPageSize",
                                               "m_duplexSimplex", "m_duplexInterpoint", "m_collate", "m_preview"}));

    control<QWidget>(window.get(), "m_comboPrinters")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PreferencesWindow, EnterInTheTypedOutputPathConfirms) {
    auto window = open({OrvinQueue});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* tabs = control<QTabWidget>(window.get(), "m_tabView");
    tabs->setCurrentWidget(control<QWidget>(window.get(), "m_tabFiles"));
    auto* outputPath = control<QComboBox>(window.get(), "m_comboOutputPath");
    outputPath->setFocus();
    outputPath->lineEdit()->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), "/tmp/typed");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->isVisible());
    EXPECT_NE(assignments(OrvinQueue).find("karro-outputpath=/tmp/typed"), std::string::npos) << assignments(OrvinQueue);
}

} // namespace
} // namespace prefstest
