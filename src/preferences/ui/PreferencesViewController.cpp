#include "preferences/ui/PreferencesViewController.h"

#include "preferences/OptionListing.h"
#include "preferences/OptionStore.h"
#include "preferences/SharedDataFolder.h"
#include "preferences/ui/PreferencesSettings.h"
#include "printer/CommandRunner.h"
#include "printer/ModelTable.h"
#include "widgets/ComboChoice.h"
#include "widgets/CoreText.h"
#include "widgets/Guidance.h"
#include "widgets/Logging.h"
#include "widgets/LongWait.h"
#include "widgets/MessageBox.h"
#include "widgets/QueueDiscovery.h"
#include "widgets/StatusLine.h"

#include "ui_PreferencesWindowController.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFileDialog>
#include <QSignalBlocker>

#include <algorithm>
#include <optional>

namespace brelmont::preferences::ui {

namespace {

QString text(const std::string& value) { return QString::fromStdString(value); }
std::string text(const QString& value) { return value.toStdString(); }

// Blocks the combo box's notifications while it is refilled.
void fillCombo(QComboBox* combo, const ChoiceList& list, QLabel* caption = nullptr) {
    const QSignalBlocker block(combo);
    combo->clear();
    for (const std::string& item : list.items) combo->addItem(text(item));
    combo->setCurrentIndex(list.index);
    combo->setVisible(list.visible);
    if (caption) caption->setVisible(list.visible);
}

// A fixed combo box: only its chosen index and visibility change.
void chooseFixed(QComboBox* combo, int index, bool visible, QLabel* caption) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index < combo->count() ? index : -1);
    combo->setVisible(visible);
    caption->setVisible(visible);
}

ChoiceList readCombo(const QComboBox* combo) {
    ChoiceList list;
    for (int i = 0; i < combo->count(); ++i) list.items.push_back(text(combo->itemText(i)));
    list.index = combo->currentIndex();
    list.visible = !combo->isHidden();
    return list;
}

QString defaultFilePicker(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(parent, QObject::tr("Choose a Pattern File"), folder);
}

// The queue list's commands run on the window thread; the cursor says so while they do.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// What a refused field's alert says: the field's name, what it must hold, and what it held.
QString refusalText(const FieldRefusal& refusal) {
    const QString label = widgets::translated(refusal.label), held = text(refusal.text);
    if (!refusal.whole)
        return PreferencesViewController::tr("%1 must be a number of 0 or more; \u201c%2\u201d is not.").arg(label, held);
    return PreferencesViewController::tr("%1 must be a whole number from %2 to %3; \u201c%4\u201d is not.")
        .arg(label)
        .arg(refusal.lowest)
        .arg(refusal.highest)
        .arg(held);
}

} // namespace

PreferencesViewController::PreferencesViewController(printer::Printers printers, QWidget* parent)
    : QDialog(parent),
      ui(new Ui::PreferencesWindowController),
      m_printers(std::move(printers)),
      m_filePicker(defaultFilePicker) {
    ui->setupUi(this);
    m_status = widgets::StatusLine::addTo(this);
    setObjectName(Identifier);
    viewDidLoad();
}

PreferencesViewController::~PreferencesViewController() { delete ui; }

