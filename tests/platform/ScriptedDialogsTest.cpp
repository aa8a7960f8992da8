#include "platform/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace parvela {
namespace {

using Answer = TDialogAnswer;
using Buttons = TDialogButtons;

TEST(ScriptedDialogs, PlaysQueuedAnswersInOrderAndRecordsEveryBox) {
    TScriptedDialogs dialogs;
    dialogs.QueueAnswer(Answer::Yes).QueueAnswer(Answer::Cancel).QueueAnswer(Answer::Ok);

    EXPECT_EQ(dialogs.Ask("Save the item ?", Buttons::YesNoCancel), Answer::Yes);
    dialogs.Show(TDialogIcon::Warning, "Finished but one or more assessments caused an error.");
    EXPECT_EQ(dialogs.Ask("Continue?", Buttons::YesCancel, TDialogIcon::Warning, "Title"),
              Answer::Cancel);
    dialogs.Show(TDialogIcon::None, "Results of next assessments are invalid", "Parvela_2.4.2_CN");
    EXPECT_EQ(dialogs.Ask("Do you really want to delete this item ?", Buttons::OkCancel),
              Answer::Ok);
    EXPECT_EQ(dialogs.PendingAnswers(), 0u);

    const auto& boxes = dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 5u);
    const struct {
        TDialogIcon icon;
        Buttons buttons;
        const char* caption;
        const char* text;
        Answer answer;
    } expected[] = {
        {TDialogIcon::Question, Buttons::YesNoCancel, "", "Save the item ?", Answer::Yes},
        {TDialogIcon::Warning, Buttons::Ok, "",
         "Finished but one or more assessments caused an error.", Answer::Ok},
        {TDialogIcon::Warning, Buttons::YesCancel, "Title", "Continue?", Answer::Cancel},
        {TDialogIcon::None, Buttons::Ok, "Parvela_2.4.2_CN",
         "Results of next assessments are invalid", Answer::Ok},
        {TDialogIcon::Question, Buttons::OkCancel, "", "Do you really want to delete this item ?",
         Answer::Ok},
    };
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(expected[i].text);
        EXPECT_EQ(boxes[i].Box.Icon, expected[i].icon);
        EXPECT_EQ(boxes[i].Box.Buttons, expected[i].buttons);
        EXPECT_EQ(boxes[i].Box.Caption, expected[i].caption);
        EXPECT_EQ(boxes[i].Box.Text, expected[i].text);
        EXPECT_EQ(boxes[i].Answer, expected[i].answer);
    }
    EXPECT_EQ(dialogs.Texts()[1], "Finished but one or more assessments caused an error.");
}

TEST(ScriptedDialogs, AQuestionWithoutQueuedAnswerFailsNamingIt) {
    TScriptedDialogs dialogs;
    try {
        dialogs.Ask("Save the item of Projects ?", Buttons::YesNoCancel);
        FAIL() << "no failure";
    } catch (const EUnscriptedDialog& error) {
        EXPECT_STREQ(error.what(),
                     "No answer queued for the question \"Save the item of Projects ?\" "
                     "(Yes/No/Cancel)");
        EXPECT_STREQ(error.ClassName(), "EUnscriptedDialog");
    }
    // The box was still shown and recorded, without an answer.
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_FALSE(dialogs.Boxes()[0].Answer.has_value());
}

TEST(ScriptedDialogs, AnAnswerTheButtonsDoNotOfferFailsAndStaysQueued) {
    const struct {
        Buttons buttons;
        Answer answer;
    } refused[] = {
        {Buttons::YesNo, Answer::Ok},       {Buttons::YesNo, Answer::Cancel},
        {Buttons::YesCancel, Answer::No},   {Buttons::YesCancel, Answer::Ok},
        {Buttons::OkCancel, Answer::Yes},   {Buttons::OkCancel, Answer::No},
        {Buttons::YesNoCancel, Answer::Ok},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(std::string(ButtonsName(c.buttons)) + " " + AnswerName(c.answer));
        TScriptedDialogs dialogs;
        dialogs.QueueAnswer(c.answer);
        EXPECT_THROW(dialogs.Ask("Q", c.buttons), EUnscriptedDialog);
        EXPECT_EQ(dialogs.PendingAnswers(), 1u);
    }
    const struct {
        Buttons buttons;
        Answer answer;
    } offered[] = {
        {Buttons::YesNo, Answer::Yes},          {Buttons::YesNo, Answer::No},
        {Buttons::YesNoCancel, Answer::Yes},    {Buttons::YesNoCancel, Answer::No},
        {Buttons::YesNoCancel, Answer::Cancel}, {Buttons::YesCancel, Answer::Yes},
        {Buttons::YesCancel, Answer::Cancel},   {Buttons::OkCancel, Answer::Ok},
        {Buttons::OkCancel, Answer::Cancel},
    };
    for (const auto& c : offered) {
        SCOPED_TRACE(std::string(ButtonsName(c.buttons)) + " " + AnswerName(c.answer));
        TScriptedDialogs dialogs;
        dialogs.QueueAnswer(c.answer);
        EXPECT_EQ(dialogs.Ask("Q", c.buttons), c.answer);
    }
}

