#pragma once

#include <QLabel>

namespace QMWidgets {

// A frameless, half-transparent, always-on-top window that shows a text and
// the shell's loading animation above it. The animation label and its movie
// belong to the wait label. A missing animation leaves an empty spot.
class WaitLabel : public QLabel
{
    Q_OBJECT

public:
    explicit WaitLabel(const QString &text, QWidget *parent = nullptr);
};

} // namespace QMWidgets
