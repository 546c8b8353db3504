// The preferences window against real queues: what it shows for a queue's options, and what OK
// and Cancel leave in the printing system and the mirror files.
#include "PreferencesWindowFixture.h"

#include "GuiTestSupport.h"
#include "preferences/OptionListing.h"
#include "preferences/OptionStore.h"
#include "preferences/PreferencesForm.h"
#include "preferences/ui/PreferencesSettings.h"
#include "widgets/MessageBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QApplication>

using namespace brelmont::preferences;
using brelmont::preferences::ui::PreferencesViewController;
namespace fs = std::filesystem;

namespace prefstest {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A choice as a keyboard user makes it: the item, then Enter.
void choose(QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    QTest::keyClick(combo, Qt::Key_Return);
}

QStringList items(QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i) list << combo->itemText(i);
    return list;
}

TEST_F(PreferencesWindow, OneQueueIsLoadedAtOnce) {
    auto window = open({OrvinQueue});
    auto* queues = control<QComboBox>(window.get(), "m_comboPrinters");
    EXPECT_EQ(items(queues), QStringList{"Brelmont Orvin"});
    EXPECT_FALSE(window->placeholderShown());
    EXPECT_FALSE(control<QTabWidget>(window.get(), "m_tabView")->isHidden());
    EXPECT_EQ(control<QLabel>(window.get(), "m_queueName")->text().toStdString(), OrvinQueue);
    EXPECT_EQ(window->windowTitle(), "Brelmont Orvin");
    EXPECT_EQ(window->printOptions(), windowOptionList(OptionStore::load(OrvinQueue)));
    // Opening refreshed the mirror file.
    EXPECT_EQ(guitest::readFile(mirror(OrvinQueue)), assignments(OrvinQueue));
}

TEST_F(PreferencesWindow, ChoosingAQueueRemovesThePlaceholder) {
    auto window = open();
    auto* queues = control<QComboBox>(window.get(), "m_comboPrinters");
    // The other maker's queue is not offered; a queue without printer-info shows its make-and-model.
    ASSERT_EQ(queues->count(), 4);
    EXPECT_EQ(queues->itemText(0), PreferencesViewController::PlaceholderItem);
    EXPECT_TRUE(items(queues).contains("Valdo Sheet"));
    EXPECT_FALSE(items(queues).contains("Acme"));
    EXPECT_TRUE(window->placeholderShown());
    EXPECT_TRUE(control<QTabWidget>(window.get(), "m_tabView")->isHidden());
    EXPECT_TRUE(window->printOptions().empty());
    for (const std::string& queue : {OrvinQueue, ValdoQueue, HostileQueue}) EXPECT_TRUE(fs::exists(mirror(queue)));

    const QString chosen = queues->itemText(2);
    choose(queues, 2);
    EXPECT_FALSE(window->placeholderShown());
    EXPECT_EQ(queues->count(), 3);
    EXPECT_EQ(queues->currentIndex(), 1);
    EXPECT_EQ(queues->currentText(), chosen);
    EXPECT_FALSE(control<QTabWidget>(window.get(), "m_tabView")->isHidden());
    EXPECT_FALSE(window->printOptions().empty());
}

TEST_F(PreferencesWindow, TheRememberedQueueIsLoaded) {
    ui::setLastQueueName(QString::fromStdString(ValdoQueue));
    auto window = open();
    EXPECT_FALSE(window->placeholderShown());
    EXPECT_EQ(control<QComboBox>(window.get(), "m_comboPrinters")->currentText(), "Valdo Sheet");
    EXPECT_EQ(control<QLabel>(window.get(), "m_queueName")->text().toStdString(), ValdoQueue);
    EXPECT_EQ(window->windowTitle(), "Brelmont Valdo Trac"); // "Valdo Sheet" names model code 121201
}