void PreferencesViewController::viewDidLoad() {
    const auto group = [this](QAbstractButton* first, QAbstractButton* second) {
        auto* buttons = new QButtonGroup(this);
        buttons->addButton(first);
        buttons->addButton(second);
        return buttons;
    };
    m_duplex = group(ui->m_duplexSimplex, ui->m_duplexInterpoint);
    m_render = group(ui->m_renderGrayscale, ui->m_renderColor);
    m_output = group(ui->m_outputFaceUp, ui->m_outputFaceDown);

    ui->m_comboPathPicker->addItems({BrowseItem, DisabledItem});
    ui->m_comboPathPicker->setCurrentIndex(1);
    ui->m_comboOutputPath->addItems({DisabledItem, text(sharedDataFolder().string())});
    ui->m_contrast->setText("0");
    ui->m_brightness->setText("0");

    connect(ui->m_comboPageSize, &QComboBox::currentIndexChanged, this, &PreferencesViewController::pageSizeChosen);
    connect(ui->m_comboUnits, &QComboBox::currentIndexChanged, this, &PreferencesViewController::unitsChosen);
    // The queue and the pattern file take effect when chosen, not at each arrow step: a keyboard
    // user listening through the queues keeps the edits made, and no file dialog pops up.
    m_patternChoice = new widgets::ComboChoice(ui->m_comboPathPicker, [this](int index) { patternChosen(index); });
    connect(ui->m_twoInOne, &QCheckBox::toggled, this, &PreferencesViewController::twoInOneToggled);
    connect(ui->m_sliderThinLine, &QSlider::valueChanged, this,
            [this](int value) { ui->m_thinLine->setText(QString::number(value)); });

    refreshMirrors();
    const QString remembered = lastQueueName();
    int rememberedIndex = -1;
    const std::vector<printer::PrinterItem>& queues = m_printers.items();
    for (size_t i = 0; i < queues.size(); ++i) {
        if (rememberedIndex < 0 && text(queues[i].queue) == remembered) rememberedIndex = static_cast<int>(i);
        ui->m_comboPrinters->addItem(text(queues[i].name.empty() ? queues[i].makeAndModel : queues[i].name));
    }

    if (rememberedIndex >= 0 || ui->m_comboPrinters->count() == 1) {
        const int index = std::max(rememberedIndex, 0);
        {
            const QSignalBlocker block(ui->m_comboPrinters);
            ui->m_comboPrinters->setCurrentIndex(index);
        }
        printerChosen(index);
    } else {
        const QSignalBlocker block(ui->m_comboPrinters);
        ui->m_comboPrinters->insertItem(0, PlaceholderItem);
        ui->m_comboPrinters->setCurrentIndex(0);
        ui->m_comboPrinters->setProperty("tag", 1);
        ui->m_tabView->hide();
    }
    m_queueChoice = new widgets::ComboChoice(ui->m_comboPrinters, [this](int index) { printerChosen(index); });
    ui->m_comboPrinters->setFocus();
}

bool PreferencesViewController::placeholderShown() const { return ui->m_comboPrinters->property("tag").toInt() == 1; }

int PreferencesViewController::chosenQueue() const {
    if (placeholderShown()) return -1;
    const int index = m_queueChoice ? m_queueChoice->inEffect() : ui->m_comboPrinters->currentIndex();
    return index >= 0 && index < static_cast<int>(m_printers.items().size()) ? index : -1;
}

void PreferencesViewController::printerChosen(int index) {
    if (placeholderShown()) {
        if (index <= 0) return;
        // The placeholder goes; the same queue, one place up, is chosen again and loaded.
        {
            const QSignalBlocker block(ui->m_comboPrinters);
            ui->m_comboPrinters->removeItem(0);
            ui->m_comboPrinters->setProperty("tag", 0);
            ui->m_comboPrinters->setCurrentIndex(index - 1);
        }
        printerChosen(index - 1);
        return;
    }
    if (index >= 0 && index < static_cast<int>(m_printers.items().size())) loadQueue(index);
}

void PreferencesViewController::loadQueue(int queueIndex) {
    const printer::PrinterItem& chosen = m_printers.items()[static_cast<size_t>(queueIndex)];
    const std::string& queue = chosen.queue;
    setWindowTitle(tr("Brelmont %1").arg(text(printer::modelName(chosen.model).value_or(std::string()))));
    ui->m_queueName->setText(text(queue));

    std::string error;
    {
        const BusyCursor busy;
        m_printOptions = windowOptionList(OptionStore::load(queue, &error));
    }
    // Controls filled from options that were never read would show made-up defaults, and OK would
    // write them over the queue's real ones: such a queue is shown as unreadable and left alone.
    m_optionsRead = error.empty();
    if (!m_optionsRead) {
        ui->m_tabView->hide();
        widgets::reportFailure(
            this, tr("The options of the queue %1 could not be read, so nothing will be changed.").arg(text(queue)), text(error));
        return;
    }
    ui->m_tabView->show();
    showForm(fillForm(m_printOptions, text(lastPatternFile()), m_custom));
}

