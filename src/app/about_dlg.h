#pragma once

#include <QDialog>

class QLabel;

// The version box: the icon, the program's name and its version.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    void DoDataExchange() {}
    bool OnInitDialog();
    QLabel* Title() const { return m_title; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QLabel* m_title = nullptr;
};
