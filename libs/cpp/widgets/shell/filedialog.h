#pragma once

#include <QFileDialog>

namespace QMWidgets {

// The shell's file choices. With a parent the dialog is built as the parent's
// child (modal to it, styled by the application style sheet) and the
// selected-filter pointer is left untouched; without a parent Qt's static
// functions are used. A cancelled dialog gives an empty result.
class FileDialog : public QFileDialog
{
    Q_OBJECT

public:
    using QFileDialog::QFileDialog;

    // One existing file, or "".
    static QString getOpenFileName(QWidget *parent = nullptr, const QString &caption = QString(),
                                   const QString &dir = QString(), const QString &filter = QString(),
                                   QString *selectedFilter = nullptr,
                                   QFileDialog::Options options = QFileDialog::Options());
    // Existing files in the dialog's order, or an empty list.
    static QStringList getOpenFileNames(QWidget *parent = nullptr, const QString &caption = QString(),
                                        const QString &dir = QString(), const QString &filter = QString(),
                                        QString *selectedFilter = nullptr,
                                        QFileDialog::Options options = QFileDialog::Options());
    // A file name to save under, exactly as chosen (no extension added), or "".
    // With a parent, an existing file is replaced only once confirmReplace()
    // said yes (unless the options hold DontConfirmOverwrite); "No" returns to
    // the dialog to choose another name.
    static QString getSaveFileName(QWidget *parent = nullptr, const QString &caption = QString(),
                                   const QString &dir = QString(), const QString &filter = QString(),
                                   QString *selectedFilter = nullptr,
                                   QFileDialog::Options options = QFileDialog::Options());

    // Asks in the shell's message box whether the existing file may be
    // replaced. True for "Yes"; false for "No", a closed box, or a parent
    // destroyed while the question is open.
    static bool confirmReplace(QWidget *parent, const QString &title, const QString &fileName);
};

} // namespace QMWidgets
