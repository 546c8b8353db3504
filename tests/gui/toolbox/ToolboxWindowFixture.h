// Opens an Orvin toolbox window over a scripted embosser and reaches its widgets by outlet name.
#pragma once

#include "GuiTestSupport.h"
#include "ScriptedEmbosser.h"

#include "toolbox/Families.h"
#include "toolbox/ui/ToolboxViewController.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace toolboxtest {

using brelmont::testing::ScriptedEmbosser;

const brelmont::toolbox::ToolboxFamily& family(int64_t model);

class ToolboxWindow : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A window of the family over the scripted device and these queues (by default its one queue).
    std::unique_ptr<brelmont::toolbox::ui::ToolboxViewController> make(
        std::vector<brelmont::printer::PrinterItem> queues = {ScriptedEmbosser::queue()}, int64_t model = 221201);
    // The same, loaded; fails the test when the load does not succeed.
    std::unique_ptr<brelmont::toolbox::ui::ToolboxViewController> open();

    template <typename T> static T* control(QWidget* window, const char* name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // What the user does: type into a field and leave it, pick a combo box item.
    static void type(QWidget* window, const char* field, const QString& text);
    static void choose(QWidget* window, const char* combo, int index);
    static QString text(QWidget* window, const char* field);

    ScriptedEmbosser device;
    QStringList messages; // the alerts shown, in order
    guitest::TempDir scratch{"toolboxui"};
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment;
};

} // namespace toolboxtest
