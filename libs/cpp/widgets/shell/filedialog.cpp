#include "filedialog.h"

#include "mmessagebox.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

namespace QMWidgets {

namespace {

// Runs a modal file dialog as the parent's child and returns the selected
// files when it was accepted. The dialog lives on the heap behind a guard:
// a parent destroyed while it runs takes the dialog with it, and the dialog
// must then not be destroyed a second time. Qt's own overwrite question is a
// box on the stack, parented to the dialog, which such a parent would destroy
// twice; the question is asked here instead, through the guarded message box.
QStringList runDialog(QWidget *parent, const QString &caption, const QString &dir,
                      const QString &filter, QFileDialog::FileMode mode, bool save,
                      QFileDialog::Options options)
{
    QPointer<QFileDialog> dialog = new QFileDialog(parent, caption, dir, filter);
    dialog->setFileMode(mode);
    const bool confirm = save && !options.testFlag(QFileDialog::DontConfirmOverwrite);
    if (save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        options |= QFileDialog::DontConfirmOverwrite;
    }
    dialog->setOptions(options);
    QStringList files;
    for (;;) {
        const int result = dialog->exec();
        if (!dialog || result != QDialog::Accepted)
            break;
        const QStringList chosen = dialog->selectedFiles();
        // Asked about an existing file only, as Qt does; a folder is none to replace.
        const QFileInfo info(chosen.value(0));
        if (!confirm || !info.exists() || info.isDir()
            || FileDialog::confirmReplace(parent, dialog->windowTitle(), info.filePath())) {
            files = chosen;
            break;
        }
        // "No": back to the dialog for another name, unless the parent went.
        if (!dialog)
            break;
    }
    delete dialog.data();
    return files;
}

QString firstOf(const QStringList &files)
{
    return files.isEmpty() ? QString() : files.first();
}

} // namespace

QString FileDialog::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter, QString *selectedFilter,
                                    QFileDialog::Options options)
{
    if (!parent)
        return QFileDialog::getOpenFileName(nullptr, caption, dir, filter, selectedFilter, options);
    return firstOf(runDialog(parent, caption, dir, filter, QFileDialog::ExistingFile, false, options));
}

QStringList FileDialog::getOpenFileNames(QWidget *parent, const QString &caption, const QString &dir,
                                         const QString &filter, QString *selectedFilter,
                                         QFileDialog::Options options)
{
    if (!parent)
        return QFileDialog::getOpenFileNames(nullptr, caption, dir, filter, selectedFilter, options);
    return runDialog(parent, caption, dir, filter, QFileDialog::ExistingFiles, false, options);
}

QString FileDialog::getSaveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter, QString *selectedFilter,
                                    QFileDialog::Options options)
{
    if (!parent)
        return QFileDialog::getSaveFileName(nullptr, caption, dir, filter, selectedFilter, options);
    return firstOf(runDialog(parent, caption, dir, filter, QFileDialog::AnyFile, true, options));
}

bool FileDialog::confirmReplace(QWidget *parent, const QString &title, const QString &fileName)
{
    const QString text = tr("%1 already exists.<BR>Do you want to replace it?")
                             .arg(QFileInfo(fileName).fileName().toHtmlEscaped());
    return MMessageBox::warning(parent, title, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace QMWidgets
