#include "ui/TfrmAbout.h"

#include "framework/Format.h"
#include "framework/TVersionInfo.h"
#include "models/common/StandInVersions.h"
#include "program/connection/ProgramIdentity.h"
#include "ui/QtConvert.h"
#include "ui/TParvelaApplication.h"
#include "ui/WindowSupport.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace parvela {

namespace {

constexpr const char* QuelpVersion = "1.0.0";

std::string VersionText(int parts) {
    if (!TVersionInfo::SingletonExists())
        return {};
    return TVersionInfo::GetSingleton().VersionText(parts);
}

} // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    auto* layout = new QVBoxLayout(this);
    Label1_ = new QLabel(this);
    Label1_->setObjectName("Label1");
    QFont title = Label1_->font();
    title.setBold(true);
    title.setPointSize(title.pointSize() + 4);
    Label1_->setFont(title);
    layout->addWidget(Label1_);
    auto* grid = new QGridLayout;
    lblVersionGUI_ = AddPair(grid, 0, "GUI version:", "lblVersionGUI");
    lblDate_ = AddPair(grid, 1, "Date:", "lblDate");
    lblDesign1_ = AddPair(grid, 2, "GUI Designed by:", "lblDesign1");
    lblDesign2_ = new QLabel(this);
    lblDesign2_->setObjectName("lblDesign2");
    grid->addWidget(lblDesign2_, 3, 1);
    lblVersionDB_ = AddPair(grid, 4, "Database version:", "lblVersionDB");
    lblVersionGlidar_ = AddPair(grid, 5, "GLIDAR for Parvela Version:", "lblVersionGlidar");
    lblVersionMundre_ = AddPair(grid, 6, "China MUNDRE Version:", "lblVersionMundre");
    lblVersionQuelp_ = AddPair(grid, 7, "QUELP for Parvela Version:", "lblVersionQuelp");
    lblBuild_ = AddPair(grid, 8, "Build version:", "lblBuild");
    layout->addLayout(grid);
    for (const char* line : {"Exposure assessments of plant-protection substances in paddy rice.",
                             "The models GLIDAR and MUNDRE run as separate programs.",
                             "Substance data are kept by the DAXO substance plug-in."})
        layout->addWidget(new QLabel(QString::fromLatin1(line), this));
    auto* close = new QPushButton("OK", this);
    close->setObjectName("btnClose");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    WithoutDefaultButtons(this);
}

QLabel* TfrmAbout::AddPair(QGridLayout* grid, int row, const QString& label, const char* name) {
    grid->addWidget(new QLabel(label, this), row, 0);
    auto* value = new QLabel(this);
    value->setObjectName(QString::fromLatin1(name));
    grid->addWidget(value, row, 1);
    return value;
}

void TfrmAbout::Activate() {
    const QString title = QText(Format("%s_%s", ProgramName, ProgramVersion));
    setWindowTitle(title + " - About");
    Label1_->setText(title);
    lblVersionGUI_->setText(QText(VersionText(0)));
    lblBuild_->setText(QText(VersionText(3)));
    lblVersionDB_->setText("4");
    lblDate_->setText("April 2016");
    lblVersionGlidar_->setText(models::GlidarStandInVersion);
    lblVersionQuelp_->setText(QuelpVersion);
    lblVersionMundre_->setText(models::MundreStandInVersion);
    lblDesign1_->setText("The Parvela developers");
    lblDesign2_->setText("with the assessors who use it");
}

void TfrmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Activate();
}

} // namespace parvela
