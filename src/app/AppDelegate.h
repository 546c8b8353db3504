// The application object's duties: the launch sequence (shared folder, request file, preview
// timer, start window), the menu commands, and the documents.
#pragma once

#include "app/DocumentController.h"
#include "app/PreviewHandoff.h"
#include "app/SharedFolder.h"

#include <QObject>
#include <QTimer>

#include <memory>

class QMainWindow;
class QMenu;

namespace brelmont::viewer {
class WindowController;
}

namespace brelmont::app {

class StartWindow;

class AppDelegate : public QObject {
    Q_OBJECT

public:
    explicit AppDelegate(SharedFolder folder, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Folders, empty request file, the one-second hand-off timer (and one tick at once), start window.
    // A link planted where a folder or the request file belongs is left alone and reported.
    void applicationDidFinishLaunching();
    // Ends every command still at work (device exchanges, lpr, lpoptions) and waits for the workers
    // of cancelled waits, so the program leaves no device work behind.
    void applicationWillTerminate();
    bool applicationSupportsSecureRestorableState() const { return true; }

    // Menu commands.
    void openDocumentClick();
    void saveDocument();
    void sendFileClick();
    void printingPreferences();
    void openToolboxClick();
    void firmwareUpdateClick();
    // Embosser ▸ Print Test Page…: the test page window.
    void printTestPage();
    // Embosser ▸ Add Embosser…: the embossers without a queue, and a queue made for one.
    void addEmbosserClick();
    // saveDocumentAs: does nothing; the application offers no Save As.

    StartWindow* window() const { return m_window.get(); }
    DocumentController& documents() { return m_documents; }
    PreviewHandoff& previewHandoff() { return m_handoff; }
    QTimer& previewTimer() { return m_previewTimer; }
    const SharedFolder& sharedFolder() const { return m_folder; }

    static constexpr int PreviewIntervalMs = 1000;

private:
    void fillFileMenu(QMenu* menu, QMainWindow* owner, bool forDocument);
    void fillEmbosserMenu(QMenu* menu);

    SharedFolder m_folder;
    DocumentController m_documents;
    PreviewHandoff m_handoff;
    QTimer m_previewTimer;
    std::unique_ptr<StartWindow> m_window;
};

} // namespace brelmont::app
