// The start window ("YourCustomVC"): the application's home, with a large button for each job the
// application can do and the same commands in its menu bar. Job files dropped on it are opened.
#pragma once

#include <QMainWindow>
#include <QStringList>

class QMimeData;
class QPushButton;

namespace Ui {
class YourCustomVC;
}

namespace brelmont::app {

class StartWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char* Identifier = "YourCustomVC";

    explicit StartWindow(QWidget* parent = nullptr);
    ~StartWindow() override;

    QPushButton* openJobButton() const;
    QPushButton* sendFileButton() const;
    QPushButton* preferencesButton() const;
    QPushButton* toolboxButton() const;
    QPushButton* firmwareButton() const;

    // The local files among dropped URLs.
    static QStringList droppedFiles(const QMimeData* data);

signals:
    void openJobClicked();
    void sendFileClicked();
    void preferencesClicked();
    void toolboxClicked();
    void firmwareClicked();
    void jobsDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Ui::YourCustomVC* const ui;
};

} // namespace brelmont::app
