#pragma once

#include "list/list_layout.h"
#include "persist/list_file.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The recovery copy: what an unsaved list needs to come back after a crash, a kill or a
// power cut. It lives in the working folder beside default.ini; the leading dot keeps it out
// of the list file dialogs.
constexpr char RECOVERY_FILE_NAME[] = ".tarnwick-recovery";

// The largest copy read back: the list read from the largest list file whose every byte is a
// control character, which the copy writes as six ("\u0001"), with room for the framing.
// Nothing larger is a copy this program wrote.
constexpr qint64 MAX_RECOVERY_BYTES = 6 * MAX_LIST_FILE_BYTES + 64 * 1024;

struct RecoveryState {
    QVector<ListRowText> rows; // rows[0] is row 1, as the grid shows them
    QString listPath;          // the list file's path; empty before the list has one
    bool modified = false;
    int fps = 30; // the list's frame rate

    bool operator==(const RecoveryState& other) const;
};

// UTF-8 JSON, so that every character of every cell survives whole, also those the list
// file's code page cannot hold.
QByteArray BuildRecoveryFile(const RecoveryState& state);

// False, leaving *state alone, for anything that is not a whole copy this program wrote:
// another format, a cut-off file, 0 or more than MAX_LIST_ROWS rows, a row without its six
// cells, more than MAX_RECOVERY_BYTES.
bool ParseRecoveryFile(const QByteArray& bytes, RecoveryState* state);
