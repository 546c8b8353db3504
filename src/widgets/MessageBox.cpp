#include "widgets/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>

namespace brelmont::widgets {

namespace {

MessageBox::Presenter& presenter() {
    static MessageBox::Presenter p;
    return p;
}

MessageBox::Confirmer& confirmer() {
    static MessageBox::Confirmer c;
    return c;
}

void present(QString text, QString details, bool information) {
    // Some of the program's texts end their lines as a terminal does; a window shows a CR as a
    // stray mark.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    details.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (presenter()) {
        presenter()(text, details, information);
        return;
    }
    QMessageBox box(information ? QMessageBox::Information : QMessageBox::Warning, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setDetailedText(details);
    box.exec();
}

} // namespace

void MessageBox::show(const QString& text, const QString& details) {
    QMetaObject::invokeMethod(
        qApp, [text, details] { present(text, details, false); }, Qt::QueuedConnection);
}

void MessageBox::inform(const QString& text, const QString& details) {
    QMetaObject::invokeMethod(
        qApp, [text, details] { present(text, details, true); }, Qt::QueuedConnection);
}

void MessageBox::showSettingsFailure(const QString& why, const QString& details) {
    const QString text = QCoreApplication::translate("MessageBox", SettingsFailureText);
    show(why.isEmpty() ? text : text + QStringLiteral("\n\n") + why, details);
}

void MessageBox::setPresenter(Presenter p) { presenter() = std::move(p); }

bool MessageBox::confirm(const QString& text, const QString& yes) {
    if (confirmer()) return confirmer()(text);
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QPushButton* agree = box.addButton(yes, QMessageBox::AcceptRole);
    box.setDefaultButton(box.addButton(QMessageBox::Cancel)); // Enter alone does not agree
    box.exec();
    return box.clickedButton() == agree;
}

void MessageBox::setConfirmer(Confirmer c) { confirmer() = std::move(c); }

} // namespace brelmont::widgets
