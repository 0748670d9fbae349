#include "runtime/ui/qtservices.h"

#include "runtime/commondialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QMessageBox>
#include <QMimeData>

namespace {

// The file dialog's columns in Chinese, as the rest of it: Qt writes sizes and dates in the
// system's locale and types in the system's language ("3 bytes", "Folder", "7 Dec").
class ChineseColumns : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        enum Column { Name, Size, Type, Modified };
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || index.column() == Name)
            return QIdentityProxyModel::data(index, role);
        const QLocale chinese(QLocale::Chinese, QLocale::China);
        const QFileInfo file = files->fileInfo(mapToSource(index));
        switch (index.column()) {
        case Size:
            return file.isDir() ? QString() : chinese.formattedDataSize(file.size());
        case Type:
            if (file.isDir())
                return QStringLiteral("文件夹");
            return file.suffix().isEmpty() ? QStringLiteral("文件")
                                           : file.suffix().toUpper() + QStringLiteral(" 文件");
        case Modified:
            return chinese.toString(file.lastModified(), QLocale::ShortFormat);
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }
};

} // namespace

bool QtServices::showFileDialog(CommonDialog& dialog, bool save)
{
    QFileDialog box(m_parent, dialog.DialogTitle);
    box.setProxyModel(new ChineseColumns(&box));
    box.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The window asks before a file is written over, knowing the file it saved itself. Qt's
    // dialogs have no read-only check box, so there is none to hide.
    box.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = NameFilters(dialog.Filter);
    box.setNameFilters(filters);
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= filters.size())
        box.selectNameFilter(filters[dialog.FilterIndex - 1]);
    // A name typed without an extension gets the one of the file type chosen.
    const auto suffixOf = [&dialog, filters](const QString& chosen) {
        return DefaultSuffix(dialog.Filter, int(filters.indexOf(chosen)) + 1);
    };
    if (save) {
        box.setDefaultSuffix(suffixOf(box.selectedNameFilter()));
        QObject::connect(&box, &QFileDialog::filterSelected, &box,
            [&box, suffixOf](const QString& chosen) { box.setDefaultSuffix(suffixOf(chosen)); });
    }
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

bool QtServices::QuestionBox(const QString& title, const QString& text)
{
    return QMessageBox::question(
               m_parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
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
