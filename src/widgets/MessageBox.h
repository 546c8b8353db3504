// Alerts with a fixed text, safe to request from any thread: the alert is posted to the main
// thread and run modally there. The text says what happened in words; the technical part of why
// (a helper's message, an address, an error number) waits behind the alert's Details button.
#pragma once

#include <QCoreApplication>
#include <QString>

#include <functional>

namespace brelmont::widgets {

class MessageBox {
public:
    static constexpr const char* SettingsFailureText =
        QT_TRANSLATE_NOOP("MessageBox", "Failed to retrieve the settings from the embosser. Please try again.");

    // What went wrong, or needs the person's attention: the warning icon.
    static void show(const QString& text, const QString& details = {});
    // What was done as asked: the information icon.
    static void inform(const QString& text, const QString& details = {});
    // The settings failure, with why it happened on a line of its own when that is known.
    static void showSettingsFailure(const QString& why = {}, const QString& details = {});

    // Asks before something the person may not mean (on the window thread); true when they agree
    // to `yes`.
    static bool confirm(const QString& text, const QString& yes);
    // Replaces the question (tests answer it instead); an empty function restores it.
    using Confirmer = std::function<bool(const QString& text)>;
    static void setConfirmer(Confirmer confirmer);

    // Replaces the modal alert (tests record the texts instead); an empty function restores it.
    // `information` is true for inform(), false for show().
    using Presenter = std::function<void(const QString& text, const QString& details, bool information)>;
    static void setPresenter(Presenter presenter);
};

} // namespace brelmont::widgets
