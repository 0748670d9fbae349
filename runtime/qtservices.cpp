#include "runtime/qtservices.h"

#include "runtime/commondialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFontDatabase>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>

bool QtServices::showFileDialog(CommonDialog& dialog, bool save)
{
    QFileDialog box(m_parent, dialog.DialogTitle);
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Saving over an existing file asks nothing, as the window never did. Qt's dialogs have
    // no read-only check box, so there is none to hide.
    box.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = NameFilters(dialog.Filter);
    box.setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        box.selectNameFilter(filters[dialog.FilterIndex - 1]);
    if (!dialog.FileName.isEmpty())
        box.selectFile(dialog.FileName);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return false;
    dialog.FileName = box.selectedFiles().constFirst();
    const qsizetype chosen = filters.indexOf(box.selectedNameFilter());
    if (chosen >= 0)
        dialog.FilterIndex = int(chosen) + 1;
    return true;
}

bool QtServices::ShowOpen(CommonDialog& dialog)
{
    return showFileDialog(dialog, false);
}

bool QtServices::ShowSave(CommonDialog& dialog)
{
    return showFileDialog(dialog, true);
}

QString QtServices::InputBox(
    const QString& prompt, const QString& title, const QString& defaultText)
{
    bool ok = false;
    const QString reply
        = QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? reply : QString();
}

void QtServices::WarningBox(const QString& title, const QString& text)
{
    QMessageBox::warning(m_parent, title, text);
}

void QtServices::ClipboardClear()
{
    QGuiApplication::clipboard()->clear();
}

void QtServices::ClipboardSetText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

QString QtServices::ClipboardText()
{
    return QGuiApplication::clipboard()->text();
}

bool QtServices::ClipboardHasText()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

QStringList QtServices::ScreenFonts()
{
    return QFontDatabase::families();
}

void QtServices::DoEvents()
{
    QCoreApplication::processEvents();
}
