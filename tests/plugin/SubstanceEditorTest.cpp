// The stand-in's substance editor: its commands on the substances, the checks before saving,
// and the editor as OpenUI shows it, driven through its widgets.
#include "plugins/daxo/SubstanceEditor.h"
#include "plugins/daxo/DaxoApi.h"
#include "plugins/daxo/ExampleSubstances.h"
#include "tests/plugin/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <dlfcn.h>

#include <functional>

namespace parvela::plugin_test {
namespace {

using daxo::SubstanceEditor;

QApplication& Application() {
    static int argc = 1;
    static char name[] = "plugin_editor_test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

class SubstanceEditorTest : public ::testing::Test {
protected:
    SubstanceEditorTest() { Application(); }
};

int RowOfAttribute(QTableWidget* table, const QString& name) {
    for (int row = 0; row < table->rowCount(); ++row)
        if (table->item(row, 0)->text() == name)
            return row;
    return -1;
}

TEST_F(SubstanceEditorTest, StartsOnTheSubstanceAskedFor) {
    SubstanceEditor editor(daxo::ExampleSubstances(), BetaGuid);
    EXPECT_EQ(editor.SelectedRow(), 4);
    EXPECT_EQ(editor.SubstanceList()->count(), 12);
    EXPECT_EQ(editor.SubstanceList()->currentRow(), 4);
    EXPECT_EQ(editor.MetaboliteTable()->rowCount(), 2);
    SubstanceEditor unknown(daxo::ExampleSubstances(), "");
    EXPECT_EQ(unknown.SelectedRow(), 0);
}

TEST_F(SubstanceEditorTest, EditsOfTheTablesReachTheCollection) {
    SubstanceEditor editor(daxo::ExampleSubstances(), AlphaGuid);
    QTableWidget* attributes = editor.AttributeTable();
    int row = RowOfAttribute(attributes, "DT50Ref");
    ASSERT_GE(row, 0);
    EXPECT_EQ(attributes->item(row, 2)->text(), "d") << "unit column";
    attributes->item(row, 1)->setText("33.3");
    editor.AddAttribute();
    attributes->item(attributes->rowCount() - 1, 0)->setText("Remark");
    attributes->item(attributes->rowCount() - 1, 1)->setText("with blanks");
    editor.MetaboliteTable()->item(0, 2)->setText("0.45");

    // Moving to another substance and back keeps the edits.
    editor.SelectSubstance(7);
    editor.SelectSubstance(0);
    const daxo::Substance& alpha = *editor.Collection().Find(AlphaGuid);
    EXPECT_EQ(alpha.Value("DT50Ref"), "33.3");
    EXPECT_EQ(alpha.Value("Remark"), "with blanks");
    ASSERT_EQ(alpha.metabolites.size(), 2u);
    EXPECT_EQ(alpha.metabolites[0].fraction, "0.45");
    EXPECT_EQ(alpha.metabolites[0].metaboliteGuid, AlphaM1Guid);
    EXPECT_EQ(editor.ValidationProblem(), "");
}

TEST_F(SubstanceEditorTest, AddCopyAndDelete) {
    SubstanceEditor editor(daxo::ExampleSubstances(), AlphaGuid);
    editor.CopySubstance();
    const auto& afterCopy = editor.Collection().substances;
    ASSERT_EQ(afterCopy.size(), 13u);
    const daxo::Substance& copy = afterCopy.back();
    EXPECT_NE(copy.guid, AlphaGuid);
    EXPECT_EQ(copy.guid.front(), '{');
    EXPECT_EQ(copy.Code(), "ALPHA-COPY");
    EXPECT_EQ(copy.Value("MolMass"), "291.3");
    EXPECT_EQ(copy.metabolites.size(), 2u);
    EXPECT_EQ(editor.SelectedRow(), 12);

    editor.AddSubstance();
    const daxo::Substance& added = editor.Collection().substances.back();
    EXPECT_EQ(added.Code(), "NEW");
    EXPECT_EQ(added.Value("OptCofFreCode"), "3");
    EXPECT_EQ(added.Value("OptCntLiqTraRef"), "TRUE");

    // Deleting a metabolite removes the links to it.
    editor.SelectSubstance(1);
    editor.DeleteSubstance();
    const auto& collection = editor.Collection();
    EXPECT_EQ(collection.Find(AlphaM1Guid), nullptr);
    ASSERT_EQ(collection.Find(AlphaGuid)->metabolites.size(), 1u);
    EXPECT_EQ(collection.Find(AlphaGuid)->metabolites[0].metaboliteGuid, AlphaM3Guid);
    EXPECT_EQ(editor.Collection().substances.size(), 13u);
}

TEST_F(SubstanceEditorTest, RefusesWhatCannotBeSaved) {
    struct Case {
        const char* name;
        std::function<void(SubstanceEditor&)> change;
        const char* expected;
    };
    std::vector<Case> cases = {
        {"metabolite chain back to its parent",
         [](SubstanceEditor& e) {
             e.SelectSubstance(2); // ALPHA-M2
             e.AddMetabolite();
             auto* combo = qobject_cast<QComboBox*>(e.MetaboliteTable()->cellWidget(0, 0));
             combo->setCurrentIndex(combo->findData(QString::fromStdString(AlphaGuid)));
         },
         "returns to an earlier substance"},
        {"attribute twice",
         [](SubstanceEditor& e) {
             e.AddAttribute();
             auto* table = e.AttributeTable();
             table->item(table->rowCount() - 1, 0)->setText("molmass");
         },
         "has the attribute molmass twice"},
        {"metabolite twice in one compartment",
         [](SubstanceEditor& e) {
             e.AddMetabolite();
             auto* combo = qobject_cast<QComboBox*>(e.MetaboliteTable()->cellWidget(2, 0));
             combo->setCurrentIndex(combo->findData(QString::fromStdString(AlphaM1Guid)));
         },
         "lists one metabolite twice"},
    };
    for (const auto& c : cases) {
        SubstanceEditor editor(daxo::ExampleSubstances(), AlphaGuid);
        ASSERT_EQ(editor.ValidationProblem(), "");
        c.change(editor);
        EXPECT_NE(editor.ValidationProblem().find(c.expected), std::string::npos)
            << c.name << ": " << editor.ValidationProblem();
    }
}

// The editor as the library shows it: found among the top-level widgets once it is up.
class OpenUITest : public SubstanceEditorTest {
protected:
    OpenUITest()
        : dir_("editor"), database_(dir_.File("substances.sqlite")),
          databaseEnv_("PARVELA_DAXO_DATABASE", database_),
          handle_(dlopen(LibraryPath.c_str(), RTLD_NOW)) {
        create_ = reinterpret_cast<TDaxoCreate>(dlsym(handle_, "Create"));
        openUI_ = reinterpret_cast<TDaxoOpenUI>(dlsym(handle_, "OpenUI"));
        info_ = reinterpret_cast<TDaxoGetSubstanceInfoListByGUID>(
            dlsym(handle_, "GetSubstanceInfoListByGUID"));
        list_ =
            reinterpret_cast<TDaxoGetSubstancesGUIDList>(dlsym(handle_, "GetSubstancesGUIDList"));
        lastError_ = reinterpret_cast<TDaxoGetLastError>(dlsym(handle_, "GetLastError"));
    }
    ~OpenUITest() override {
        reinterpret_cast<TDaxoDestroy>(dlsym(handle_, "Destroy"))();
        dlclose(handle_);
    }

    // Runs OpenUI and, while its dialog is up, `interact` on it.
    void OpenWhile(const std::string& guid, const std::function<void(QDialog&)>& interact) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            interact(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        openUI_(guid.c_str(), 0);
        EXPECT_TRUE(seen);
    }

    std::string Text(const std::function<DaxoBool(char**, std::int32_t*)>& call) {
        std::int32_t size = 1 << 16;
        std::vector<char> buffer(static_cast<size_t>(size));
        char* data = buffer.data();
        EXPECT_TRUE(call(&data, &size));
        return buffer.data();
    }
    std::string Info(const std::string& guid) {
        return Text([&](char** b, std::int32_t* s) { return info_(guid.c_str(), 0, b, s); });
    }
    std::string LastError() { return Text(lastError_); }

    static void Press(QDialog& dialog, QDialogButtonBox::StandardButton which) {
        dialog.findChild<QDialogButtonBox*>()->button(which)->click();
    }
    static void SetAttribute(QDialog& dialog, const QString& name, const QString& value) {
        auto* table = dialog.findChildren<QTableWidget*>().at(0);
        int row = RowOfAttribute(table, name);
        ASSERT_GE(row, 0) << name.toStdString();
        table->item(row, 1)->setText(value);
    }

    TTestDirectory dir_;
    std::string database_;
    TScopedEnvironment databaseEnv_;
    void* handle_;
    TDaxoCreate create_;
    TDaxoOpenUI openUI_;
    TDaxoGetSubstanceInfoListByGUID info_;
    TDaxoGetSubstancesGUIDList list_;
    TDaxoGetLastError lastError_;
};

TEST_F(OpenUITest, SaveStoresTheEditsAndCancelDropsThem) {
    ASSERT_TRUE(create_("."));
    OpenWhile(EtaGuid, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "DAXO substances");
        EXPECT_EQ(dialog.findChild<QListWidget*>()->currentItem()->text(), "ETA - Etaxan");
        SetAttribute(dialog, "DT50Ref", "61.5");
        Press(dialog, QDialogButtonBox::Save);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(LastError(), "");
    EXPECT_NE(Info(EtaGuid).find("DT50Ref=61.5"), std::string::npos);

    OpenWhile(EtaGuid, [](QDialog& dialog) {
        SetAttribute(dialog, "DT50Ref", "99.0");
        Press(dialog, QDialogButtonBox::Cancel);
    });
    EXPECT_NE(Info(EtaGuid).find("DT50Ref=61.5"), std::string::npos);

    // A substance added in the editor is listed afterwards.
    OpenWhile("", [](QDialog& dialog) {
        for (auto* button : dialog.findChildren<QPushButton*>())
            if (button->text() == "Add")
                button->click();
        Press(dialog, QDialogButtonBox::Save);
    });
    std::string list = Text(list_);
    EXPECT_EQ(std::count(list.begin(), list.end(), ';'), 7) << list;
}

TEST_F(OpenUITest, WithoutCreateItReportsTheMissingDatabase) {
    openUI_("", 0);
    EXPECT_NE(LastError().find("No substance database is open"), std::string::npos);
}

} // namespace
} // namespace parvela::plugin_test
