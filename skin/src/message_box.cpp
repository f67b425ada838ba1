#include "skin/message_box.h"

#include "skin/window_placement.h"

#include <QMessageBox>
#include <QPointer>
#include <QShowEvent>

namespace {

MessageBoxHook& hook()
{
    static MessageBoxHook h;
    return h;
}

MessageBoxStrings& strings()
{
    static MessageBoxStrings s;
    return s;
}

QString lookUp(int id)
{
    return strings() ? strings()(id) : QString();
}

QPointer<QWidget>& parentWindow()
{
    static QPointer<QWidget> p;
    return p;
}

// A box that opens over its parent while that is shown, else in the middle
// of the screen (a box of the start-up comes before the main window shows).
class PlacedMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* e) override
    {
        QMessageBox::showEvent(e); // lays the box out at its final size
        if (!e->spontaneous())
            skin::CentreWindow(*this, parentWidget());
    }
};

int show(const MessageBoxRequest& request)
{
    if (hook())
        return hook()(request);
    // A hidden main window (the start-up before it shows) is no place to
    // open over, nor a window the box could stay in front of.
    QWidget* parent = parentWindow();
    PlacedMessageBox box(parent != nullptr && parent->isVisible() ? parent : nullptr);
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    switch (request.type & 0xF0) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::Warning); break;
    }
    switch (request.type & 0x0F) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL_ANSWER;
    case QMessageBox::Yes: return IDYES_ANSWER;
    case QMessageBox::No: return IDNO_ANSWER;
    default: return IDOK_ANSWER;
    }
}

} // namespace

void SetMessageBoxHook(MessageBoxHook h) { hook() = std::move(h); }

void SetMessageBoxStrings(MessageBoxStrings lookup) { strings() = std::move(lookup); }

void SetMessageBoxParent(QWidget* parent) { parentWindow() = parent; }

QWidget* MessageBoxParent() { return parentWindow(); }

int ShowMessageBox(MessageBoxRequest request)
{
    if (request.caption.isEmpty())
        request.caption = lookUp(kAppTitleStringId);
    return show(request);
}

int AfxMessageBox(const QString& text, int type, const QString& caption)
{
    return show({text, caption.isEmpty() ? lookUp(kAppTitleStringId) : caption, type, 0});
}

int AfxMessageBox(int stringId, int type)
{
    QString text = lookUp(stringId);
    if (text.isEmpty())
        text = QString::number(stringId);
    return show({text, lookUp(kAppTitleStringId), type, stringId});
}
