#pragma once
// The projects window: created hidden at start, shown modally by the main window.

#include <QDialog>

namespace parvela {

class TfrmProjects : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProjects(QWidget* parent = nullptr);
};

} // namespace parvela
