// Message boxes of both programs. Every box goes through AfxMessageBox, so
// that tests can answer and record them (SetMessageBoxHook). Each program
// gives its own string table (SetMessageBoxStrings).
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Button sets and answers, with the values of the original.
inline constexpr int MB_OK = 0x0;
inline constexpr int MB_OKCANCEL = 0x1;
inline constexpr int MB_YESNOCANCEL = 0x3;
inline constexpr int MB_YESNO = 0x4;
inline constexpr int MB_ICONSTOP = 0x10;
inline constexpr int MB_ICONQUESTION = 0x20;
inline constexpr int MB_ICONEXCLAMATION = 0x30;
inline constexpr int MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK_ANSWER = 1;
inline constexpr int IDCANCEL_ANSWER = 2;
inline constexpr int IDYES_ANSWER = 6;
inline constexpr int IDNO_ANSWER = 7;

struct MessageBoxRequest {
    QString text;
    QString caption;
    int type = MB_OK;
    int stringId = 0; // the string id the text came from, 0 for a plain text
};

// A hook answers in place of the box (return the button pressed).
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);

// The program's string lookup: the text of a string id, empty when none.
// The caption of every box is the text of kAppTitleStringId.
using MessageBoxStrings = std::function<QString(int stringId)>;
void SetMessageBoxStrings(MessageBoxStrings lookup);
inline constexpr int kAppTitleStringId = 57344;

// Shows a prepared request (an empty caption takes the program's title).
int ShowMessageBox(MessageBoxRequest request);

// Shows text with the program's title as caption (or the given caption).
int AfxMessageBox(const QString& text, int type = MB_OK, const QString& caption = {});
// Shows a string-table text; an id without text shows the id's number.
int AfxMessageBox(int stringId, int type = MB_OK);

// The parent window of message boxes (the main frame once it exists); the
// dialogs whose own parent is not shown open over it too (CDialog).
void SetMessageBoxParent(QWidget* parent);
QWidget* MessageBoxParent();