TEST(ScriptedDialogs, BoxesWithOnlyOkTakeNoAnswer) {
    TScriptedDialogs dialogs;
    dialogs.QueueAnswer(Answer::No);
    dialogs.Show(TDialogIcon::Error, "Error executing x (errorcode 2)");
    dialogs.Show(TDialogIcon::Information, "Finished");
    EXPECT_EQ(dialogs.PendingAnswers(), 1u);
    EXPECT_EQ(dialogs.Ask("Q", Buttons::YesNo), Answer::No);
}

TEST(ScriptedDialogs, OpenFilePlaysQueuedResultsAndRecordsRequests) {
    TScriptedDialogs dialogs;
    dialogs.QueueOpenFile("/opt/daxo/libdaxo.so").QueueOpenFile(std::nullopt);
    const std::string filter = "DLL files (*.dll)|*.DLL|All files (*.*)|*.*";
    EXPECT_EQ(dialogs.OpenFile({filter, "", ""}),
              std::optional<std::string>("/opt/daxo/libdaxo.so"));
    EXPECT_EQ(dialogs.OpenFile({filter, "Locate", "/opt"}), std::nullopt);
    ASSERT_EQ(dialogs.OpenFileRequests().size(), 2u);
    EXPECT_EQ(dialogs.OpenFileRequests()[1].Filter, filter);
    EXPECT_EQ(dialogs.OpenFileRequests()[1].Title, "Locate");
    EXPECT_EQ(dialogs.OpenFileRequests()[1].InitialDirectory, "/opt");
    try {
        dialogs.OpenFile({filter, "", ""});
        FAIL() << "no failure";
    } catch (const EUnscriptedDialog& error) {
        EXPECT_NE(std::string(error.what()).find(filter), std::string::npos);
    }
}

TEST(Dialogs, ScopedInstallationRestoresThePreviousDialogs) {
    IDialogs* standard = &Dialogs();
    TScriptedDialogs outer, inner;
    {
        TScopedDialogs installOuter(outer);
        EXPECT_EQ(&Dialogs(), &outer);
        {
            TScopedDialogs installInner(inner);
            Dialogs().Show(TDialogIcon::Information, "to inner");
        }
        EXPECT_EQ(&Dialogs(), &outer);
        Dialogs().Show(TDialogIcon::Information, "to outer");
    }
    EXPECT_EQ(&Dialogs(), standard);
    EXPECT_EQ(inner.Texts(), std::vector<std::string>{"to inner"});
    EXPECT_EQ(outer.Texts(), std::vector<std::string>{"to outer"});
    SetDialogs(&inner);
    EXPECT_EQ(&Dialogs(), &inner);
    SetDialogs(nullptr);
    EXPECT_EQ(&Dialogs(), standard);
}

TEST(Dialogs, DestroyedDialogsUninstallThemselves) {
    IDialogs* standard = &Dialogs();
    TScriptedDialogs kept;
    {
        TScriptedDialogs shortLived;
        SetDialogs(&shortLived);
    }
    EXPECT_EQ(&Dialogs(), standard);
    SetDialogs(&kept);
    {
        TScriptedDialogs other; // not installed: leaves the installed ones alone
    }
    EXPECT_EQ(&Dialogs(), &kept);
    SetDialogs(nullptr);
}

TEST(Dialogs, WithoutAWindowSystemQuestionsAreRefusedAndMessagesGoToStandardError) {
    SetDialogs(nullptr);
    testing::internal::CaptureStderr();
    Dialogs().Show(TDialogIcon::Warning, "Disk almost full", "Parvela");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Parvela: Disk almost full\n");
    EXPECT_THROW(Dialogs().Ask("Save?", Buttons::YesNo), Exception);
    EXPECT_THROW(Dialogs().OpenFile({"All files (*.*)|*.*", "", ""}), Exception);
}

} // namespace
} // namespace parvela