TEST_F(PreferencesWindow, OptionListMatchesTheListingWithTheCustomSizeLast) {
    assign(OrvinQueue, "-o karro-contrast=7 -o \"karro-outputpath='/tmp/out dir'\" -o Duplex=DuplexNoTumble");
    const std::string listing = cups->run("lpoptions -p " + OrvinQueue + " -l").out;
    ASSERT_TRUE(listing.starts_with("PageSize/Media Size: Custom.WIDTHxHEIGHT *Letter")) << listing;
    const std::vector<PrintOption> listed = parseOptionListing(listing);

    auto window = open({OrvinQueue});
    const std::vector<PrintOption>& options = window->printOptions();
    ASSERT_EQ(options.size(), listed.size() + 6);
    for (size_t i = 0; i < listed.size(); ++i) {
        SCOPED_TRACE(listed[i].key);
        if (listed[i].key != "PageSize") {
            EXPECT_EQ(options[i], listed[i]);
            continue;
        }
        const std::vector<std::string> customLast = {"Letter", "Legal",  "A4", "A4Tractor",
                                                     "115X11", "11X14", "Custom.WIDTHxHEIGHT"};
        EXPECT_EQ(options[i].values, customLast);
        EXPECT_EQ(options[i].values[options[i].selected], "Letter");
    }
    EXPECT_EQ(std::vector<PrintOption>(options.end() - 6, options.end()), applicationOptions(assignments(OrvinQueue)));

    auto* sizes = control<QComboBox>(window.get(), "m_comboPageSize");
    EXPECT_EQ(items(sizes), (QStringList{"Letter", "Legal", "A4", "German Std Fanfold", "11.5 x 11 in", "11 x 14 in",
                                         "Custom Size"}));
    EXPECT_EQ(sizes->currentText(), "Letter");
    EXPECT_EQ(control<QLineEdit>(window.get(), "m_customWidth")->text(), "8.5");
    EXPECT_FALSE(control<QLineEdit>(window.get(), "m_customWidth")->isEnabled());
    EXPECT_EQ(control<QLineEdit>(window.get(), "m_contrast")->text(), "7");
    EXPECT_EQ(control<QComboBox>(window.get(), "m_comboOutputPath")->currentText(), "/tmp/out dir");
    EXPECT_TRUE(control<QRadioButton>(window.get(), "m_duplexInterpoint")->isChecked());
    EXPECT_EQ(control<QSlider>(window.get(), "m_sliderThinLine")->value(), 3);
    EXPECT_EQ(control<QLabel>(window.get(), "m_thinLine")->text(), "3");
    EXPECT_EQ(items(control<QComboBox>(window.get(), "m_comboBrailleSpacing")).first(), "American Library of Congress");

    // Picking the custom entry makes the fields editable; a standard size shows its own numbers.
    sizes->setCurrentIndex(sizes->count() - 1);
    EXPECT_TRUE(control<QLineEdit>(window.get(), "m_customWidth")->isEnabled());
    sizes->setCurrentIndex(2);
    EXPECT_EQ(control<QLineEdit>(window.get(), "m_customWidth")->text(), "21.0");
    EXPECT_EQ(control<QComboBox>(window.get(), "m_comboUnits")->currentIndex(), UnitCentimetres);
    EXPECT_FALSE(control<QComboBox>(window.get(), "m_comboUnits")->isEnabled());
}

