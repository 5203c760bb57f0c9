#pragma once

#include "persist/list_line.h"

// A full row numbered n, as captures leave it, with the given remark cell.
inline ListRowText FullRow(int n, const QString& remark) {
    const QString num = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
    return {num,
            num,
            QStringLiteral("00:59:50:00"),
            QStringLiteral("01:00:20:00"),
            QStringLiteral("00:00:30:00"),
            remark};
}
