#pragma once

#include <QString>
#include <QtGlobal>

// A byte or character count as text in steps of 1024: "0 B", "1023 B",
// "1 KB", "1023 KB", "1 MB" ... up to "TB", which takes whatever is left.
// Whole numbers only, remainders dropped; negative counts stay in "B".
QString formatByteSize(qint64 count);
