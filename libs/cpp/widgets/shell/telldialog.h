#pragma once

#include <QDialog>

namespace QMWidgets {

// The sharing panel in a modal dialog with a request to share and a
// "&Close" button. Made on the heap or the stack and run with exec().
class TellDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TellDialog(QWidget *parent = nullptr);
};

} // namespace QMWidgets