TEST_F(PreferencesWindow, OkWritesEveryOptionAndRefreshesTheMirrors) {
    auto window = open({OrvinQueue, ValdoQueue});
    choose(control<QComboBox>(window.get(), "m_comboPrinters"), 1); // Orvin, after the placeholder
    control<QComboBox>(window.get(), "m_comboPageSize")->setCurrentIndex(2);  // A4
    control<QComboBox>(window.get(), "m_comboMediaType")->setCurrentIndex(2);
    control<QComboBox>(window.get(), "m_comboBrlQuality")->setCurrentIndex(2);
    control<QComboBox>(window.get(), "m_comboDotHeight")->setCurrentIndex(0);
    control<QCheckBox>(window.get(), "m_embossStdTexts")->setChecked(false);
    control<QRadioButton>(window.get(), "m_duplexInterpoint")->setChecked(true);
    control<QRadioButton>(window.get(), "m_renderColor")->setChecked(true);
    control<QRadioButton>(window.get(), "m_outputFaceDown")->setChecked(true);
    control<QCheckBox>(window.get(), "m_rotateLandscape")->setChecked(true);
    control<QCheckBox>(window.get(), "m_printOnly")->setChecked(true);
    control<QCheckBox>(window.get(), "m_embossOnly")->setChecked(false);
    control<QCheckBox>(window.get(), "m_collate")->setChecked(false);
    control<QCheckBox>(window.get(), "m_preview")->setChecked(true);
    control<QLineEdit>(window.get(), "m_contrast")->setText("5");
    control<QLineEdit>(window.get(), "m_brightness")->setText("-2");
    control<QComboBox>(window.get(), "m_comboOutputPath")->setCurrentText("/tmp/out dir");
    window->accept();

    const std::string assigned = assignments(OrvinQueue);
    for (const char* expected :
         {"PageSize=A4", "MediaType=Label", "EmbossQuality=High", "Brailleforce=High", "StandardText=False",
          "Duplex=DuplexNoTumble", "ColorModel=Color", "OutputFace=Down", "PageOrientation=Yes", "PrintMode=2",
          "collate=false", "karro-preview=true", "karro-contrast=5", "karro-brightness=-2",
          "karro-outputpath='/tmp/out dir'", "DotQuality=Standard", "InkQuality=Normal", "InkDithering=Diffusion",
          "BrailleSpacing=Congress", "ThinLineIntensity=3"})
        EXPECT_TRUE(contains(assigned, expected)) << expected << " in " << assigned;
    EXPECT_FALSE(contains(assigned, "media=")) << assigned;
    EXPECT_FALSE(contains(assigned, "karro-patternfile=")) << assigned;
    EXPECT_FALSE(contains(assignments(ValdoQueue), "karro-contrast=5"));
    EXPECT_EQ(guitest::readFile(mirror(OrvinQueue)), assigned);
    EXPECT_EQ(guitest::readFile(mirror(ValdoQueue)), assignments(ValdoQueue));
    EXPECT_EQ(ui::lastQueueName().toStdString(), OrvinQueue);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(window->outcome().toStdString(), "The printing preferences of " + std::string(OrvinQueue) + " were saved.");

    // Opening again shows what was written, as the queue now lists it.
    auto again = open({OrvinQueue, ValdoQueue});
    EXPECT_FALSE(again->placeholderShown());
    EXPECT_EQ(control<QComboBox>(again.get(), "m_comboPageSize")->currentText(), "A4");
    EXPECT_TRUE(control<QRadioButton>(again.get(), "m_renderColor")->isChecked());
    EXPECT_TRUE(control<QCheckBox>(again.get(), "m_printOnly")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(again.get(), "m_embossOnly")->isChecked());
    EXPECT_EQ(control<QComboBox>(again.get(), "m_comboDotHeight")->currentIndex(), 0);
}

TEST_F(PreferencesWindow, OkWithThePlaceholderOnlyRefreshesTheMirrors) {
    auto window = open();
    fs::remove(mirror(OrvinQueue));
    const std::string before = assignments(OrvinQueue);
    window->accept();
    EXPECT_EQ(assignments(OrvinQueue), before);
    EXPECT_TRUE(fs::exists(mirror(OrvinQueue)));
    EXPECT_TRUE(ui::lastQueueName().isEmpty());
    EXPECT_TRUE(window->outcome().isEmpty());
}

TEST_F(PreferencesWindow, CancelWritesNothingButRefreshesTheMirrors) {
    auto window = open({OrvinQueue});
    control<QLineEdit>(window.get(), "m_contrast")->setText("9");
    control<QComboBox>(window.get(), "m_comboPageSize")->setCurrentIndex(1);
    assign(OrvinQueue, "-o collate=false"); // changed elsewhere while the window is open
    window->show();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_EQ(window->result(), QDialog::Rejected);
    const std::string assigned = assignments(OrvinQueue);
    EXPECT_FALSE(contains(assigned, "karro-contrast")) << assigned;
    EXPECT_FALSE(contains(assigned, "PageSize=")) << assigned;
    EXPECT_EQ(guitest::readFile(mirror(OrvinQueue)), assigned);
    EXPECT_TRUE(contains(guitest::readFile(mirror(OrvinQueue)), "collate=false"));
}