void PreferencesViewController::showForm(const PreferencesForm& form) {
    {
        const QSignalBlocker block(ui->m_comboPathPicker);
        ui->m_comboPathPicker->clear();
        for (const std::string& item : form.patternItems) ui->m_comboPathPicker->addItem(text(item));
        ui->m_comboPathPicker->setCurrentIndex(form.patternIndex);
        m_patternChoice->settle();
    }
    ui->m_comboOutputPath->setCurrentText(text(form.outputPath));
    if (form.outputPath == DisabledItem) ui->m_comboOutputPath->setCurrentIndex(0);
    ui->m_contrast->setText(text(form.contrast));
    ui->m_brightness->setText(text(form.brightness));
    ui->m_sliderThinLine->setValue(form.thinLine);
    ui->m_thinLine->setText(QString::number(form.thinLine));
    ui->m_collate->setChecked(form.collate);
    ui->m_preview->setChecked(form.preview);

    ui->m_duplexInterpoint->setVisible(form.interpointVisible);
    (form.simplex ? ui->m_duplexSimplex : ui->m_duplexInterpoint)->setChecked(true);

    m_custom = form.custom;
    fillCombo(ui->m_comboPageSize, form.pageSize, ui->m_lbPageSize);
    showPaperFields(form.paper);
    fillCombo(ui->m_comboMediaType, form.mediaType, ui->m_lbMediaType);

    {
        const QSignalBlocker block(ui->m_twoInOne);
        ui->m_embossOnly->setChecked(form.embossOnly);
        ui->m_printOnly->setChecked(form.printOnly);
        ui->m_twoInOne->setChecked(form.twoInOne);
        ui->m_embossOnly->setEnabled(!form.twoInOne);
        ui->m_printOnly->setEnabled(!form.twoInOne);
    }
    ui->m_boxPrintMode->setVisible(form.printModeVisible);

    chooseFixed(ui->m_comboBrlQuality, form.brlQuality, form.brlQualityVisible, ui->m_brlQuality);
    fillCombo(ui->m_comboDotQuality, form.dotQuality, ui->m_dotQuality);
    ui->m_comboDotHeight->setCurrentIndex(form.dotHeight);
    ui->m_embossStdTexts->setChecked(form.standardTexts);
    fillCombo(ui->m_comboBrailleSpacing, form.brailleSpacing, ui->m_brailleSpacing);

    ui->m_boxRender->setVisible(form.renderVisible);
    (form.color ? ui->m_renderColor : ui->m_renderGrayscale)->setChecked(true);
    chooseFixed(ui->m_comboInkQuality, form.inkQuality, form.inkQualityVisible, ui->m_inkQuality);
    fillCombo(ui->m_comboDithering, form.dithering, ui->m_dithering);
    ui->m_boxOutputFace->setVisible(form.outputFaceVisible);
    (form.faceDown ? ui->m_outputFaceDown : ui->m_outputFaceUp)->setChecked(true);
    ui->m_rotateLandscape->setChecked(form.landscape);
}

