#include "ToolboxWindowFixture.h"

#include "widgets/MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cstdlib>

namespace toolboxtest {

using brelmont::toolbox::ui::ToolboxViewController;
using brelmont::widgets::MessageBox;

const brelmont::toolbox::ToolboxFamily& family(int64_t model) {
    const auto* found = brelmont::toolbox::familyForModel(model);
    EXPECT_NE(found, nullptr);
    return *found;
}

// The window's work files and any queue list would go to these folders, never the user's.
void ToolboxWindow::SetUp() {
    for (const char* name : {"TMPDIR", "HOME", "BRELMONT_SHARED_DIR"}) {
        const char* value = std::getenv(name);
        savedEnvironment.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    setenv("TMPDIR", scratch.path().c_str(), 1);
    setenv("HOME", scratch.path().c_str(), 1);
    setenv("BRELMONT_SHARED_DIR", (scratch.path() / "shared").c_str(), 1);
    MessageBox::setPresenter([this](const QString& text) { messages << text; });
}

void ToolboxWindow::TearDown() {
    QApplication::processEvents(); // alerts still posted land here, not in the next test
    MessageBox::setPresenter({});
    for (const auto& [name, value] : savedEnvironment) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

std::unique_ptr<ToolboxViewController> ToolboxWindow::make(std::vector<brelmont::printer::PrinterItem> queues,
                                                           int64_t model) {
    brelmont::toolbox::ui::ToolboxDevice fake{[queues](const brelmont::printer::SharedStop&) { return queues; }, device.exchange(), {}};
    return std::make_unique<ToolboxViewController>(family(model), fake);
}

std::unique_ptr<ToolboxViewController> ToolboxWindow::open() {
    auto window = make();
    EXPECT_TRUE(window->viewDidLoad());
    return window;
}

void ToolboxWindow::type(QWidget* window, const char* field, const QString& text) {
    auto* line = control<QLineEdit>(window, field);
    line->setText(text);
    emit line->editingFinished();
}

void ToolboxWindow::choose(QWidget* window, const char* combo, int index) {
    auto* box = control<QComboBox>(window, combo);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QString ToolboxWindow::text(QWidget* window, const char* field) {
    QWidget* widget = control<QWidget>(window, field);
    if (auto* line = qobject_cast<QLineEdit*>(widget)) return line->text();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) return edit->toPlainText();
    return {};
}

} // namespace toolboxtest
