#include "plugins/daxo/SubstanceEditor.h"

#include "plugins/daxo/AttributeCatalogue.h"
#include "plugins/daxo/ExampleSubstances.h"
#include "plugins/daxo/SubstanceChecks.h"
#include "plugins/daxo/SubstanceStore.h"
#include "plugins/daxo/UserInterface.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QUuid>
#include <QVBoxLayout>

#include <memory>
#include <set>
#include <stdexcept>

namespace daxo {

namespace {

enum AttributeColumn { NameColumn, ValueColumn, UnitColumn };
enum MetaboliteColumn { SubstanceColumn, CompartmentColumn, FractionColumn };

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
std::string S(const QString& text) {
    return text.trimmed().toStdString();
}

std::string NewGuid() {
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper().toStdString();
}

QPushButton* AddButton(QHBoxLayout* row, const QString& caption) {
    auto* button = new QPushButton(caption);
    row->addWidget(button);
    return button;
}

QTableWidget* MakeTable(const QStringList& headers) {
    auto* table = new QTableWidget(0, headers.size());
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(24);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    return table;
}

} // namespace

SubstanceEditor::SubstanceEditor(SubstanceCollection collection, const std::string& selectedGuid,
                                 QWidget* parent)
    : QDialog(parent), collection_(std::move(collection)) {
    setWindowTitle("DAXO substances");
    setModal(true);
    BuildLayout();
    FillSubstanceList();
    int row = 0;
    for (size_t i = 0; i < collection_.substances.size(); ++i)
        if (collection_.substances[i].guid == selectedGuid)
            row = static_cast<int>(i);
    SelectSubstance(collection_.substances.empty() ? -1 : row);
}

void SubstanceEditor::BuildLayout() {
    auto* splitter = new QSplitter;

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    substances_ = new QListWidget;
    leftLayout->addWidget(substances_);
    auto* listButtons = new QHBoxLayout;
    connect(AddButton(listButtons, "Add"), &QPushButton::clicked, this,
            &SubstanceEditor::AddSubstance);
    connect(AddButton(listButtons, "Copy"), &QPushButton::clicked, this,
            &SubstanceEditor::CopySubstance);
    connect(AddButton(listButtons, "Delete"), &QPushButton::clicked, this,
            &SubstanceEditor::DeleteSubstance);
    leftLayout->addLayout(listButtons);
    splitter->addWidget(left);

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    auto* identity = new QFormLayout;
    guid_ = new QLineEdit;
    guid_->setReadOnly(true);
    identity->addRow("GUID", guid_);
    isMetabolite_ = new QCheckBox("Metabolite (not listed as an active substance)");
    identity->addRow("", isMetabolite_);
    rightLayout->addLayout(identity);

    auto* attributeBox = new QGroupBox("Attributes");
    auto* attributeLayout = new QVBoxLayout(attributeBox);
    attributes_ = MakeTable({"Name", "Value", "Unit"});
    attributeLayout->addWidget(attributes_);
    auto* attributeButtons = new QHBoxLayout;
    connect(AddButton(attributeButtons, "Add attribute"), &QPushButton::clicked, this,
            &SubstanceEditor::AddAttribute);
    connect(AddButton(attributeButtons, "Remove attribute"), &QPushButton::clicked, this,
            &SubstanceEditor::RemoveAttribute);
    attributeLayout->addLayout(attributeButtons);
    rightLayout->addWidget(attributeBox, 3);

    auto* metaboliteBox = new QGroupBox("Metabolites");
    auto* metaboliteLayout = new QVBoxLayout(metaboliteBox);
    metabolites_ = MakeTable({"Metabolite", "Compartment", "Formation fraction"});
    metaboliteLayout->addWidget(metabolites_);
    auto* metaboliteButtons = new QHBoxLayout;
    connect(AddButton(metaboliteButtons, "Add metabolite"), &QPushButton::clicked, this,
            &SubstanceEditor::AddMetabolite);
    connect(AddButton(metaboliteButtons, "Remove metabolite"), &QPushButton::clicked, this,
            &SubstanceEditor::RemoveMetabolite);
    metaboliteLayout->addLayout(metaboliteButtons);
    rightLayout->addWidget(metaboliteBox, 2);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &SubstanceEditor::TrySave);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);
    layout->addWidget(buttons);
    resize(900, 650);

    connect(substances_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row != current_)
            SelectSubstance(row);
    });
}

QString SubstanceEditor::ListCaption(const Substance& substance) const {
    QString caption = Q(substance.Code()) + " - " + Q(substance.Value("SubstanceName"));
    return substance.isMetabolite ? caption + " (metabolite)" : caption;
}

void SubstanceEditor::FillSubstanceList() {
    QSignalBlocker blocker(substances_);
    substances_->clear();
    for (const auto& substance : collection_.substances)
        substances_->addItem(ListCaption(substance));
    substances_->setCurrentRow(current_);
}