struct UnitCase {
    int units;
    const char* width;
    const char* height;
    const char* value;
};

class CustomSizeRoundTrip : public PreferencesWindow, public ::testing::WithParamInterface<UnitCase> {};

TEST_P(CustomSizeRoundTrip, InEachUnit) {
    const UnitCase& c = GetParam();
    {
        auto window = open({OrvinQueue});
        auto* sizes = control<QComboBox>(window.get(), "m_comboPageSize");
        sizes->setCurrentIndex(sizes->count() - 1);
        control<QComboBox>(window.get(), "m_comboUnits")->setCurrentIndex(c.units);
        control<QLineEdit>(window.get(), "m_customWidth")->setText(c.width);
        control<QLineEdit>(window.get(), "m_customHeight")->setText(c.height);
        window->accept();
    }
    const std::string assigned = assignments(OrvinQueue);
    EXPECT_TRUE(contains(assigned, std::string("media=") + c.value)) << assigned;
    EXPECT_TRUE(contains(assigned, std::string("PageSize=") + c.value)) << assigned;

    auto window = open({OrvinQueue});
    auto* sizes = control<QComboBox>(window.get(), "m_comboPageSize");
    EXPECT_EQ(sizes->currentIndex(), sizes->count() - 1);
    EXPECT_EQ(sizes->currentText(), "Custom Size");
    EXPECT_EQ(control<QComboBox>(window.get(), "m_comboUnits")->currentIndex(), c.units);
    EXPECT_EQ(control<QLineEdit>(window.get(), "m_customWidth")->text(), c.width);
    EXPECT_EQ(control<QLineEdit>(window.get(), "m_customHeight")->text(), c.height);
    EXPECT_TRUE(control<QLineEdit>(window.get(), "m_customWidth")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Units, CustomSizeRoundTrip,
                         ::testing::Values(UnitCase{UnitPoints, "612.0", "792.0", "Custom.612.0x792.0"},
                                           UnitCase{UnitMillimetres, "215.9", "279.4", "Custom.215.9x279.4mm"},
                                           UnitCase{UnitCentimetres, "21.0", "29.7", "Custom.21.0x29.7cm"},
                                           UnitCase{UnitInches, "8.5", "11.0", "Custom.8.5x11.0in"}),
                         [](const auto& info) { return std::to_string(info.param.units); });

TEST_F(PreferencesWindow, InchesBecomeMillimetres) {
    assign(OrvinQueue, "-o media=Custom.8.5x11.0in -o PageSize=Custom.8.5x11.0in");
    auto window = open({OrvinQueue});
    auto* width = control<QLineEdit>(window.get(), "m_customWidth");
    auto* height = control<QLineEdit>(window.get(), "m_customHeight");
    EXPECT_EQ(width->text(), "8.5");
    control<QComboBox>(window.get(), "m_comboUnits")->setCurrentIndex(UnitMillimetres);
    EXPECT_EQ(width->text(), "215.9");
    EXPECT_EQ(height->text(), "279.4");
    control<QComboBox>(window.get(), "m_comboUnits")->setCurrentIndex(UnitInches);
    EXPECT_EQ(width->text(), "8.5");
    EXPECT_EQ(height->text(), "11.0");
}

TEST_F(PreferencesWindow, PrintModeThreeTurnsEverythingOn) {
    assign(OrvinQueue, "-o PrintMode=3");
    auto window = open({OrvinQueue});
    auto* emboss = control<QCheckBox>(window.get(), "m_embossOnly");
    auto* print = control<QCheckBox>(window.get(), "m_printOnly");
    auto* both = control<QCheckBox>(window.get(), "m_twoInOne");
    EXPECT_TRUE(emboss->isChecked() && print->isChecked() && both->isChecked());
    EXPECT_FALSE(emboss->isEnabled());
    EXPECT_FALSE(print->isEnabled());
    both->setChecked(false);
    EXPECT_TRUE(emboss->isEnabled() && print->isEnabled());
    print->setChecked(false);
    // Two-in-one turned on again turns both boxes on and locks them.
    emboss->setChecked(false);
    both->setChecked(true);
    EXPECT_TRUE(emboss->isChecked() && print->isChecked());
    EXPECT_FALSE(emboss->isEnabled() || print->isEnabled());
    both->setChecked(false);
    emboss->setChecked(true);
    print->setChecked(false);
    window->accept();
    EXPECT_TRUE(contains(assignments(OrvinQueue), "PrintMode=1"));
}

TEST_F(PreferencesWindow, BrowseLeftChosenKeepsThePatternFile) {
    assign(OrvinQueue, "-o karro-patternfile=/p/dots.pat");
    auto window = open({OrvinQueue});
    auto* picker = control<QComboBox>(window.get(), "m_comboPathPicker");
    EXPECT_EQ(items(picker), (QStringList{"<Browse...>", "Disabled", "/p/dots.pat"}));
    EXPECT_EQ(picker->currentIndex(), 2);
    {
        const QSignalBlocker block(picker);
        picker->setCurrentIndex(0);
    }
    window->accept();
    EXPECT_TRUE(contains(assignments(OrvinQueue), "karro-patternfile=/p/dots.pat"));
    EXPECT_TRUE(ui::lastPatternFile().isEmpty());
}

TEST_F(PreferencesWindow, BrowsingPicksAPatternFile) {
    auto window = open({OrvinQueue});
    auto* picker = control<QComboBox>(window.get(), "m_comboPathPicker");
    picked = "/p/a b;$(touch pwned).pat";
    choose(picker, 0);
    EXPECT_EQ(pickerRuns, 1);
    EXPECT_EQ(pickerFolder.toStdString(), (shared() / "Patterns").string());
    EXPECT_EQ(items(picker), (QStringList{"<Browse...>", "Disabled", "/p/a%20b;$(touch%20pwned).pat"}));
    EXPECT_EQ(picker->currentIndex(), 2);

    // Cancelled: the path stays chosen.
    picked.clear();
    choose(picker, 0);
    EXPECT_EQ(picker->currentIndex(), 2);
    window->accept();
    EXPECT_TRUE(contains(assignments(OrvinQueue), "karro-patternfile=/p/a%20b;$(touch%20pwned).pat"))
        << assignments(OrvinQueue);
    EXPECT_EQ(ui::lastPatternFile(), "/p/a%20b;$(touch%20pwned).pat");

    // The next queue without a pattern file offers the remembered one, "Disabled" chosen.
    auto next = open({ValdoQueue});
    auto* nextPicker = control<QComboBox>(next.get(), "m_comboPathPicker");
    EXPECT_EQ(nextPicker->itemText(2), "/p/a%20b;$(touch%20pwned).pat");
    EXPECT_EQ(nextPicker->currentText(), "Disabled");
    choose(nextPicker, 0); // cancelled at once: back to the path
    EXPECT_EQ(nextPicker->currentIndex(), 2);
}

TEST_F(PreferencesWindow, LowestDotHeightRoundTrips) {
    assign(OrvinQueue, "-o Brailleforce=Low");
    auto window = open({OrvinQueue});
    auto* height = control<QComboBox>(window.get(), "m_comboDotHeight");
    EXPECT_EQ(height->currentIndex(), height->count() - 1);
    window->accept();
    EXPECT_TRUE(contains(assignments(OrvinQueue), "Brailleforce=Low"));
}

TEST_F(PreferencesWindow, HostileQueueNameAndValuesStayLiteral) {
    auto window = open({HostileQueue});
    EXPECT_EQ(control<QLabel>(window.get(), "m_queueName")->text().toStdString(), HostileQueue);
    const std::string output = "/tmp/$(touch pwned) `touch pwned`;x \"d\" \\b it's";
    control<QComboBox>(window.get(), "m_comboOutputPath")->setCurrentText(QString::fromStdString(output));
    control<QRadioButton>(window.get(), "m_duplexInterpoint")->setChecked(true);
    window->accept();
    EXPECT_EQ(findOption(OptionStore::load(HostileQueue), "karro-outputpath").values, std::vector<std::string>{output});
    EXPECT_TRUE(contains(assignments(HostileQueue), "Duplex=DuplexNoTumble"));
    EXPECT_FALSE(contains(assignments(OrvinQueue), "Duplex=DuplexNoTumble"));
    EXPECT_EQ(guitest::readFile(mirror(HostileQueue)), assignments(HostileQueue));
    EXPECT_EQ(ui::lastQueueName().toStdString(), HostileQueue);
}

TEST_F(PreferencesWindow, AQueueWhoseOptionsCannotBeReadIsLeftAlone) {
    assign(OrvinQueue, "-o karro-contrast=7 -o collate=false");
    const std::string before = assignments(OrvinQueue);
    const std::string good = guitest::readFile(mirror(OrvinQueue));
    QStringList alerts;
    brelmont::widgets::MessageBox::setPresenter([&](const QString& text) { alerts << text; });
    brelmont::printer::Printers queues = printers({OrvinQueue});

    // The scheduler stops answering between the queue list and the queue's options.
    const std::string server = std::getenv("CUPS_SERVER");
    ::setenv("CUPS_SERVER", "127.0.0.1:9", 1);
    PreferencesViewController window(std::move(queues));
    ::setenv("CUPS_SERVER", server.c_str(), 1);
    QCoreApplication::processEvents();
    brelmont::widgets::MessageBox::setPresenter({});

    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts[0].contains("could not be read")) << alerts[0].toStdString();
    EXPECT_TRUE(control<QTabWidget>(&window, "m_tabView")->isHidden());
    EXPECT_EQ(guitest::readFile(mirror(OrvinQueue)), good); // the driver keeps its copy
    window.accept();
    EXPECT_EQ(assignments(OrvinQueue), before); // no default written over the real options
}

