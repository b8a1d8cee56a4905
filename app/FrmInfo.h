#pragma once
// The information window: the program's title and its version.

#include <QDialog>

namespace vm::app {

// "Rev. 1.2.0"; a revision other than 0 is a beta: version 0.0.14 reads "Rev. 0.0.Beta14".
QString VersionText(int major, int minor, int revision);

class FrmInfo : public QDialog {
    Q_OBJECT
public:
    FrmInfo(const QString& title, const QString& version, QWidget* parent);
};

} // namespace vm::app
