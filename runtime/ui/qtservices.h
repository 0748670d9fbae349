#pragma once

#include "runtime/services.h"

class QWidget;

// The services as the desktop provides them: Qt's dialogs, clipboard and font
// database. Dialogs are parented to the given window.
class QtServices : public Services
{
public:
    void SetDialogParent(QWidget* parent) { m_parent = parent; }

    bool ShowOpen(CommonDialog& dialog) override;
    bool ShowSave(CommonDialog& dialog) override;
    QString InputBox(
        const QString& prompt, const QString& title, const QString& defaultText) override;
    void WarningBox(const QString& title, const QString& text) override;
    bool QuestionBox(const QString& title, const QString& text) override;
    void ClipboardClear() override;
    void ClipboardSetText(const QString& text) override;
    QString ClipboardText() override;
    bool ClipboardHasText() override;
    QStringList ScreenFonts() override;
    void DoEvents() override;

private:
    bool showFileDialog(CommonDialog& dialog, bool save);

    QWidget* m_parent = nullptr;
};
