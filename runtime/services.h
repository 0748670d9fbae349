#pragma once

#include <QString>
#include <QStringList>

struct CommonDialog;

// Everything that would block on the user or reach outside the window: the modal
// dialogs, the input box, the clipboard and the list of screen fonts. The window
// talks only to this interface, so tests can script every answer.
class Services
{
public:
    virtual ~Services() = default;

    // Show the dialog modally. On confirmation FileName and FilterIndex take the
    // user's choice and the result is true; on cancel the dialog is left as it was.
    virtual bool ShowOpen(CommonDialog& dialog) = 0;
    virtual bool ShowSave(CommonDialog& dialog) = 0;

    // The entered text, or an empty text when the user cancels.
    virtual QString InputBox(
        const QString& prompt, const QString& title, const QString& defaultText)
        = 0;

    virtual void WarningBox(const QString& title, const QString& text) = 0;
    // A question answered "是" (true) or "否" (false); "否" is the default and Escape's answer.
    virtual bool QuestionBox(const QString& title, const QString& text) = 0;

    virtual void ClipboardClear() = 0;
    virtual void ClipboardSetText(const QString& text) = 0;
    virtual QString ClipboardText() = 0;
    virtual bool ClipboardHasText() = 0;

    virtual QStringList ScreenFonts() = 0;
    virtual void DoEvents() = 0;
};