void SubstanceEditor::SelectSubstance(int row) {
    CommitShownSubstance();
    current_ = row >= 0 && row < static_cast<int>(collection_.substances.size()) ? row : -1;
    FillSubstanceList();
    ShowSubstance(current_);
}

void SubstanceEditor::AddAttributeRow(const Attribute& attribute) {
    int row = attributes_->rowCount();
    attributes_->insertRow(row);
    attributes_->setItem(row, NameColumn, new QTableWidgetItem(Q(attribute.name)));
    attributes_->setItem(row, ValueColumn, new QTableWidgetItem(Q(attribute.value)));
    const AttributeDefinition* definition = FindAttributeDefinition(attribute.name);
    auto* unit = new QTableWidgetItem(
        definition ? QString::fromUtf8(definition->unit.data(), definition->unit.size())
                   : QString());
    unit->setFlags(unit->flags() & ~Qt::ItemIsEditable);
    attributes_->setItem(row, UnitColumn, unit);
}

void SubstanceEditor::AddMetaboliteRow(const MetaboliteLink& link) {
    int row = metabolites_->rowCount();
    metabolites_->insertRow(row);
    auto* substance = new QComboBox;
    for (const auto& candidate : collection_.substances)
        if (current_ < 0 || candidate.guid != collection_.substances[current_].guid)
            substance->addItem(Q(candidate.Code()), Q(candidate.guid));
    int index = substance->findData(Q(link.metaboliteGuid));
    if (index < 0 && !link.metaboliteGuid.empty()) {
        substance->addItem(Q(link.metaboliteGuid) + " (missing)", Q(link.metaboliteGuid));
        index = substance->count() - 1;
    }
    substance->setCurrentIndex(index);
    metabolites_->setCellWidget(row, SubstanceColumn, substance);
    auto* compartment = new QComboBox;
    compartment->addItem("1 soil", SoilCompartment);
    compartment->addItem("2 water", WaterCompartment);
    compartment->addItem("3 sediment", SedimentCompartment);
    compartment->setCurrentIndex(std::max(0, compartment->findData(link.compartment)));
    metabolites_->setCellWidget(row, CompartmentColumn, compartment);
    metabolites_->setItem(row, FractionColumn, new QTableWidgetItem(Q(link.fraction)));
}

void SubstanceEditor::ShowSubstance(int row) {
    attributes_->setRowCount(0);
    metabolites_->setRowCount(0);
    bool shown = row >= 0;
    guid_->setText(shown ? Q(collection_.substances[row].guid) : QString());
    isMetabolite_->setChecked(shown && collection_.substances[row].isMetabolite);
    for (QWidget* widget :
         {static_cast<QWidget*>(isMetabolite_), static_cast<QWidget*>(attributes_),
          static_cast<QWidget*>(metabolites_)})
        widget->setEnabled(shown);
    if (!shown)
        return;
    for (const auto& attribute : collection_.substances[row].attributes)
        AddAttributeRow(attribute);
    for (const auto& link : collection_.substances[row].metabolites)
        AddMetaboliteRow(link);
    attributes_->resizeColumnToContents(NameColumn);
    metabolites_->resizeColumnToContents(SubstanceColumn);
}

void SubstanceEditor::CommitShownSubstance() {
    if (current_ < 0 || current_ >= static_cast<int>(collection_.substances.size()))
        return;
    Substance& substance = collection_.substances[current_];
    substance.isMetabolite = isMetabolite_->isChecked();
    substance.attributes.clear();
    for (int row = 0; row < attributes_->rowCount(); ++row) {
        auto* name = attributes_->item(row, NameColumn);
        auto* value = attributes_->item(row, ValueColumn);
        if (name && !S(name->text()).empty())
            substance.attributes.push_back(
                {S(name->text()), value ? S(value->text()) : std::string()});
    }
    substance.metabolites.clear();
    for (int row = 0; row < metabolites_->rowCount(); ++row) {
        auto* metabolite = qobject_cast<QComboBox*>(metabolites_->cellWidget(row, SubstanceColumn));
        auto* compartment =
            qobject_cast<QComboBox*>(metabolites_->cellWidget(row, CompartmentColumn));
        auto* fraction = metabolites_->item(row, FractionColumn);
        if (!metabolite || metabolite->currentIndex() < 0)
            continue;
        substance.metabolites.push_back({S(metabolite->currentData().toString()),
                                         compartment->currentData().toInt(),
                                         fraction ? S(fraction->text()) : std::string()});
    }
}

const SubstanceCollection& SubstanceEditor::Collection() {
    CommitShownSubstance();
    return collection_;
}

