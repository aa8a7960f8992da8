#include "TfrmProjects.h"

namespace parvela {

TfrmProjects::TfrmProjects(QWidget* parent) : QDialog(parent) {
    setObjectName("frmProjects");
    setModal(true);
}

} // namespace parvela
