#include "GuiTestSupport.h"

#include "widgets/MessageBox.h"
#include "widgets/StatusLine.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QThread>

#include <cstdlib>
#include <fstream>
#include <sstream>

// Qt keeps process-wide caches that the leak checker would report under the sanitizer build.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace fs = std::filesystem;
using brelmont::testing::ByteVector;
using brelmont::widgets::MessageBox;

namespace {

// One QApplication per test program, made only when tests run; home, temporary files, settings and
// the shared folder all in a scratch folder, never the user's.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        m_scratch = std::make_unique<guitest::TempDir>("gui");
        const fs::path root = m_scratch->path();
        for (const char* sub : {"tmp", "shared/.lpoptions", "shared/Patterns", "settings"}) fs::create_directories(root / sub);
        setenv("HOME", root.c_str(), 1);
        setenv("TMPDIR", (root / "tmp").c_str(), 1);
        setenv("BRELMONT_SHARED_DIR", (root / "shared").c_str(), 1);
        static int argc = 1;
        static char name[] = "gui_tests", *argv[] = {name, nullptr};
        new QApplication(argc, argv);
        QApplication::setOrganizationName("Brelmont");
        QApplication::setApplicationName("Brelmont Companion");
        const QString settings = QString::fromStdString((root / "settings").string());
        for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, settings);
    }
    void TearDown() override { m_scratch.reset(); }

private:
    std::unique_ptr<guitest::TempDir> m_scratch;
};

[[maybe_unused]] ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace

namespace guitest {

ByteVector job(int emboss, int ink) {
    brelmont::testing::JobWriter writer;
    writer.pjl("@PJL JOB NAME=\"test\" MODEL=\"Merriden\"");
    for (int i = 0; i < emboss; ++i) writer.embossRaster(ByteVector(8 * 6, uint8_t(1 + i % 7)), 8, 6);
    for (int i = 0; i < ink; ++i) writer.inkBlock(ByteVector(12 * 9, 1), 12, 9, brelmont::testing::HeaderCheck::Sum4);
    return writer.data();
}

std::shared_ptr<brelmont::job::Document> document(const ByteVector& bytes) {
    auto doc = std::make_shared<brelmont::job::Document>();
    std::ostringstream diagnostics;
    const auto error = doc->readFromData(bytes, brelmont::job::Document::TypeKprn, "/jobs/test.kprn", diagnostics);
    EXPECT_FALSE(error) << error->describe();
    return doc;
}

void writeFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

Alerts::Alerts() {
    MessageBox::setPresenter([this](const QString& text, const QString& detail, bool) {
        texts << text;
        details << detail;
        onMainThread = onMainThread && QThread::currentThread() == qApp->thread();
    });
    MessageBox::setConfirmer([this](const QString& text) {
        questions << text;
        return agree;
    });
}

Alerts::~Alerts() {
    QCoreApplication::processEvents(); // alerts still queued belong to this test
    MessageBox::setPresenter({});
    MessageBox::setConfirmer({});
}

QStringList Alerts::take() {
    QCoreApplication::processEvents();
    details.clear();
    return std::exchange(texts, {});
}

void Alerts::expectOne(const QString& start, const QWidget* window) {
    const QStringList shown = take();
    EXPECT_TRUE(shown.size() == 1 && shown[0].startsWith(start)) << shown.join('|').toStdString();
    if (window) { EXPECT_TRUE(status(window).startsWith(start)) << status(window).toStdString(); }
}

QString status(const QWidget* widget) {
    const brelmont::widgets::StatusLine* line = brelmont::widgets::StatusLine::of(widget);
    EXPECT_NE(line, nullptr);
    return line ? line->text() : QString();
}

void type(QWidget* window, const char* field, const QString& text) {
    auto* line = find<QLineEdit>(window, field);
    line->setText(text);
    emit line->editingFinished();
}

QString text(QWidget* window, const char* field) { return find<QLineEdit>(window, field)->text(); }

void showActive(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
}

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QString spokenName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (iface && !qobject_cast<QAbstractButton*>(widget))
        for (const auto& [label, relation] : iface->relations(QAccessible::Label)) return label->text(QAccessible::Name);
    return accessibleName(widget);
}

QStringList unnamedControls(QWidget* window) {
    QStringList unnamed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        // Qt's own parts have no name of ours; a control hidden on purpose is not reached.
        if (!(widget->focusPolicy() & Qt::TabFocus) || name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
            widget->isHidden() || qobject_cast<QTabWidget*>(widget))
            continue;
        if (spokenName(widget).isEmpty()) unnamed << name;
    }
    return unnamed;
}

QStringList clashingMnemonics(QWidget* window) {
    QStringList letters;
    const auto take = [&letters](const QString& text) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty()) letters << key.toString();
    };
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy()) take(label->text());
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) take(button->text());
    for (QGroupBox* box : window->findChildren<QGroupBox*>()) take(box->title());
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) take(tabs->tabText(i));
    QStringList clashes;
    for (const QString& letter : letters)
        if (letters.count(letter) > 1 && !clashes.contains(letter)) clashes << letter;
    return clashes;
}

QStringList tabStops(QWidget* start) {
    QStringList stops;
    QWidget* widget = start;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(start->window()) && widget->isEnabled())
            stops << (widget->objectName().isEmpty() ? accessibleName(widget) : widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget && widget != start);
    return stops;
}

void SystemTest::SetUpTestSuite() {
    std::vector<Simulated> simulated;
    for (const auto& [family, name, model, info] : {std::tuple{"orvin", "Orvin_200", "Orvin 200", "Hall Orvin"},
                                                    std::tuple{"valdo", "Valdo_Sheet", "Valdo Sheet", "Annex Valdo"}}) {
        brelmont::testing::QueueDefinition queue{name, model, "", info, brelmont::testing::embosserOptions()};
        queue.customPageSize = true;
        simulated.push_back({family, queue});
    }
    startSystem(simulated);
    if (sims.size() == 2) orvin = sims[0].get(), valdo = sims[1].get();
}

std::string SystemTest::assignments(const std::string& queue) {
    return cups->run("lpoptions -p " + brelmont::testing::shellQuote(queue)).out;
}

} // namespace guitest
