#pragma once

#include "list/list_layout.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The recovery copy: what an unsaved list needs to come back after a crash, a kill or a
// power cut. It lives in the working folder beside default.ini; the leading dot keeps it out
// of the list file dialogs.
constexpr char RECOVERY_FILE_NAME[] = ".tarnwick-recovery";

struct RecoveryState {
    QVector<ListRowText> rows; // rows[0] is row 1, as the grid shows them
    QString listPath;          // the list file's path; empty before the list has one
    bool modified = false;

    bool operator==(const RecoveryState& other) const;
};

// UTF-8 JSON, so that every character of every cell survives whole, also those the list
// file's code page cannot hold.
QByteArray BuildRecoveryFile(const RecoveryState& state);

// False, leaving *state alone, for anything that is not a whole copy this program wrote:
// another format, a cut-off file, 0 or more than MAX_LIST_ROWS rows, a row without its six
// cells.
bool ParseRecoveryFile(const QByteArray& bytes, RecoveryState* state);
