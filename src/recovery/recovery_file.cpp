#include "recovery/recovery_file.h"

#include "timecode/timecode_rate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString FORMAT_KEY = QStringLiteral("format");
const QString FORMAT_NAME = QStringLiteral("tarnwick-recovery-1");

QJsonArray RowCells(const ListRowText& row) {
    return QJsonArray{row.no, row.spNo, row.in, row.out, row.duration, row.remark};
}

bool RowFromCells(const QJsonValue& value, ListRowText* row) {
    const QJsonArray cells = value.toArray();
    if (!value.isArray() || cells.size() != LIST_COLS) {
        return false;
    }
    for (const QJsonValue& cell : cells) {
        if (!cell.isString()) {
            return false;
        }
    }
    *row = ListRowText{cells[COL_NO].toString(),       cells[COL_SPNO].toString(),
                       cells[COL_IN].toString(),       cells[COL_OUT].toString(),
                       cells[COL_DURATION].toString(), cells[COL_REMARK].toString()};
    return true;
}

} // namespace

bool RecoveryState::operator==(const RecoveryState& other) const {
    return listPath == other.listPath && modified == other.modified && fps == other.fps &&
           rows == other.rows;
}

QByteArray BuildRecoveryFile(const RecoveryState& state) {
    QJsonArray rows;
    for (const ListRowText& row : state.rows) {
        rows.append(RowCells(row));
    }
    QJsonObject copy{{FORMAT_KEY, FORMAT_NAME},
                     {QStringLiteral("path"), state.listPath},
                     {QStringLiteral("modified"), state.modified},
                     {QStringLiteral("rows"), rows}};
    // A copy of a 30-frame list reads as ever; another rate is said.
    if (state.fps != 30) {
        copy.insert(QStringLiteral("frameRate"), state.fps);
    }
    return QJsonDocument(copy).toJson(QJsonDocument::Indented);
}

bool ParseRecoveryFile(const QByteArray& bytes, RecoveryState* state) {
    if (bytes.size() > MAX_RECOVERY_BYTES) {
        return false;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QJsonObject copy = document.object();
    const QJsonValue path = copy.value(QStringLiteral("path"));
    const QJsonValue modified = copy.value(QStringLiteral("modified"));
    const QJsonArray rows = copy.value(QStringLiteral("rows")).toArray();
    if (error.error != QJsonParseError::NoError || !document.isObject() ||
        copy.value(FORMAT_KEY).toString() != FORMAT_NAME || !path.isString() ||
        !modified.isBool() || rows.isEmpty() || rows.size() > MAX_LIST_ROWS) {
        return false;
    }
    RecoveryState read;
    read.listPath = path.toString();
    read.modified = modified.toBool();
    const int fps = copy.value(QStringLiteral("frameRate")).toInt(30);
    if (!IsListFrameRate(fps)) {
        return false; // a rate no list counts at: this program wrote no such copy
    }
    read.fps = fps;
    for (const QJsonValue& value : rows) {
        ListRowText row;
        if (!RowFromCells(value, &row)) {
            return false;
        }
        read.rows.append(row);
    }
    *state = read;
    return true;
}
