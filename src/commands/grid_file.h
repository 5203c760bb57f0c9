#pragma once

#include "persist/app_settings.h"

#include <QString>
#include <QVector>

class SpotList;

// The list-file object: reads and writes the settings file and the list file, asking for file
// names and reporting failures in boxes, and keeps the path of the list's file: the one place
// it is known. A list with a path is saved there without a question; one without asks.
class CGridFile {
public:
    // Settings (default.ini). The column widths (twips) are the only values the window gives.
    void LoadSettings(const QString& iniPath, AppSettings* settings);
    void SaveSettings(const QVector<int>& widths, const QString& iniPath, AppSettings* settings);

    // The list file. Results: 1 done, 0 cancelled or failed (a message has been shown).
    int SaveList(const SpotList& list, int askName);
    int LoadList(SpotList& list, int askName);
    QString GetPath() const { return m_strPath; }
    // A path brought back with the list (the recovery copy), or none for a list that came
    // from another program.
    void SetPath(const QString& path) { m_strPath = path; }

private:
    QString m_strPath;
};
