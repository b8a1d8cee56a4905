#include "FrmInfo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace vm::app {

QString VersionText(int major, int minor, int revision) {
    const QString rev = revision == 0 ? QStringLiteral("0") : QStringLiteral("Beta%1").arg(revision);
    return QStringLiteral("Rev. %1.%2.%3").arg(major).arg(minor).arg(rev);
}

FrmInfo::FrmInfo(const QString& title, const QString& version, QWidget* parent) : QDialog(parent) {
    setObjectName("FrmInfo");
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(title, this);
    name->setObjectName("lblTitle");
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    name->setFont(big);
    auto* rev = new QLabel(version, this);
    rev->setObjectName("lblVersion");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    layout->addWidget(rev, 0, Qt::AlignHCenter);
    layout->addWidget(buttons);
}

} // namespace vm::app