// OK that the printing system does not take: every failing command is told with its own message,
// and the window stays open with the user's choices.
TEST_F(PreferencesWindow, OkThatThePrintingSystemRefusesIsReportedAndTheWindowStays) {
    QStringList alerts;
    brelmont::widgets::MessageBox::setPresenter([&](const QString& text) { alerts << text; });
    auto window = open({OrvinQueue});
    window->show();
    // The printing system's tools are gone (removed while the window was open).
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", work().c_str(), 1);
    window->accept();
    ::setenv("PATH", path.c_str(), 1);
    QCoreApplication::processEvents();
    brelmont::widgets::MessageBox::setPresenter({});
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts[0].startsWith(QString::fromStdString("Some printing preferences of " + OrvinQueue + " were not saved:\n\n")) &&
                alerts[0].contains("lpoptions"))
        << alerts[0].toStdString();
    EXPECT_TRUE(window->isVisible());
}

TEST_F(PreferencesWindow, NoEmbosserQueueSaysHowToAddOne) {
    // A scheduler that does not answer lists no queue at all.
    const std::string server = std::getenv("CUPS_SERVER");
    ::setenv("CUPS_SERVER", "127.0.0.1:9", 1);
    QStringList alerts;
    brelmont::widgets::MessageBox::setPresenter([&](const QString& text) { alerts << text; });
    bool opened = false;
    // Were a window to open, this closes it so that the test ends either way.
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    brelmont::preferences::ui::showPreferencesWindow(nullptr);
    QCoreApplication::processEvents();
    brelmont::widgets::MessageBox::setPresenter({});
    ::setenv("CUPS_SERVER", server.c_str(), 1);
    EXPECT_FALSE(opened);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts[0].startsWith("There is no print queue for a Brelmont embosser.")) << alerts[0].toStdString();
    EXPECT_TRUE(alerts[0].contains("brelmont-cli doctor")) << alerts[0].toStdString();
}

