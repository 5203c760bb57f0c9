#pragma once

#include "persist/app_settings.h"

#include <QString>

class CMSFlexGrid;
class SpotList;

// The list-file object: reads and writes the settings file and the list file, and keeps the
// path of the list file last chosen in a dialog.
class CGridFile {
public:
    // Settings (default.ini). The column widths are the only values taken from the grid.
    void LoadSettings(const QString& iniPath, AppSettings* settings);
    void SaveSettings(const CMSFlexGrid& grid, const QString& iniPath, AppSettings* settings);

    // The list file. Results: 1 done, 0 cancelled or failed (a message has been shown).
    int SaveList(const SpotList& list, int askName);
    int LoadList(SpotList& list, int askName);
    QString GetPath() const { return m_strPath; }
    // A path brought back with the list (the recovery copy), not chosen in a dialog.
    void SetPath(const QString& path) { m_strPath = path; }

private:
    QString m_strPath;
};
