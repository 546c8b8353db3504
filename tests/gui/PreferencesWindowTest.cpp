// The preferences window against queues of the private CUPS server: keyboard choices, what OK and
// Cancel leave in the printing system and the mirror files, and every refusal said in an alert.
#include "GuiTestSupport.h"

#include "preferences/SharedDataFolder.h"
#include "preferences/ui/PreferencesSettings.h"
#include "preferences/ui/PreferencesViewController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

using brelmont::preferences::ui::PreferencesViewController;
using guitest::find;
namespace fs = std::filesystem;
namespace ui = brelmont::preferences::ui;

namespace {

const std::string Orvin = "Orvin_200", Valdo = "Valdo_Sheet";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
fs::path mirror(const std::string& queue) {
    return brelmont::preferences::sharedDataFolder() / ".lpoptions" / (queue + ".lpoptions");
}

class PreferencesWindow : public guitest::SystemTest {
protected:
    void SetUp() override {
        SystemTest::SetUp();
        if (IsSkipped()) return;
        for (const std::string& queue : {Orvin, Valdo}) cups->run("lpoptions -x " + queue);
        QSettings().clear();
    }
    // A window over every queue, or only `queue`; its file picker answers `picked`.
    std::unique_ptr<PreferencesViewController> open(const std::string& queue = {}) {
        brelmont::printer::Printers all;
        auto some = all.items();
        std::erase_if(some, [&queue](const auto& item) { return !queue.empty() && item.queue != queue; });
        auto window = std::make_unique<PreferencesViewController>(brelmont::printer::Printers(some, all.deviceListing()));
        window->setFilePicker([this](QWidget*, const QString&) { return ++pickerRuns, picked; });
        return window;
    }
    static QString queueShown(QWidget* window) { return find<QLabel>(window, "m_queueName")->text(); }

    QString picked;
    int pickerRuns = 0;
};

// Arrow steps through the queue chooser and onto "<Browse...>" only move; Enter chooses. OK writes
// the shown queue's controls and refreshes the mirrors.
TEST_F(PreferencesWindow, KeyboardChoicesTakeEffectOnEnterAndOkWritesThem) {
    cups->run("lpoptions -p Orvin_200 -o ThinLineIntensity=5");
    auto window = open();
    auto* queues = find<QComboBox>(window.get(), "m_comboPrinters");
    QTest::keyClick(queues, Qt::Key_Down);
    QTest::keyClick(queues, Qt::Key_Down);
    EXPECT_TRUE(window->placeholderShown());
    QTest::keyClick(queues, Qt::Key_Up);
    QTest::keyClick(queues, Qt::Key_Return);
    ASSERT_FALSE(window->placeholderShown());
    EXPECT_EQ(queueShown(window.get()).toStdString(), Orvin);
    EXPECT_EQ(find<QSlider>(window.get(), "m_sliderThinLine")->value(), 5);

    find<QComboBox>(window.get(), "m_comboPageSize")->setCurrentIndex(2); // A4
    find<QLineEdit>(window.get(), "m_contrast")->setText("9");
    find<QCheckBox>(window.get(), "m_embossStdTexts")->setChecked(false);
    find<QSlider>(window.get(), "m_sliderThinLine")->setValue(2);
    find<QComboBox>(window.get(), "m_comboOutputPath")->setCurrentText("/tmp/out dir");
    QTest::keyClick(queues, Qt::Key_Down); // past the Valdo, not into it
    EXPECT_EQ(queueShown(window.get()).toStdString(), Orvin);

    auto* picker = find<QComboBox>(window.get(), "m_comboPathPicker");
    picked = "/p/a b.pat";
    QTest::keyClick(picker, Qt::Key_Up); // onto "<Browse...>"
    EXPECT_EQ(pickerRuns, 0);
    QTest::keyClick(picker, Qt::Key_Return);
    EXPECT_EQ(pickerRuns, 1);

    window->accept();
    const std::string assigned = assignments(Orvin);
    for (const char* expected : {"PageSize=A4", "karro-contrast=9", "StandardText=False", "ThinLineIntensity=2",
                                 "karro-outputpath='/tmp/out dir'", "karro-patternfile=/p/a%20b.pat"})
        EXPECT_TRUE(contains(assigned, expected)) << expected << " in " << assigned;
    EXPECT_FALSE(contains(assignments(Valdo), "karro-contrast"));
    EXPECT_EQ(brelmont::testing::fileText(mirror(Orvin)), assigned);
    EXPECT_EQ(brelmont::testing::fileText(mirror(Valdo)), assignments(Valdo));
    EXPECT_EQ(window->outcome().toStdString(), "The printing preferences of Orvin_200 were saved.");
}

// What OK cannot write, or the printing system does not take, is said with its own message; the
// window stays with the user's choices and nothing is written. Escape then is Cancel, which writes
// nothing either but refreshes the mirrors.
TEST_F(PreferencesWindow, RefusedValuesAndFailedWritesAreSaidAndCancelWritesNothing) {
    const std::string path = std::getenv("PATH");
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // the field and its text (none: no lpoptions to run), what is said
        {"m_brightness", "101", "Brightness must be a whole number"},
        {"m_customWidth", "8,5", "The custom paper width must be a number"},
        {nullptr, "", "Some printing preferences of Orvin_200 were not saved."},
    };
    for (const auto& [field, text, said] : cases) {
        SCOPED_TRACE(said);
        auto window = open(Orvin);
        guitest::showActive(window.get());
        auto* sizes = find<QComboBox>(window.get(), "m_comboPageSize");
        sizes->setCurrentIndex(sizes->count() - 1); // the custom size, so its fields are editable
        if (field) find<QLineEdit>(window.get(), field)->setText(text);
        else setenv("PATH", "/nonexistent", 1);
        window->accept();
        setenv("PATH", path.c_str(), 1);
        alerts.expectOne(said, window.get());
        EXPECT_TRUE(window->isVisible());
        cups->run("lpoptions -p Orvin_200 -o collate=false"); // changed elsewhere while the window is open
        QTest::keyClick(window.get(), Qt::Key_Escape);
        EXPECT_EQ(window->result(), QDialog::Rejected);
        EXPECT_FALSE(contains(assignments(Orvin), "PageSize="));
        EXPECT_TRUE(contains(brelmont::testing::fileText(mirror(Orvin)), "collate=false"));
    }
}

// A scheduler that stops answering: the queue's options cannot be read, so the window writes none
// over them. (That the driver keeps its last good mirror then is the option store's test.)
TEST_F(PreferencesWindow, AQueueThatCannotBeReadIsLeftAlone) {
    cups->run("lpoptions -p Orvin_200 -o karro-contrast=7");
    const std::string before = assignments(Orvin);
    {
        const brelmont::testing::ScopedEnv noScheduler("CUPS_SERVER", "127.0.0.1:9");
        PreferencesViewController window(brelmont::printer::Printers(
            std::vector{brelmont::printer::PrinterItem{"", Orvin, "Hall Orvin", 221201, true, "Orvin 200"}}));
        window.accept();
    }
    const QStringList shown = alerts.take();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains("could not be read")) << shown[0].toStdString();
    EXPECT_EQ(assignments(Orvin), before);
}

} // namespace
