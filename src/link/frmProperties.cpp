#include "link/frmProperties.h"

namespace qpes {

frmProperties::frmProperties(QWidget* parent) : QDialog(parent) { setObjectName(QStringLiteral("frmProperties")); }

} // namespace qpes
