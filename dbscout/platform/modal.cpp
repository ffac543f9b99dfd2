#include "platform/modal.h"

#include "resources/strings.h"

#include <QDialog>
#include <QWindow>

namespace Dbscout {

namespace {
ModalUi* g_installed = nullptr;
}

ModalUi::~ModalUi() = default;

QMessageBox::StandardButton ModalUi::messageBox(QWidget* owner, QMessageBox::Icon icon,
                                                const QString& caption, const QString& text,
                                                QMessageBox::StandardButtons buttons)
{
    // The box belongs to the owner's window without being its child: a box that opens while the
    // host is still showing its window must not change the child lists Qt is walking.
    QMessageBox box(icon, caption, text, buttons);
    box.setWindowModality(Qt::ApplicationModal);
    if (owner && owner->window()->windowHandle()) {
        box.winId();
        box.windowHandle()->setTransientParent(owner->window()->windowHandle());
    }
    return QMessageBox::StandardButton(box.exec());
}

int ModalUi::exec(QDialog* dialog)
{
    return dialog->exec();
}

ModalUi& ModalUi::current()
{
    static ModalUi standard;
    return g_installed ? *g_installed : standard;
}

void ModalUi::install(ModalUi* ui)
{
    g_installed = ui;
}

void ShowError(QWidget* owner, std::string& text, const char* caption)
{
    const auto isTrimmed = [](char c) { return c == ' ' || c == '"'; };
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    text = text.substr(begin, end - begin);
    const std::string title = caption ? std::string(caption) : LoadString(IDS_DBSCOUT_ERROR);
    ModalUi::current().messageBox(owner, QMessageBox::Critical, QString::fromLocal8Bit(title),
                                  QString::fromLocal8Bit(text), QMessageBox::Ok);
}

} // namespace Dbscout
