#include "toolbox/ui/ToolboxViewController.h"

#include "toolbox/BrailleConversionData.h"
#include "toolbox/TableFolder.h"
#include "toolbox/profile/ProfileFile.h"
#include "toolbox/ui/ControlBinding.h"
#include "toolbox/ui/ToolboxForms.h"
#include "widgets/FileDialogFolder.h"
#include "widgets/Logging.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"
#include "widgets/ReadableForms.h"
#include "widgets/StatusLine.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace brelmont::toolbox::ui {

namespace {

QString qtext(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// Which step of the load the progress dialog is on.
QString stepText(const LoadStep& step) {
    static const std::pair<std::string_view, const char*> asked[] = {
        {"variables", QT_TRANSLATE_NOOP("ToolboxViewController", "the settings")},
        {"variables-status", QT_TRANSLATE_NOOP("ToolboxViewController", "the settings")},
        {"versions", QT_TRANSLATE_NOOP("ToolboxViewController", "the versions")},
        {"status", QT_TRANSLATE_NOOP("ToolboxViewController", "the status")},
        {"legacy", QT_TRANSLATE_NOOP("ToolboxViewController", "the legacy settings")},
        {"nvparms", QT_TRANSLATE_NOOP("ToolboxViewController", "the NVRAM parameters")},
    };
    QString what = qtext(step.query);
    for (const auto& [name, text] : asked)
        if (name == step.query) what = ToolboxViewController::tr(text);
    return ToolboxViewController::tr("Step %1 of %2: asking for %3").arg(step.number).arg(step.count).arg(what);
}

// The sensor field's lines as one sentence for the status line.
QString sensorSentence(const QString& field) {
    QStringList lines = field.split(QRegularExpression(QStringLiteral("[\\r\\n]+")), Qt::SkipEmptyParts);
    for (QString& line : lines) line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(QStringLiteral("; "));
}

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
    : QDialog(parent),
      m_family(family),
      m_device(std::move(device)),
      m_model(std::make_shared<ToolboxModel>(describedFamily(family), m_device.exchange, m_device.data)) {
    toolboxForm(family.windowIdentifier)->setupUi(this);
    widgets::linkValueLabels(this);
    m_status = widgets::StatusLine::addTo(this);
    setObjectName(qtext(family.windowIdentifier));
    setModal(true);
    m_buttonApply = findChild<QPushButton*>("m_buttonApply");
    m_tvTabView = findChild<QTabWidget*>("m_tvTabView");
    // All tabs fit, so the tab bar's scroll buttons stay hidden; they must not take Tab either.
    if (m_tvTabView)
        for (QToolButton* scroll : m_tvTabView->tabBar()->findChildren<QToolButton*>()) scroll->setFocusPolicy(Qt::NoFocus);
    showAll();
    addProfileButtons();
    connectControls();
}

// Children that lose focus while they are destroyed must not reach a half-destroyed window.
ToolboxViewController::~ToolboxViewController() {
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

// The queue list and the queries run on a worker; the widgets are filled here afterwards. Only
// the worker touches the engine meanwhile: the progress dialog holds back the user's input.
// Cancel ends the device work itself, so the next toolbox can start at once.
bool ToolboxViewController::viewDidLoad() {
    std::shared_ptr<ToolboxModel> model = m_model;
    auto printers = m_device.printers;
    auto note = std::make_shared<widgets::WaitNote>();
    const std::optional<bool> loaded = widgets::LongWait::run<bool>(
        parentWidget(), tr(LoadingText),
        [model, printers, note] {
            const LoadProgress progress = [note](const LoadStep& step) { note->set(stepText(step)); };
            return printers ? model->load(printers(model->stopSignal()), progress) : model->load(progress);
        },
        {[model] { model->cancel(); }, note});
    if (!loaded) {
        closeAbandoned();
        return false;
    }
    if (!*loaded) {
        qCWarning(lcToolbox, "settings not read: %s", m_model->loadFailure().describe().c_str());
        widgets::MessageBox::showSettingsFailure(qtext(m_model->loadFailure().summary()), qtext(m_model->loadFailure().reason));
        done(QDialog::Rejected);
        return false;
    }
    showAll();
    std::vector<int> removed = m_model->removedTabs();
    std::sort(removed.rbegin(), removed.rend()); // the highest first, so the others keep their index
    for (int index : removed)
        if (m_tvTabView) m_tvTabView->removeTab(index);
    setWindowTitle(QString::fromStdString(m_model->title()));
    QStringList notes;
    for (const std::string& note : m_model->loadNotes()) notes << qtext(note);
    if (!notes.isEmpty()) widgets::MessageBox::show(notes.join(QStringLiteral("\n\n")));
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
        if (auto* line = qobject_cast<QLineEdit*>(widget)) {
            connect(line, &QLineEdit::editingFinished, this, [this, name] { textEditingEnded(name); });
            // Apply can be pressed (Alt+A) while the value is still being typed: it takes the
            // field first.
            connect(line, &QLineEdit::textEdited, this, [this] {
                if (m_buttonApply && m_model->initialised()) m_buttonApply->setEnabled(true);
            });
        } else if (auto* combo = qobject_cast<QComboBox*>(widget))
            connect(combo, &QComboBox::activated, this, [this, name](int index) { chooseItem(name, index); });
        else if (auto* check = qobject_cast<QCheckBox*>(widget))
            // Toggled, not clicked: a screen reader's toggle action changes the box without a click.
            // A box the window sets to the engine's state is no change.
            connect(check, &QCheckBox::toggled, this, [this, name](bool on) {
                const ControlState* state = m_model->control(name);
                if (!m_abandoned && state && state->checked != on) showResult(name, m_model->setChecked(name, on));
            });
    }
    connectButton("m_buttonOK", &ToolboxViewController::okClick);
    connectButton("m_buttonApply", &ToolboxViewController::applyClick);
    connectButton("m_buttonCancel", &ToolboxViewController::dismissClick);
    connectButton("m_buttonReadSensors", &ToolboxViewController::readSensorsClick);
    connectButton("m_buttonPjlSet", &ToolboxViewController::pjlSetClick);
    connectButton("m_buttonResetFill0", &ToolboxViewController::resetFillState);
    connectButton("m_buttonResetFill1", &ToolboxViewController::resetFillState);
    // The embossers take no calibration request from this program: the button stays where users
    // know it, but cannot be pressed for nothing.
    if (auto* solenoid = findChild<QPushButton*>("pbSolenoidBack")) solenoid->setEnabled(false);
    connectButton("m_bnInstallTable", &ToolboxViewController::installBrailleClick);
    connectButton("m_buttonExportSettings", &ToolboxViewController::exportSettingsClick);
    connectButton("m_buttonImportSettings", &ToolboxViewController::importSettingsClick);
}

// Every family's window has them, at the start of its row of buttons.
void ToolboxViewController::addProfileButtons() {
    auto* row = findChild<QHBoxLayout*>(QStringLiteral("buttonLayout"));
    if (!row) return;
    const std::pair<const char*, const char*> buttons[] = {
        {"m_buttonImportSettings", ImportText},
        {"m_buttonExportSettings", ExportText},
    };
    for (const auto& [name, text] : buttons) {
        auto* button = new QPushButton(tr(text), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAccessibleName(tr(text).chopped(1)); // named without the ellipsis
        button->setAutoDefault(false);
        row->insertWidget(0, button);
    }
    // Tab follows the row from left to right.
    const char* const order[] = {"m_buttonExportSettings", "m_buttonImportSettings", "m_buttonApply", "m_buttonCancel",
                                 "m_buttonOK"};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        if (auto* first = findChild<QPushButton*>(order[i]), *second = findChild<QPushButton*>(order[i + 1]); first && second)
            QWidget::setTabOrder(first, second);
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

// A choice that asks the embosser waits off the window thread, like every exchange; Cancel ends
// the asking and closes the window. A question that got no answer is said.
void ToolboxViewController::chooseItem(const std::string& control, int index) {
    if (m_abandoned) return;
    if (!m_model->talksToDevice(control)) return showResult(control, m_model->setIndex(control, index));
    std::shared_ptr<ToolboxModel> model = m_model;
    const std::optional<ChangeResult> result = widgets::LongWait::run<ChangeResult>(
        this, tr(AskingText), [model, control, index] { return model->setIndex(control, index); },
        {[model] { model->cancel(); }, nullptr});
    if (!result) return closeAbandoned();
    if (!result->outcome.ok()) {
        qCWarning(lcToolbox, "embosser not asked: %s", result->outcome.describe().c_str());
        widgets::reportFailure(this, tr("The embosser was not asked: %1.").arg(qtext(result->outcome.summary())),
                               qtext(result->outcome.reason));
    }
    showResult(control, *result);
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

// Writes run off the window thread like the load; Cancel ends them and closes the window.
std::optional<WriteResult> ToolboxViewController::runWrite(std::function<WriteResult(ToolboxModel&)> write) {
    std::shared_ptr<ToolboxModel> model = m_model;
    const std::optional<WriteResult> result = widgets::LongWait::run<WriteResult>(
        this, tr(WritingText), [model, write] { return write(*model); }, {[model] { model->cancel(); }, nullptr});
    if (!result) closeAbandoned();
    return result;
}

// A write that did not reach the device is said, with why; so are changes left unwritten. A write
// that fully arrived is said in the status line as `arrived`.
void ToolboxViewController::reportWrite(const WriteResult& result, const std::function<QString(const QString& why)>& failure,
                                        const QString& arrived) {
    QStringList lines;
    QString details;
    if (result.failed()) {
        qCWarning(lcToolbox, "write not done: %s", result.outcome.describe().c_str());
        lines << failure(qtext(result.outcome.summary()));
        details = qtext(result.outcome.reason);
    }
    for (const std::string& note : result.notes) lines << qtext(note);
    if (!lines.isEmpty()) widgets::reportFailure(this, lines.join(QStringLiteral("\n\n")), details);
    else if (result.request && !arrived.isEmpty()) m_status->say(arrived);
}

// The focus stays on the control that had it when the action began, unless the outcome turned that
// control off (Apply, with nothing left to write): then OK takes it, so the keyboard is not lost.
void ToolboxViewController::keepFocus(QWidget* hadFocus) {
    if (hadFocus && hadFocus->isEnabled() && hadFocus->isVisible()) return;
    if (auto* ok = findChild<QPushButton*>(QStringLiteral("m_buttonOK"))) ok->setFocus(Qt::OtherFocusReason);
}

void ToolboxViewController::okClick() {
    if (m_abandoned) return QDialog::reject();
    commitEdits();
    const std::optional<WriteResult> result = runWrite([](ToolboxModel& model) { return model.ok(); });
    if (!result) return;
    reportWrite(*result,
                [](const QString& why) { return tr("The changed settings were not written to the embosser: %1.").arg(why); });
    showAll();
    if (result->request && !result->failed() && result->notes.empty()) m_outcome = tr(WrittenText);
    if (m_model->mustDismiss()) QDialog::accept();
}

void ToolboxViewController::applyClick() {
    if (m_abandoned) return;
    QWidget* hadFocus = focusWidget();
    commitEdits();
    const std::optional<WriteResult> result = runWrite([](ToolboxModel& model) { return model.apply(); });
    if (!result) return;
    showAll();
    keepFocus(hadFocus);
    reportWrite(
        *result, [](const QString& why) { return tr("The changed settings were not written to the embosser: %1.").arg(why); },
        tr(WrittenText));
}

void ToolboxViewController::dismissClick() { QDialog::reject(); }

void ToolboxViewController::readSensorsClick() {
    if (m_abandoned) return;
    std::shared_ptr<ToolboxModel> model = m_model;
    const std::optional<printer::ExchangeOutcome> read = widgets::LongWait::run<printer::ExchangeOutcome>(
        this, tr(SensorsText), [model] { return model->readSensors(); }, {[model] { model->cancel(); }, nullptr});
    if (!read) return closeAbandoned();
    showOne("m_tfSensors");
    if (!read->ok()) {
        qCWarning(lcToolbox, "sensors not read: %s", read->describe().c_str());
        return widgets::reportFailure(this, tr("The sensors were not read: %1.").arg(qtext(read->summary())),
                                      qtext(read->reason));
    }
    const ControlState* sensors = m_model->control("m_tfSensors");
    const QString values = sensors ? sensorSentence(qtext(sensors->text)) : QString();
    m_status->say(values.isEmpty() ? tr("The sensors were read.") : tr("The sensors were read: %1.").arg(values));
}

void ToolboxViewController::pjlSetClick() {
    if (m_abandoned) return;
    commitEdits();
    const std::optional<WriteResult> result = runWrite([](ToolboxModel& model) { return model.setSelectedVariable(); });
    if (!result) return;
    const auto* names = findChild<QComboBox*>("m_cbPjlNames");
    const QString name = names ? names->currentText() : QString();
    if (!result->request && result->notes.empty())
        return m_status->say(tr("Nothing was set on the embosser: choose a variable, and give it a value it takes."));
    reportWrite(
        *result, [name](const QString& why) { return tr("%1 was not set on the embosser: %2.").arg(name, why); },
        tr("%1 was set on the embosser.").arg(name));
}

void ToolboxViewController::resetFillState() {
    if (m_abandoned) return;
    const int tag = sender() ? sender()->property("tag").toInt() : 0;
    const std::optional<WriteResult> result = runWrite([tag](ToolboxModel& model) { return model.resetFillState(tag); });
    if (!result) return;
    const QString cartridge = QString::number(tag == 1 ? 1 : 0);
    reportWrite(
        *result,
        [cartridge](const QString& why) { return tr("The fill state of cartridge %1 was not reset: %2.").arg(cartridge, why); },
        tr("The fill state of cartridge %1 was reset.").arg(cartridge));
}

// The tables that come with the program are offered first; any file may be chosen.
QString ToolboxViewController::chooseTableFile() {
    const std::filesystem::path installed = installedTableFolder();
    QFileDialog dialog(this, tr(TableFileTitle),
                       installed.empty() ? widgets::fileDialogFolder() : QString::fromStdString(installed.string()),
                       tr("Braille tables (*.txt);;All files (*)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

// The chosen file becomes a table here; a file that cannot be read, or that names a character
// code no table has, is said and nothing is sent. The download itself runs off the window thread.
void ToolboxViewController::installBrailleClick() {
    if (m_abandoned) return;
    const QString path = chooseTableFile();
    if (path.isEmpty()) return;
    const QString name = QFileInfo(path).fileName();
    BrailleConversionData file;
    if (file.readFile(QFile::encodeName(path).toStdString()) != BrailleConversionData::Done) {
        qCWarning(lcToolbox, "table %s refused: %s", qUtf8Printable(path), file.failure().c_str());
        return widgets::reportFailure(this, tr("The braille table %1 was not sent: %2.").arg(name, qtext(file.failure())));
    }
    const BrailleTable table = file.table();
    const std::optional<WriteResult> result = runWrite([table](ToolboxModel& model) { return model.installTable(table); });
    if (!result) return;
    reportWrite(
        *result,
        [name](const QString& why) { return tr("The braille table %1 was not sent to the embosser: %2.").arg(name, why); },
        tr("The braille table %1 was sent to the embosser.").arg(name));
    showAll();
}

void ToolboxViewController::exportSettingsClick() {
    if (m_abandoned) return;
    const QString name = m_model->printer() ? qtext(m_model->printer()->queue) : QStringLiteral("embosser");
    QFileDialog dialog(this, tr(ExportText).chopped(1), widgets::fileDialogFolder() + "/" + name + ".json",
                       tr("Settings profiles (*.json);;All files (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    widgets::rememberFileDialogChoice(dialog.selectedFiles().constFirst());
    exportSettingsTo(dialog.selectedFiles().constFirst());
}

// What the embosser holds, as loaded or last written; changes not yet applied are not in it.
void ToolboxViewController::exportSettingsTo(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const std::string profile = encodeProfile(makeProfile(*m_model));
    std::ofstream out(QFile::encodeName(path).toStdString(), std::ios::binary | std::ios::trunc);
    out << profile;
    out.close();
    if (!out) {
        qCWarning(lcToolbox, "profile %s not written", qUtf8Printable(path));
        widgets::MessageBox::show(tr("The settings were not saved in %1: the file could not be written.").arg(name));
        return;
    }
    widgets::MessageBox::inform(tr("The settings of the embosser were saved in %1.").arg(name));
}

void ToolboxViewController::importSettingsClick() {
    if (m_abandoned) return;
    const QString path = widgets::askOpenFile(this, tr(ImportText).chopped(1));
    if (!path.isEmpty()) importSettingsFrom(path);
}

// The profile's controls are set as the user would set them and Apply writes what differs, off the
// window thread; what was written, refused or skipped is said.
void ToolboxViewController::importSettingsFrom(const QString& path) {
    if (m_abandoned) return;
    const QString name = QFileInfo(path).fileName();
    std::string why;
    const std::optional<SettingsProfile> profile = readProfileFile(QFile::encodeName(path).toStdString(), why);
    if (!profile) {
        qCWarning(lcToolbox, "profile %s refused: %s", qUtf8Printable(path), why.c_str());
        widgets::MessageBox::show(tr("The profile %1 was not read: %2.").arg(name, qtext(why)));
        return;
    }
    commitEdits();
    std::shared_ptr<ToolboxModel> model = m_model;
    const std::optional<ProfileImport> result =
        widgets::LongWait::run<ProfileImport>(this, tr(WritingText), [model, profile] { return importProfile(*model, *profile); },
                                              {[model] { model->cancel(); }, nullptr});
    if (!result) return closeAbandoned();
    showAll();
    if (!result->refusal.empty()) return widgets::MessageBox::show(qtext(result->refusal));
    QStringList lines;
    if (result->write.failed())
        lines
            << tr("The settings of %1 were not written to the embosser: %2.").arg(name, qtext(result->write.outcome.describe()));
    else if (result->write.request)
        lines << (result->write.settings == 1
                      ? tr("1 setting of %1 was written to the embosser.").arg(name)
                      : tr("%1 settings of %2 were written to the embosser.").arg(result->write.settings).arg(name));
    else lines << tr("The embosser already has the settings of %1; nothing was written.").arg(name);
    for (const std::string& refused : result->refused) lines << tr("Not taken: %1.").arg(qtext(refused));
    for (const std::string& note : result->write.notes) lines << qtext(note);
    if (!result->unknown.empty()) {
        QStringList unknown;
        for (const std::string& control : result->unknown) unknown << qtext(control);
        lines << tr("Skipped, as this embosser has no such setting: %1.").arg(unknown.join(QStringLiteral(", ")));
    }
    if (result->failed() || !result->unknown.empty()) widgets::MessageBox::show(lines.join(QStringLiteral("\n\n")));
    else widgets::MessageBox::inform(lines.join(QStringLiteral("\n\n")));
}

// A cancelled wait leaves the engine to its worker: the window closes and never touches it again.
void ToolboxViewController::closeAbandoned() {
    m_abandoned = true;
    QDialog::reject();
}

} // namespace brelmont::toolbox::ui
