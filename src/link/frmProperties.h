#pragma once
// The port properties dialog: port, speed, data bits and parity.

#include <QDialog>

namespace qpes {

class frmProperties : public QDialog {
    Q_OBJECT
public:
    explicit frmProperties(QWidget* parent = nullptr);
};

} // namespace qpes
