#include "app/about_dlg.h"

#include "app/dialog_units.h"
#include "app/resource.h"

#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>

namespace {
QFont AboutFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    font.setPointSize(9);
    return font;
}
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(AboutFont());
    setWindowTitle(QCoreApplication::translate("CAboutDlg", "バージョン情報"));
    const DialogBaseUnits base = DialogBaseUnitsOf(font());

    auto* icon = new QLabel(this);
    const QRect iconRect = MapDialogRect(base, 11, 17, 20, 20);
    icon->setGeometry(iconRect.topLeft().x(), iconRect.y(), 32, 32);
    icon->setPixmap(QIcon(QStringLiteral(":/res/tarnwick.xpm")).pixmap(32, 32));

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("IDC_ABOUT_TITLE"));
    m_title->setTextFormat(Qt::PlainText); // no prefix processing
    m_title->setGeometry(MapDialogRect(base, 39, 5, 119, 8));

    auto* version = new QLabel(QCoreApplication::translate("CAboutDlg", "バージョン１．２a"), this);
    version->setGeometry(MapDialogRect(base, 39, 17, 119, 7));

    const QRect box = MapDialogRect(base, 0, 0, 163, 59);
    setFixedSize(box.width(), box.height());
    OnInitDialog();
}

bool CAboutDlg::OnInitDialog() {
    m_title->setText(QStringLiteral("Tarnwick"));
    return true;
}

void CAboutDlg::keyPressEvent(QKeyEvent* e) {
    // The box has no button: Enter closes it as Esc does.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(e);
}
