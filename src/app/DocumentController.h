// The documents of the application: opens job files into Documents, gives each its one viewer
// window, and saves a job's bytes unchanged. Refusals and failed writes are shown in alerts.
#pragma once

#include "job/Document.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace brelmont::viewer {
class WindowController;
}

namespace brelmont::app {

class DocumentController : public QObject {
    Q_OBJECT

public:
    explicit DocumentController(QObject* parent = nullptr);
    ~DocumentController() override;

    // Opens the job in a viewer window, or brings forward the window already showing that file.
    // Null when the job could not be opened (an alert says why).
    viewer::WindowController* openDocument(const QString& path);
    void openDocuments(const QStringList& paths);
    // File ▸ Open: asks for jobs and opens them.
    void openDocumentClick(QWidget* parent);
    // File ▸ Save: asks where, proposing the job's own file name, and writes its bytes unchanged.
    // True when a file was written.
    bool saveDocument(viewer::WindowController* window);

    // The viewer window for a decoded document; none for a document that names no model.
    viewer::WindowController* makeWindowControllers(std::shared_ptr<job::Document> document);

    QList<viewer::WindowController*> windows() const;

    // The open and save dialogs; tests put answers here.
    std::function<QStringList(QWidget*)> m_askOpenPaths;
    std::function<QString(QWidget*, const QString& proposedPath)> m_askSavePath;
    // Presents the send-job sheet for a viewer window whose print button was clicked; the
    // application sets it (the viewer and the documents know nothing of the send windows).
    std::function<void(viewer::WindowController*)> m_presentSendJob;

signals:
    void windowOpened(brelmont::viewer::WindowController* window);

private:
    // Open windows; each leaves the list as it is destroyed (compared as QObject, since by then it
    // is no longer a WindowController).
    QList<viewer::WindowController*> m_windows;
};

} // namespace brelmont::app
