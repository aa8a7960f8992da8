#include "ui/TfrmResults.h"

#include "UnitsFromGenerator/TdciAssessments.h"
#include "framework/Format.h"
#include "platform/Exceptions.h"
#include "ui/QtConvert.h"
#include "ui/TParvelaApplication.h"
#include "ui/WindowSupport.h"

#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace parvela {

namespace {

QPlainTextEdit* MakeView(QWidget* parent, const char* name) {
    auto* view = new QPlainTextEdit(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return view;
}

struct TFileKindTexts {
    const char* glidarExtension;
    const char* mundreExtension;
    const char* missing;
};

TFileKindTexts TextsOf(int kind) {
    switch (kind) {
    case 0:
        return {".gld", ".mnd", "No inputfiles found. (%s)"};
    case 1:
        return {".sum", ".sum", "No results found. (%s)"};
    case 2:
        return {".err", ".err", "No errorfiles found. (%s)"};
    }
    throw Exception("Unknown filetype.");
}

void LoadView(QPlainTextEdit* view, const std::string& directory, const std::string& fileName,
              const char* missing) {
    view->clear();
    QFile file(QText(directory + "/" + fileName));
    if (file.open(QIODevice::ReadOnly)) {
        view->setPlainText(QString::fromLocal8Bit(file.readAll()));
        return;
    }
    view->setPlainText(QText(Format(missing, directory)));
}

} // namespace

TfrmResults::TfrmResults(const TdciAssessments* assessment, int fileKind, QWidget* parent)
    : QDialog(parent), assessment_(assessment), fileKind_(fileKind) {
    setObjectName("frmResults");
    setWindowTitle("Results");
    auto* layout = new QVBoxLayout(this);
    pageControl_ = new QTabWidget(this);
    pageControl_->setObjectName("PageControl1");
    mmGlidar_ = MakeView(pageControl_, "mmGlidar");
    mmMundre_ = MakeView(pageControl_, "mmMundre");
    pageControl_->addTab(mmGlidar_, "Glidar");
    pageControl_->addTab(mmMundre_, "Mundre");
    layout->addWidget(pageControl_, 1);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("btnClose");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    WithoutDefaultButtons(this);
    resize(760, 520);
}

void TfrmResults::LoadFiles() {
    const TFileKindTexts texts = TextsOf(fileKind_);
    const std::string run = assessment_->RunDirectory();
    const std::string id = assessment_->ItemID();
    LoadView(mmGlidar_, run + "/GLIDAR", id + texts.glidarExtension, texts.missing);
    LoadView(mmMundre_, run + "/MUNDRE", id + texts.mundreExtension, texts.missing);
}

void TfrmResults::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    pageControl_->setCurrentIndex(0);
    try {
        LoadFiles();
    } catch (const std::exception& failure) {
        ReportGeneralError(failure);
    }
}

void TfrmResults::ShowResults(const TdciAssessments* assessment, TResultFileKind kind,
                              QWidget* parent) {
    if (!assessment)
        return;
    TfrmResults window(assessment, static_cast<int>(kind), parent);
    window.exec();
}

} // namespace parvela