PreferencesForm PreferencesViewController::readForm() const {
    PreferencesForm form;
    form.patternItems.clear();
    for (int i = 0; i < ui->m_comboPathPicker->count(); ++i)
        form.patternItems.push_back(text(ui->m_comboPathPicker->itemText(i)));
    form.patternIndex = ui->m_comboPathPicker->currentIndex();
    form.outputPath = text(ui->m_comboOutputPath->currentText());
    form.contrast = text(ui->m_contrast->text());
    form.brightness = text(ui->m_brightness->text());
    form.thinLine = ui->m_sliderThinLine->value();
    form.collate = ui->m_collate->isChecked();
    form.preview = ui->m_preview->isChecked();

    form.simplex = ui->m_duplexSimplex->isChecked();
    form.interpointVisible = !ui->m_duplexInterpoint->isHidden();

    form.pageSize = readCombo(ui->m_comboPageSize);
    form.custom = m_custom;
    form.paper.width = text(ui->m_customWidth->text());
    form.paper.height = text(ui->m_customHeight->text());
    form.paper.units = m_custom.units;
    form.paper.shown = !ui->m_customWidth->isHidden();
    form.paper.editable = ui->m_customWidth->isEnabled();
    form.mediaType = readCombo(ui->m_comboMediaType);

    form.printModeVisible = !ui->m_boxPrintMode->isHidden();
    form.embossOnly = ui->m_embossOnly->isChecked();
    form.printOnly = ui->m_printOnly->isChecked();
    form.twoInOne = ui->m_twoInOne->isChecked();

    form.brlQuality = ui->m_comboBrlQuality->currentIndex();
    form.brlQualityVisible = !ui->m_comboBrlQuality->isHidden();
    form.dotQuality = readCombo(ui->m_comboDotQuality);
    form.dotHeight = ui->m_comboDotHeight->currentIndex();
    form.standardTexts = ui->m_embossStdTexts->isChecked();
    form.brailleSpacing = readCombo(ui->m_comboBrailleSpacing);

    form.renderVisible = !ui->m_boxRender->isHidden();
    form.color = ui->m_renderColor->isChecked();
    form.inkQuality = ui->m_comboInkQuality->currentIndex();
    form.inkQualityVisible = !ui->m_comboInkQuality->isHidden();
    form.dithering = readCombo(ui->m_comboDithering);
    form.outputFaceVisible = !ui->m_boxOutputFace->isHidden();
    form.faceDown = ui->m_outputFaceDown->isChecked();
    form.landscape = ui->m_rotateLandscape->isChecked();
    return form;
}

void PreferencesViewController::showPaperFields(const PaperFields& fields) {
    {
        const QSignalBlocker block(ui->m_comboUnits);
        ui->m_comboUnits->setCurrentIndex(fields.units);
    }
    ui->m_customWidth->setText(text(fields.width));
    ui->m_customHeight->setText(text(fields.height));
    for (QWidget* control : {static_cast<QWidget*>(ui->m_customWidth), static_cast<QWidget*>(ui->m_customHeight),
                             static_cast<QWidget*>(ui->m_comboUnits)})
        control->setEnabled(fields.editable);
    for (QWidget* control : {static_cast<QWidget*>(ui->m_customWidth), static_cast<QWidget*>(ui->m_customHeight),
                             static_cast<QWidget*>(ui->m_comboUnits), static_cast<QWidget*>(ui->m_customBy),
                             static_cast<QWidget*>(ui->m_lbCustomWidth), static_cast<QWidget*>(ui->m_lbUnits)})
        control->setVisible(fields.shown);
}

void PreferencesViewController::pageSizeChosen(int index) {
    showPaperFields(paperFieldsForChoice(findOption(m_printOptions, "PageSize"), index, m_custom));
}

void PreferencesViewController::unitsChosen(int index) {
    PreferencesForm form = readForm();
    changeUnits(form, index);
    m_custom = form.custom;
    ui->m_customWidth->setText(text(form.paper.width));
    ui->m_customHeight->setText(text(form.paper.height));
}

