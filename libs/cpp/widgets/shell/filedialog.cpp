#include "filedialog.h"

#include <QPointer>

namespace QMWidgets {

namespace {

// Runs a modal file dialog as the parent's child and returns the selected
// files when it was accepted. The dialog lives on the heap behind a guard:
// a parent destroyed while it runs takes the dialog with it, and the dialog
// must then not be destroyed a second time.
QStringList runDialog(QWidget *parent, const QString &caption, const QString &dir,
                      const QString &filter, QFileDialog::FileMode mode, bool save,
                      QFileDialog::Options options)
{
    QPointer<QFileDialog> dialog = new QFileDialog(parent, caption, dir, filter);
    dialog->setFileMode(mode);
    if (save)
        dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setOptions(options);
    const int result = dialog->exec();
    QStringList files;
    if (dialog) {
        if (result == QDialog::Accepted)
            files = dialog->selectedFiles();
        delete dialog.data();
    }
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

} // namespace QMWidgets
