// Long device exchanges off the window thread: the call runs on a worker thread while a modal
// progress dialog says what is happening and offers Cancel. The caller gets the result back on
// the main thread, or nothing when the user cancelled; a cancelled call's result is dropped.
#pragma once

#include <QString>

#include <mutex>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QLabel;
class QWidget;

namespace brelmont::widgets {

// A line that the work adds below the dialog's text while it runs ("Step 2 of 4: versions"),
// safe to set from the worker thread.
class WaitNote {
public:
    void set(const QString& text);

private:
    friend class LongWait;
    void attach(QLabel* label);
    void detach();

    std::mutex m_mutex;
    QString m_text;
    QLabel* m_label = nullptr;
};

// What a caller may add to a wait.
struct WaitOptions {
    // Called on the window thread when the user cancels, before the dialog closes: it must stop
    // the work itself (end the helper process), not only stop waiting for it.
    std::function<void()> onCancel;
    std::shared_ptr<WaitNote> note;
};

class LongWait {
public:
    // How long a call may take before the progress dialog appears, so quick answers do not flash.
    static constexpr int ShowDelayMs = 300;

    // Runs `work` on a worker thread and waits, keeping the windows alive, until it returns or the
    // user cancels. `what` names the wait ("Reading settings from the embosser…"). Everything
    // `work` touches must stay valid after a cancel: capture shared state, never widgets.
    // A call that ends in an exception gives the empty result (false, an empty list), so the
    // caller reports a failure instead of closing as if the user had cancelled.
    template <class Result>
    static std::optional<Result> run(QWidget* parent, const QString& what, std::function<Result()> work,
                                     const WaitOptions& options = {}) {
        auto result = std::make_shared<std::optional<Result>>();
        const bool finished = runWork(
            parent, what,
            [result, work = std::move(work)] {
                try {
                    *result = work();
                } catch (...) { *result = Result{}; }
            },
            options);
        if (!finished) return std::nullopt;
        return std::move(*result);
    }

    // The same for a call without a result: true when it finished, false when cancelled.
    static bool runWork(QWidget* parent, const QString& what, std::function<void()> work, const WaitOptions& options = {});

    // Lets a test stand in for the user: called with the progress dialog as soon as it is made
    // (before it is shown). An empty function restores the default.
    using DialogHook = std::function<void(QWidget* dialog)>;
    static void setDialogHook(DialogHook hook);

    // Waits for the workers of cancelled calls; callable from any thread, a worker included. The
    // program does this once more at exit, so no worker outlives what it uses.
    static void joinAbandoned();
};

} // namespace brelmont::widgets
