// The printing preferences window: a modal dialog that shows the options of one embosser queue
// and writes them all back on OK. The decisions live in preferences/PreferencesForm; this class
// only moves them in and out of the widgets.
#pragma once

#include "preferences/PreferencesForm.h"
#include "preferences/PrintOption.h"
#include "printer/Printers.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <vector>

namespace brelmont::widgets {
class ComboChoice;
class StatusLine;
} // namespace brelmont::widgets

class QButtonGroup;
class QComboBox;
class QLabel;

namespace Ui {
class PreferencesWindowController;
}

namespace brelmont::preferences::ui {

class PreferencesViewController : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* Identifier = "preferencesWindowController";
    static constexpr const char* PlaceholderItem = "<Select a printer queue>";

    // Refreshes every queue's mirror file, lists the queues and loads the remembered one (or the
    // only one).
    explicit PreferencesViewController(printer::Printers printers, QWidget* parent = nullptr);
    ~PreferencesViewController() override;

    // Asks for a pattern file, starting in `folder`; an empty result means cancelled.
    using FilePicker = std::function<QString(QWidget* parent, const QString& folder)>;
    void setFilePicker(FilePicker picker) { m_filePicker = std::move(picker); }

    const std::vector<PrintOption>& printOptions() const { return m_printOptions; }
    // Whether "<Select a printer queue>" still heads the queue list.
    bool placeholderShown() const;
    // What OK saved, for the opener to say; empty when nothing was saved.
    QString outcome() const { return m_outcome; }

public slots:
    // OK: writes every option of the chosen queue, refreshes the mirror files and closes.
    void accept() override;
    // Cancel (and Escape): refreshes the mirror files and closes without writing options.
    void reject() override;

private:
    void viewDidLoad();
    void printerChosen(int index);
    void loadQueue(int queueIndex);
    void pageSizeChosen(int index);
    void unitsChosen(int index);
    void patternChosen(int index);
    void twoInOneToggled(bool on);

    void showForm(const PreferencesForm& form);
    PreferencesForm readForm() const;
    void showPaperFields(const PaperFields& fields);
    void refreshMirrors();
    int chosenQueue() const;

    Ui::PreferencesWindowController* ui;
    printer::Printers m_printers;
    std::vector<PrintOption> m_printOptions;
    bool m_optionsRead = false; // the chosen queue's options were read; OK writes only then
    CustomSize m_custom;        // the custom size and the unit index of the custom fields
    QButtonGroup* m_duplex;
    QButtonGroup* m_render;
    QButtonGroup* m_output;
    FilePicker m_filePicker;
    QString m_outcome;                       // what OK saved
    widgets::StatusLine* m_status = nullptr; // what was refused or failed, in words
    widgets::ComboChoice* m_queueChoice = nullptr;
    widgets::ComboChoice* m_patternChoice = nullptr;
    bool m_refusalShown = false;
};

// The Embosser ▸ Printing Preferences… command: builds the queue list and, when it holds at least
// one queue, runs the window modally; with no queue it says so and how to add one. Returns what OK
// saved ("The printing preferences of Office were saved."), empty when nothing was, for the opener to say.
QString showPreferencesWindow(QWidget* parent);

} // namespace brelmont::preferences::ui
