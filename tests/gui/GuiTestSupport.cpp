#include "GuiTestSupport.h"

#include <QAccessible>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

// Qt keeps process-wide caches that the leak checker would report under the sanitizer build.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

// One QApplication for the whole test program, made only when tests run (not when listed).
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "gui_tests";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
        QApplication::setOrganizationName("Brelmont");
        QApplication::setApplicationName("Brelmont Companion");
    }

private:
    QApplication* m_app = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace

namespace guitest {

using brelmont::testing::ByteVector;
using brelmont::testing::HeaderCheck;
using brelmont::testing::JobWriter;

ByteVector job(int emboss, int ink) {
    JobWriter writer;
    writer.pjl("@PJL JOB NAME=\"test\" MODEL=\"Merriden\"");
    for (int i = 0; i < emboss; ++i) writer.embossRaster(ByteVector(8 * 6, uint8_t(1 + i % 7)), 8, 6);
    for (int i = 0; i < ink; ++i) writer.inkBlock(ByteVector(12 * 9, 1), 12, 9, HeaderCheck::Sum4);
    return writer.data();
}

std::shared_ptr<brelmont::job::Document> document(const ByteVector& bytes, const std::filesystem::path& path) {
    auto doc = std::make_shared<brelmont::job::Document>();
    std::ostringstream diagnostics;
    const auto error = doc->readFromData(bytes, brelmont::job::Document::TypeKprn, path, diagnostics);
    EXPECT_FALSE(error) << error->describe();
    return doc;
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void writeFile(const std::filesystem::path& path, const ByteVector& bytes) {
    writeFile(path, std::string(bytes.begin(), bytes.end()));
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    return iface ? iface->text(QAccessible::Name) : QString();
}

QString spokenName(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (!iface) return {};
    const auto labels = iface->relations(QAccessible::Label);
    return labels.isEmpty() ? iface->text(QAccessible::Name) : labels.first().first->text(QAccessible::Name);
}

QStringList unnamedControls(QWidget* window) {
    QStringList unnamed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (!(widget->focusPolicy() & Qt::TabFocus) || name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
            qobject_cast<QTabWidget*>(widget))
            continue;
        if (spokenName(widget).isEmpty()) unnamed << name;
    }
    return unnamed;
}

QStringList mnemonics(QWidget* window) {
    QStringList letters;
    const auto take = [&letters](const QString& text) {
        for (qsizetype at = text.indexOf(QLatin1Char('&')); at >= 0 && at + 1 < text.size();
             at = text.indexOf(QLatin1Char('&'), at + 2))
            if (text[at + 1] != QLatin1Char('&')) {
                letters << text.mid(at + 1, 1).toUpper();
                return;
            }
    };
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy()) take(label->text());
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) take(button->text());
    for (QGroupBox* box : window->findChildren<QGroupBox*>()) take(box->title());
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i) take(tabs->tabText(i));
    return letters;
}

QStringList clashingMnemonics(QWidget* window) {
    const QStringList letters = mnemonics(window);
    QStringList clashes;
    for (const QString& letter : letters)
        if (letters.count(letter) > 1 && !clashes.contains(letter)) clashes << letter;
    return clashes;
}

} // namespace guitest