void SubstanceEditor::AddSubstance() {
    CommitShownSubstance();
    collection_.substances.push_back(NewSubstance(NewGuid(), "NEW", "New substance", false));
    current_ = -1;
    SelectSubstance(static_cast<int>(collection_.substances.size()) - 1);
}

void SubstanceEditor::CopySubstance() {
    if (current_ < 0)
        return;
    CommitShownSubstance();
    Substance copy = collection_.substances[current_];
    copy.guid = NewGuid();
    copy.SetValue(CodeAttribute, copy.Code() + "-COPY");
    collection_.substances.push_back(copy);
    current_ = -1;
    SelectSubstance(static_cast<int>(collection_.substances.size()) - 1);
}

void SubstanceEditor::DeleteSubstance() {
    if (current_ < 0)
        return;
    const std::string guid = collection_.substances[current_].guid;
    collection_.substances.erase(collection_.substances.begin() + current_);
    // Links to the deleted substance go with it.
    for (auto& substance : collection_.substances)
        std::erase_if(substance.metabolites,
                      [&](const MetaboliteLink& link) { return link.metaboliteGuid == guid; });
    int next = std::min(current_, static_cast<int>(collection_.substances.size()) - 1);
    current_ = -1;
    SelectSubstance(next);
}

void SubstanceEditor::AddAttribute() {
    if (current_ < 0)
        return;
    AddAttributeRow({"NewAttribute", ""});
    attributes_->setCurrentCell(attributes_->rowCount() - 1, NameColumn);
}

void SubstanceEditor::RemoveAttribute() {
    if (attributes_->currentRow() >= 0)
        attributes_->removeRow(attributes_->currentRow());
}

void SubstanceEditor::AddMetabolite() {
    if (current_ < 0)
        return;
    AddMetaboliteRow({"", SoilCompartment, "0.0"});
}

void SubstanceEditor::RemoveMetabolite() {
    if (metabolites_->currentRow() >= 0)
        metabolites_->removeRow(metabolites_->currentRow());
}

std::string SubstanceEditor::ValidationProblem() {
    const SubstanceCollection& collection = Collection();
    SubstanceLookup lookup = [&collection](const std::string& guid) -> std::optional<Substance> {
        const Substance* substance = collection.Find(guid);
        return substance ? std::optional<Substance>(*substance) : std::nullopt;
    };
    for (const auto& substance : collection.substances) {
        const auto& attributes = substance.attributes;
        for (size_t i = 0; i < attributes.size(); ++i)
            for (size_t j = 0; j < i; ++j)
                if (SameNameIgnoringCase(attributes[i].name, attributes[j].name))
                    return "The substance " + substance.Code() + " has the attribute " +
                           attributes[i].name + " twice.";
        std::set<std::pair<std::string, int>> links;
        for (const auto& link : substance.metabolites)
            if (!links.insert({link.metaboliteGuid, link.compartment}).second)
                return "The substance " + substance.Code() +
                       " lists one metabolite twice in the same compartment.";
        if (FindMetaboliteCycle(substance, lookup))
            return "The metabolite chain of " + substance.Code() +
                   " returns to an earlier substance.";
    }
    return {};
}

void SubstanceEditor::TrySave() {
    std::string problem = ValidationProblem();
    if (!problem.empty()) {
        QMessageBox::warning(this, windowTitle(), Q(problem));
        return;
    }
    emit SaveRequested();
}

namespace {

// A widget application for the time of one window when the host program has none.
class ApplicationScope {
public:
    ApplicationScope() {
        if (QCoreApplication::instance()) {
            if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
                throw std::runtime_error("The DAXO windows need a widget application.");
            return;
        }
        // Without a display Qt would end the whole host process.
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            throw std::runtime_error("The DAXO windows need a graphical session.");
        owned_ = std::make_unique<QApplication>(argc_, argv_);
    }

private:
    static inline int argc_ = 1;
    static inline char name_[] = "daxo";
    static inline char* argv_[] = {name_, nullptr};
    std::unique_ptr<QApplication> owned_;
};

} // namespace

void RunSubstanceEditor(SubstanceStore& store, const std::string& selectedGuid) {
    ApplicationScope application;
    SubstanceEditor editor(store.LoadAll(), selectedGuid, QApplication::activeWindow());
    QObject::connect(&editor, &SubstanceEditor::SaveRequested, &editor, [&] {
        try {
            store.SaveAll(editor.Collection());
            editor.accept();
        } catch (const std::exception& e) {
            QMessageBox::critical(&editor, editor.windowTitle(), QString::fromStdString(e.what()));
        }
    });
    editor.exec();
}

void ShowSubstanceMessage(const std::string& caption, const std::string& text) {
    ApplicationScope application;
    QMessageBox::information(QApplication::activeWindow(), Q(caption), Q(text));
}

} // namespace daxo
