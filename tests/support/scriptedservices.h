#pragma once

#include "runtime/commondialog.h"
#include "runtime/services.h"

#include <QQueue>
#include <optional>

// Services answering what a test wrote down in advance, never blocking, recording every question.
class ScriptedServices : public Services
{
public:
    // Replies of the file dialogs: a path to choose, or nullopt to cancel.
    QQueue<std::optional<QString>> openReplies, saveReplies;
    QList<CommonDialog> dialogsShown;

    QQueue<QString> inputReplies; // an empty reply is a cancel
    QStringList prompts; // the default text each prompt offered

    QList<std::pair<QString, QString>> warnings;
    QQueue<bool> questionReplies; // none left: "否"
    QList<std::pair<QString, QString>> questions;

    // The clipboard: text, or something that is not text.
    std::optional<QString> clipboardText;

    QStringList fonts;

    bool ShowOpen(CommonDialog& dialog) override { return answer(openReplies, dialog); }
    bool ShowSave(CommonDialog& dialog) override { return answer(saveReplies, dialog); }

    QString InputBox(const QString&, const QString&, const QString& defaultText) override
    {
        prompts.append(defaultText);
        return inputReplies.isEmpty() ? QString() : inputReplies.dequeue();
    }

    void WarningBox(const QString& title, const QString& text) override
    {
        warnings.append({title, text});
    }

    bool QuestionBox(const QString& title, const QString& text) override
    {
        questions.append({title, text});
        return !questionReplies.isEmpty() && questionReplies.dequeue();
    }

    void ClipboardClear() override { clipboardText.reset(); }
    void ClipboardSetText(const QString& text) override { clipboardText = text; }
    QString ClipboardText() override { return clipboardText.value_or(QString()); }
    bool ClipboardHasText() override { return clipboardText.has_value(); }

    QStringList ScreenFonts() override { return fonts; }
    void DoEvents() override { }

private:
    bool answer(QQueue<std::optional<QString>>& replies, CommonDialog& dialog)
    {
        dialogsShown.append(dialog);
        const std::optional<QString> reply = replies.isEmpty() ? std::nullopt : replies.dequeue();
        dialog.FileName = reply.value_or(dialog.FileName);
        return reply.has_value();
    }
};
