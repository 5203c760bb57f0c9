#pragma once

#include <QString>

// Text in a workbook's cells follows the format's escape rule: a UTF-16 unit written as
// "_xHHHH_" (four hex digits) stands for that unit, so characters XML cannot carry (control
// characters, a carriage return that XML would turn into a line feed, U+FFFE, U+FFFF) travel
// that way, and text that merely looks like such an escape gets "_x005F_" (the '_') before
// it. Spreadsheets read and write cells the same way, so a workbook saved again by one
// comes back as it was.

// The cell text as written into the workbook.
QString WorkbookEscaped(const QString& text);

// The text a cell of a workbook holds.
QString WorkbookUnescaped(const QString& text);