void PreferencesViewController::patternChosen(int index) {
    if (index != 0) return;
    const QString folder = text((sharedDataFolder() / "Patterns").string());
    const QString picked = m_filePicker(this, folder);
    const QSignalBlocker block(ui->m_comboPathPicker);
    if (!picked.isEmpty()) {
        while (ui->m_comboPathPicker->count() > 2) ui->m_comboPathPicker->removeItem(2);
        ui->m_comboPathPicker->addItem(text(percentEncodedPath(text(picked))));
        ui->m_comboPathPicker->setCurrentIndex(2);
    } else {
        ui->m_comboPathPicker->setCurrentIndex(ui->m_comboPathPicker->count() > 2 ? 2 : 1);
    }
}

void PreferencesViewController::twoInOneToggled(bool on) {
    if (on) {
        ui->m_embossOnly->setChecked(true);
        ui->m_printOnly->setChecked(true);
    }
    ui->m_embossOnly->setEnabled(!on);
    ui->m_printOnly->setEnabled(!on);
}

void PreferencesViewController::refreshMirrors() {
    const BusyCursor busy;
    std::vector<std::string> queues;
    for (const printer::PrinterItem& item : m_printers.items()) queues.push_back(item.queue);
    // A link planted in the shared folder is told once per window; it stays until someone removes it.
    for (const std::string& refusal : OptionStore::refreshMirrors(queues)) {
        qCWarning(lcPreferences, "%s", refusal.c_str());
        if (!m_refusalShown) widgets::MessageBox::show(text(refusal));
        m_refusalShown = true;
    }
}

// Every command of the plan runs, off the window thread; a failing one is told with the printing
// system's own message and the window stays open, so nothing is taken for saved that was not.
void PreferencesViewController::accept() {
    if (const int index = chosenQueue(); index >= 0 && m_optionsRead) {
        const PreferencesForm form = readForm();
        // A field OK cannot write is named, and nothing is written until it is put right.
        if (const std::optional<FieldRefusal> refusal = checkForm(form)) {
            widgets::reportFailure(this, refusalText(*refusal));
            if (auto* field = findChild<QWidget*>(text(refusal->field))) {
                for (QWidget* page = field; page; page = page->parentWidget())
                    if (ui->m_tabView->indexOf(page) >= 0) ui->m_tabView->setCurrentWidget(page);
                field->setFocus();
            }
            return;
        }
        const std::string queue = m_printers.items()[static_cast<size_t>(index)].queue;
        setLastQueueName(text(queue));
        const ConfirmPlan plan = confirmPlan(queue, m_printOptions, form);
        auto stop = std::make_shared<printer::StopSignal>();
        const std::optional<std::vector<std::string>> failures = widgets::LongWait::run<std::vector<std::string>>(
            this, tr("Saving the printing preferences\u2026"),
            [commands = plan.commands, stop] { return OptionStore::runCommands(commands, stop); },
            {[stop] { stop->stop(); }, nullptr});
        if (!failures) return; // cancelled: the window stays with the user's choices
        if (!failures->empty()) {
            QStringList lines;
            for (const std::string& failure : *failures) lines << text(failure);
            widgets::reportFailure(this, tr("Some printing preferences of %1 were not saved.").arg(text(queue)),
                                   lines.join(QLatin1Char('\n')));
            return;
        }
        if (plan.rememberedPatternFile) setLastPatternFile(text(*plan.rememberedPatternFile));
        m_outcome = tr("The printing preferences of %1 were saved.").arg(text(queue));
    }
    refreshMirrors();
    QDialog::accept();
}

void PreferencesViewController::reject() {
    refreshMirrors();
    QDialog::reject();
}

QString showPreferencesWindow(QWidget* parent) {
    std::optional<printer::Printers> printers = widgets::discoverQueues(parent);
    if (!printers) return {};
    if (printers->empty()) {
        widgets::MessageBox::show(widgets::noQueueText());
        return {};
    }
    PreferencesViewController window(std::move(*printers), parent);
    window.exec();
    return window.outcome();
}

} // namespace brelmont::preferences::ui
