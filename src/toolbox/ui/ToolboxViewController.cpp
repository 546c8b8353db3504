#include "toolbox/ui/ToolboxViewController.h"

#include "toolbox/ui/ControlBinding.h"
#include "toolbox/ui/ToolboxForms.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>

namespace brelmont::toolbox::ui {

namespace {

// Writes are single short exchanges and stay on the window thread; the cursor says so.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

QString qtext(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// A family without a description or a layout has no window (canOpen tells beforehand).
const FamilyDescription& describedFamily(const ToolboxFamily& family) {
    if (!ToolboxViewController::canOpen(family))
        throw std::invalid_argument("no toolbox window for " + std::string(family.windowIdentifier));
    return *family.description;
}

} // namespace

bool ToolboxViewController::canOpen(const ToolboxFamily& family) {
    return family.description && toolboxForm(family.windowIdentifier);
}

ToolboxViewController::ToolboxViewController(const ToolboxFamily& family, ToolboxDevice device, QWidget* parent)
    : QDialog(parent), m_family(family), m_device(std::move(device)),
      m_model(std::make_shared<ToolboxModel>(describedFamily(family), m_device.exchange)) {
    toolboxForm(family.windowIdentifier)->setupUi(this);
    setObjectName(qtext(family.windowIdentifier));
    setModal(true);
    m_buttonApply = findChild<QPushButton*>("m_buttonApply");
    m_tvTabView = findChild<QTabWidget*>("m_tvTabView");
    // All tabs fit, so the tab bar's scroll buttons stay hidden; they must not take Tab either.
    if (m_tvTabView)
        for (QToolButton* scroll : m_tvTabView->tabBar()->findChildren<QToolButton*>()) scroll->setFocusPolicy(Qt::NoFocus);
    showAll();
    connectControls();
}

// Children that lose focus while they are destroyed must not reach a half-destroyed window.
ToolboxViewController::~ToolboxViewController() {
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

// The queue list and the queries run on a worker; the widgets are filled here afterwards. Only
// the worker touches the engine meanwhile: the progress dialog holds back the user's input.
bool ToolboxViewController::viewDidLoad() {
    std::shared_ptr<ToolboxModel> model = m_model;
    auto printers = m_device.printers;
    const std::optional<bool> loaded = widgets::LongWait::run<bool>(
        parentWidget(), tr(LoadingText),
        [model, printers] { return printers ? model->load(printers()) : model->load(); });
    if (!loaded) {
        closeAbandoned();
        return false;
    }
    if (!*loaded) {
        widgets::MessageBox::showSettingsFailure();
        done(QDialog::Rejected);
        return false;
    }
    showAll();
    std::vector<int> removed = m_model->removedTabs();
    std::sort(removed.rbegin(), removed.rend()); // the highest first, so the others keep their index
    for (int index : removed)
        if (m_tvTabView) m_tvTabView->removeTab(index);
    setWindowTitle(QString::fromStdString(m_model->title()));
    return true;
}

int ToolboxViewController::runModal() {
    if (!viewDidLoad()) return QDialog::Rejected;
    return exec();
}

void ToolboxViewController::connectControls() {
    for (const ControlState& state : m_model->controls()) {
        QWidget* widget = findChild<QWidget*>(QString::fromStdString(state.name));
        const std::string name = state.name;
        if (auto* line = qobject_cast<QLineEdit*>(widget))
            connect(line, &QLineEdit::editingFinished, this, [this, name] { textEditingEnded(name); });
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            connect(combo, &QComboBox::activated, this,
                    [this, name](int index) { showResult(name, m_model->setIndex(name, index)); });
        else if (auto* check = qobject_cast<QCheckBox*>(widget))
            connect(check, &QCheckBox::clicked, this,
                    [this, name](bool on) { showResult(name, m_model->setChecked(name, on)); });
    }
    connectButton("m_buttonOK", &ToolboxViewController::okClick);
    connectButton("m_buttonApply", &ToolboxViewController::applyClick);
    connectButton("m_buttonCancel", &ToolboxViewController::dismissClick);
    connectButton("m_buttonReadSensors", &ToolboxViewController::readSensorsClick);
    connectButton("m_buttonPjlSet", &ToolboxViewController::pjlSetClick);
    connectButton("m_buttonResetFill0", &ToolboxViewController::resetFillState);
    connectButton("m_buttonResetFill1", &ToolboxViewController::resetFillState);
    connectButton("pbSolenoidBack", &ToolboxViewController::solenoidCalibrationClick);
}

void ToolboxViewController::connectButton(const char* name, void (ToolboxViewController::*slot)()) {
    if (auto* button = findChild<QPushButton*>(name)) connect(button, &QPushButton::clicked, this, slot);
}

// Leaving a field hands its text to the engine only when the user changed what the field showed.
void ToolboxViewController::textEditingEnded(const std::string& control) {
    if (m_abandoned) return;
    const ControlState* state = m_model->control(control);
    const QWidget* field = findChild<QWidget*>(QString::fromStdString(control));
    const std::optional<std::string> text = fieldText(field);
    if (!state || !text || !state->editable || fieldShowsState(field, *state)) return;
    showResult(control, m_model->setText(control, *text));
}

// The engine's answer to a change: Apply's state, the controls the change altered, and the
// control itself put back when the engine refused the value (a line break in a PJL value, say).
void ToolboxViewController::showResult(const std::string& control, const ChangeResult& result) {
    if (!result.known) {
        showOne(control);
        QApplication::beep();
    }
    for (const std::string& changed : result.changed) showOne(changed);
    if (m_buttonApply) m_buttonApply->setEnabled(result.applyEnabled);
}

void ToolboxViewController::showAll() {
    for (const ControlState& state : m_model->controls())
        showControl(findChild<QWidget*>(QString::fromStdString(state.name)), state);
    if (m_buttonApply) m_buttonApply->setEnabled(m_model->applyEnabled());
}

void ToolboxViewController::showOne(const std::string& control) {
    if (const ControlState* state = m_model->control(control))
        showControl(findChild<QWidget*>(QString::fromStdString(control)), *state);
}

// A field still being edited when a button is pressed counts as edited.
void ToolboxViewController::commitEdits() {
    for (const ControlState& state : m_model->controls())
        if (state.kind == ControlKind::TextField) textEditingEnded(state.name);
}

void ToolboxViewController::okClick() {
    if (m_abandoned) return QDialog::reject();
    commitEdits();
    {
        const BusyCursor busy;
        m_model->ok();
    }
    QDialog::accept();
}

void ToolboxViewController::applyClick() {
    if (m_abandoned) return;
    commitEdits();
    {
        const BusyCursor busy;
        m_model->apply();
    }
    showAll();
}

void ToolboxViewController::dismissClick() { QDialog::reject(); }

void ToolboxViewController::readSensorsClick() {
    if (m_abandoned) return;
    std::shared_ptr<ToolboxModel> model = m_model;
    const std::optional<bool> read =
        widgets::LongWait::run<bool>(this, tr(SensorsText), [model] { return model->readSensors(); });
    if (!read) return closeAbandoned();
    showOne("m_tfSensors");
}

void ToolboxViewController::pjlSetClick() {
    if (m_abandoned) return;
    commitEdits();
    const BusyCursor busy;
    m_model->setSelectedVariable();
}

void ToolboxViewController::resetFillState() {
    if (m_abandoned) return;
    const BusyCursor busy;
    m_model->resetFillState(sender() ? sender()->property("tag").toInt() : 0);
}

void ToolboxViewController::solenoidCalibrationClick() {}

// A cancelled wait leaves the engine to its worker: the window closes and never touches it again.
void ToolboxViewController::closeAbandoned() {
    m_abandoned = true;
    QDialog::reject();
}

} // namespace brelmont::toolbox::ui
