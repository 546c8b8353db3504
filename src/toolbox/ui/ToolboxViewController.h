// The toolbox window of every model family: a modal dialog whose widgets, named by their outlets,
// mirror the engine's controls. The window only moves values between the widgets and the engine
// (ToolboxModel) and runs the long device exchanges off the window thread.
#pragma once

#include "toolbox/Families.h"
#include "toolbox/ToolboxModel.h"
#include "toolbox/ui/ToolboxDevice.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

class QPushButton;
class QTabWidget;

namespace brelmont::widgets {
class StatusLine;
}

namespace brelmont::toolbox::ui {

class ToolboxViewController : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* LoadingText = QT_TR_NOOP("Reading settings from the embosser\u2026");
    static constexpr const char* SensorsText = QT_TR_NOOP("Reading the sensors of the embosser\u2026");
    static constexpr const char* WritingText = QT_TR_NOOP("Writing to the embosser\u2026");
    static constexpr const char* WrittenText = QT_TR_NOOP("The changed settings were written to the embosser.");
    static constexpr const char* AskingText = QT_TR_NOOP("Asking the embosser\u2026");
    static constexpr const char* TableFileTitle = QT_TR_NOOP("Install Braille Table");
    static constexpr const char* ExportText = QT_TR_NOOP("Export Settings\u2026");
    static constexpr const char* ImportText = QT_TR_NOOP("Import Settings\u2026");

    // The window of a family that has a description and a layout (see canOpen).
    ToolboxViewController(const ToolboxFamily& family, ToolboxDevice device, QWidget* parent = nullptr);
    ~ToolboxViewController() override;

    // Whether the family has both a description and a window layout.
    static bool canOpen(const ToolboxFamily& family);

    // Loads the device's settings into the widgets while a progress dialog runs. False when the
    // window must not be shown: the load failed (the failure message is posted) or the user
    // cancelled the wait. Nothing is written to the device either way.
    bool viewDidLoad();
    // viewDidLoad, then the window modally; the dialog's result (Rejected when it never showed).
    int runModal();
    // What the window's closing achieved, to be said where the focus returns: the settings OK
    // wrote; empty when it wrote nothing.
    QString outcome() const { return m_outcome; }

    const ToolboxModel& model() const { return *m_model; }
    QPushButton* applyButton() const { return m_buttonApply; }

public slots:
    void okClick();
    void applyClick();
    void dismissClick();
    void readSensorsClick();
    void pjlSetClick();
    void resetFillState();      // the sender's "tag" property picks the cartridge
    void installBrailleClick(); // a table file chosen in a file dialog, downloaded
    void exportSettingsClick(); // the embosser's settings saved as a profile file chosen in a dialog
    void importSettingsClick(); // a profile file chosen in a dialog, applied

    // The two without their dialogs: the result is said in an alert either way.
    void exportSettingsTo(const QString& path);
    void importSettingsFrom(const QString& path);

    // Enter and Escape.
    void accept() override { okClick(); }
    void reject() override { dismissClick(); }

private:
    void connectControls();
    void addProfileButtons();
    void connectButton(const char* name, void (ToolboxViewController::*slot)());
    void textEditingEnded(const std::string& control);
    void chooseItem(const std::string& control, int index);
    QString chooseTableFile();
    void showResult(const std::string& control, const ChangeResult& result);
    void showAll();
    void showOne(const std::string& control);
    void commitEdits();
    void closeAbandoned();
    std::optional<WriteResult> runWrite(std::function<WriteResult(ToolboxModel&)> write);
    void reportWrite(const WriteResult& result, const std::function<QString(const QString& why)>& failure,
                     const QString& arrived = {});
    void keepFocus(QWidget* hadFocus);

    const ToolboxFamily& m_family;
    ToolboxDevice m_device;
    // Shared with the worker of a long exchange, which may outlive a cancelled wait.
    std::shared_ptr<ToolboxModel> m_model;
    QPushButton* m_buttonApply = nullptr;
    QTabWidget* m_tvTabView = nullptr;
    widgets::StatusLine* m_status = nullptr; // every outcome, in words
    bool m_abandoned = false;                // a cancelled worker still holds the engine: no further use of it
    QString m_outcome;
};

} // namespace brelmont::toolbox::ui
