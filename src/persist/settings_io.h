#pragma once

#include "persist/app_settings.h"

#include <QString>

// Reading and writing the settings record, without the grid: the list-file object passes
// the column widths the window gives it.

// Fills every stored field of the record from section "Default" of the file; a missing file
// or key gives the key's default. Values are not checked: the owners of the fields decide
// what to do with values the menus never produce.
void LoadAppSettings(const QString& iniPath, AppSettings* settings);

// Stores the six column widths (twips) in the record, each raised to
// SETTINGS_MIN_COLUMN_WIDTH when narrower, then writes every key of the record, in the
// order of a new file, with one replacement of the file. Returns true when it was written.
bool SaveAppSettings(const QString& iniPath, AppSettings* settings, const int widths[LIST_COLS]);

// Writes the Language key alone, with one replacement of the file, so that a language chosen
// in the window survives a crash. Returns true when it was written.
bool SaveLanguageSetting(const QString& iniPath, const QString& language);
