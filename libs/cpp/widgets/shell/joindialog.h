#pragma once

#include <QDialog>

namespace QMWidgets {

// The following panel in a modal dialog with a "&Close" button. Made on the
// heap or the stack and run with exec().
class JoinDialog : public QDialog
{
    Q_OBJECT

public:
    explicit JoinDialog(QWidget *parent = nullptr);
};

} // namespace QMWidgets
