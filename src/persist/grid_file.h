#pragma once

#include "persist/app_settings.h"
#include "persist/list_line.h"

#include <QString>
#include <QVector>

class CMSFlexGrid;

// The data rows of the list as the grid holds them, for the file writer and the printer.
QVector<ListRowText> ReadListRows(const CMSFlexGrid& grid);

// The list-file object: reads and writes the settings file and the list file.
class CGridFile {
public:
    // Settings (default.ini).
    void LoadSettings(const QString& iniPath, AppSettings* settings);
    void SaveSettings(CMSFlexGrid& grid, const QString& iniPath, AppSettings* settings);

    // The list file. Results: 1 done, 0 cancelled or failed (a message has been shown).
    int SaveList(CMSFlexGrid& grid, int askName);
    int LoadList(CMSFlexGrid& grid, int askName);
    QString GetPath() const { return m_strPath; }

private:
    QString m_strPath;
};
