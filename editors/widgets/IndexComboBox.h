#pragma once
// A combo box whose value is the position of the chosen entry (-1 = none).

#include <QComboBox>

namespace vm::editors {

class IndexComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(int position READ currentIndex WRITE setCurrentIndex NOTIFY positionChanged USER true)
public:
    explicit IndexComboBox(QWidget* parent = nullptr) : QComboBox(parent) {
        connect(this, &QComboBox::currentIndexChanged, this, &IndexComboBox::positionChanged);
    }

signals:
    void positionChanged(int position);
};

} // namespace vm::editors
