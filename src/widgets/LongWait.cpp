#include "widgets/LongWait.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QMetaObject>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <mutex>
#include <thread>
#include <vector>

namespace brelmont::widgets {

namespace {

// What the worker and the waiting window share. The window clears `wakeUp` under the lock before
// the event loop it names goes away, so a late worker never posts to a destroyed object.
struct WaitState {
    std::mutex mutex;
    bool done = false;
    QEventLoop* wakeUp = nullptr;
};

// Workers whose calls were cancelled: they finish on their own (every exchange has its own time
// limits) and are joined later, at the latest when the program's statics go away.
class AbandonedWorkers {
public:
    ~AbandonedWorkers() { joinAll(); }

    void add(std::thread worker) {
        const std::lock_guard lock(m_mutex);
        m_workers.push_back(std::move(worker));
    }

    void joinAll() {
        std::vector<std::thread> workers;
        {
            const std::lock_guard lock(m_mutex);
            workers.swap(m_workers);
        }
        for (std::thread& worker : workers) worker.join();
    }

private:
    std::mutex m_mutex;
    std::vector<std::thread> m_workers;
};

AbandonedWorkers& abandonedWorkers() {
    static AbandonedWorkers workers;
    return workers;
}

// Until the progress dialog appears, the windows behind it would still take clicks and keys and
// could reach what the worker is using; this holds back every input not meant for the dialog.
class InputHold : public QObject {
public:
    explicit InputHold(const QWidget* dialog) : m_dialog(dialog) { qApp->installEventFilter(this); }
    ~InputHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::Close: {
            if (const auto* widget = qobject_cast<const QWidget*>(target)) return widget->window() != m_dialog;
            // Input reaches a window's widgets through the window itself.
            const auto* window = qobject_cast<const QWindow*>(target);
            return !window || window != m_dialog->windowHandle();
        }
        default: return false;
        }
    }

private:
    const QWidget* m_dialog;
};

LongWait::DialogHook& dialogHook() {
    static LongWait::DialogHook hook;
    return hook;
}

// The progress dialog: the text says what is happening and is also the dialog's accessible name,
// so a screen reader announces it when it appears.
QDialog* makeProgressDialog(QWidget* parent, const QString& what) {
    auto* dialog = new QDialog(parent);
    dialog->setObjectName("longWaitDialog");
    dialog->setWindowTitle(QApplication::applicationDisplayName());
    dialog->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    dialog->setAccessibleName(what);
    dialog->setAccessibleDescription(what);

    auto* label = new QLabel(what, dialog);
    label->setObjectName("longWaitText");
    auto* bar = new QProgressBar(dialog);
    bar->setObjectName("longWaitProgress");
    bar->setRange(0, 0); // no measure of progress: a busy indicator
    bar->setTextVisible(false);
    label->setBuddy(bar);
    auto* note = new QLabel(dialog);
    note->setObjectName("longWaitNote");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(label);
    layout->addWidget(bar);
    layout->addWidget(note);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Cancel)->setFocus();
    return dialog;
}

} // namespace

void WaitNote::set(const QString& text) {
    const std::lock_guard lock(m_mutex);
    m_text = text;
    if (m_label)
        QMetaObject::invokeMethod(
            m_label, [label = m_label, text] { label->setText(text); }, Qt::QueuedConnection);
}

void WaitNote::attach(QLabel* label) {
    const std::lock_guard lock(m_mutex);
    m_label = label;
    label->setText(m_text);
}

void WaitNote::detach() {
    const std::lock_guard lock(m_mutex);
    m_label = nullptr;
}

bool LongWait::runWork(QWidget* parent, const QString& what, std::function<void()> work, const WaitOptions& options) {
    auto state = std::make_shared<WaitState>();
    QEventLoop loop;
    state->wakeUp = &loop;

    const std::unique_ptr<QDialog> dialog(makeProgressDialog(parent, what));
    bool cancelled = false;
    QObject::connect(dialog.get(), &QDialog::rejected, &loop, [&] {
        cancelled = true;
        if (options.onCancel) options.onCancel();
        loop.quit();
    });
    // The note is let go before the dialog goes, so a late worker never reaches its label.
    struct NoteAttachment {
        std::shared_ptr<WaitNote> note;
        ~NoteAttachment() {
            if (note) note->detach();
        }
    } attachment{options.note};
    if (options.note) options.note->attach(dialog->findChild<QLabel*>("longWaitNote"));
    const InputHold hold(dialog.get());
    QTimer showLater;
    showLater.setSingleShot(true);
    QObject::connect(&showLater, &QTimer::timeout, dialog.get(), &QDialog::open);
    showLater.start(ShowDelayMs);
    if (dialogHook()) dialogHook()(dialog.get());

    std::thread worker([state, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            // Nothing may escape a thread; the caller then sees no result.
        }
        const std::lock_guard lock(state->mutex);
        state->done = true;
        if (state->wakeUp) QMetaObject::invokeMethod(state->wakeUp, "quit", Qt::QueuedConnection);
    });

    {
        // A worker that finished before the loop runs has already posted its wake-up call,
        // which this loop then takes; one that is done already needs no loop at all.
        std::unique_lock lock(state->mutex);
        const bool alreadyDone = state->done;
        lock.unlock();
        if (!alreadyDone) loop.exec();
    }

    bool finished;
    {
        const std::lock_guard lock(state->mutex);
        state->wakeUp = nullptr;
        finished = state->done;
    }
    if (finished) worker.join();
    else abandonedWorkers().add(std::move(worker));
    return finished && !cancelled;
}

void LongWait::setDialogHook(DialogHook hook) { dialogHook() = std::move(hook); }

void LongWait::joinAbandoned() { abandonedWorkers().joinAll(); }

} // namespace brelmont::widgets