// Arrow steps through the queue chooser and onto "<Browse...>" only move; Enter chooses. What OK
// writes goes to the queue whose options are shown, with the thin-line intensity the queue holds.
TEST_F(PreferencesWindow, KeyboardChoicesTakeEffectOnEnterOnly) {
    assign(OrvinQueue, "-o ThinLineIntensity=5");
    auto window = open({OrvinQueue, ValdoQueue});
    auto* queues = control<QComboBox>(window.get(), "m_comboPrinters");
    QTest::keyClick(queues, Qt::Key_Down);
    QTest::keyClick(queues, Qt::Key_Down);
    EXPECT_TRUE(window->placeholderShown());
    EXPECT_TRUE(window->printOptions().empty());
    QTest::keyClick(queues, Qt::Key_Up);
    QTest::keyClick(queues, Qt::Key_Return);
    ASSERT_FALSE(window->placeholderShown());
    EXPECT_EQ(control<QLabel>(window.get(), "m_queueName")->text().toStdString(), OrvinQueue);
    EXPECT_EQ(control<QSlider>(window.get(), "m_sliderThinLine")->value(), 5);

    control<QLineEdit>(window.get(), "m_contrast")->setText("9");
    control<QSlider>(window.get(), "m_sliderThinLine")->setValue(2);
    QTest::keyClick(queues, Qt::Key_Down); // past the Valdo, not into it
    EXPECT_EQ(control<QLabel>(window.get(), "m_queueName")->text().toStdString(), OrvinQueue);
    EXPECT_EQ(control<QLineEdit>(window.get(), "m_contrast")->text(), "9");

    auto* picker = control<QComboBox>(window.get(), "m_comboPathPicker");
    QTest::keyClick(picker, Qt::Key_Up); // onto "<Browse...>"
    EXPECT_EQ(pickerRuns, 0);
    QTest::keyClick(picker, Qt::Key_Return);
    EXPECT_EQ(pickerRuns, 1);

    window->accept();
    EXPECT_TRUE(contains(assignments(OrvinQueue), "karro-contrast=9")) << assignments(OrvinQueue);
    EXPECT_TRUE(contains(assignments(OrvinQueue), "ThinLineIntensity=2")) << assignments(OrvinQueue);
    EXPECT_FALSE(contains(assignments(ValdoQueue), "karro-contrast=9"));
}

// A field OK cannot write is named in a message and nothing is written.
TEST_F(PreferencesWindow, FieldsOutOfRangeOrNotNumbersAreRefused) {
    struct Case {
        const char* field;
        const char* text;
        const char* named;
    };
    for (const Case& c : {Case{"m_contrast", "abc", "Contrast must be a whole number from -100 to 100"},
                          Case{"m_brightness", "101", "Brightness must be a whole number"},
                          Case{"m_customWidth", "8,5", "The custom paper width must be a number"}}) {
        SCOPED_TRACE(c.field);
        auto window = open({OrvinQueue});
        auto* sizes = control<QComboBox>(window.get(), "m_comboPageSize");
        sizes->setCurrentIndex(sizes->count() - 1); // the custom size, so its fields are editable
        control<QLineEdit>(window.get(), c.field)->setText(c.text);
        QStringList alerts;
        brelmont::widgets::MessageBox::setPresenter([&](const QString& text) { alerts << text; });
        const std::string before = assignments(OrvinQueue);
        window->accept();
        QCoreApplication::processEvents();
        brelmont::widgets::MessageBox::setPresenter({});
        EXPECT_EQ(assignments(OrvinQueue), before);
        EXPECT_NE(window->result(), QDialog::Accepted);
        ASSERT_EQ(alerts.size(), 1);
        EXPECT_TRUE(alerts[0].startsWith(c.named)) << alerts[0].toStdString();
    }
}

} // namespace
} // namespace prefstest
