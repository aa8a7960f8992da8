#include "platform/ScriptedDialogs.h"
#include "program/TCordessaReport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace parvela {
namespace {

namespace fs = std::filesystem;

struct HtmlLineCase {
    const char* text;
    const char* html;
};

class HtmlLineTest : public ::testing::TestWithParam<HtmlLineCase> {};

TEST_P(HtmlLineTest, BecomesOneLineOfThePage) {
    EXPECT_EQ(GetParam().html, TCordessaReport::ToHtmlLine(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HtmlLineTest,
    ::testing::Values(HtmlLineCase{"", "<BR>"},
                      HtmlLineCase{"two  blanks", "two&nbsp;&nbsp;blanks<BR>"},
                      HtmlLineCase{"\r\nGLIDAR REPORT", "GLIDAR&nbsp;REPORT<BR>"},
                      HtmlLineCase{"\r\n", "\n<BR>"},
                      HtmlLineCase{"ends in a return\r", "ends&nbsp;in&nbsp;a&nbsp;return<BR><BR>"},
                      HtmlLineCase{"a\0b", "a<BR>"},
                      HtmlLineCase{"<script>alert(\"x\")</script> & co",
                                   "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&nbsp;&amp;"
                                   "&nbsp;co<BR>"}));

class ReportFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory_ = fs::path(PARVELA_TEST_WORK_DIR) / "report" /
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(directory_);
        fs::create_directories(directory_);
        setenv("TMP", directory_.c_str(), 1);
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    fs::path directory_;
};

TEST_F(ReportFileTest, WritesTheFixedHeadAndTheLinesWithCarriageReturns) {
    TCordessaReport report("Rice_1", "Parvela_2.4.2_CN - report");
    EXPECT_EQ(directory_.string() + "/Rice_1.htm", report.ReportPath());
    report.AddTitle1("Summary report: Parvela_2.4.2_CN");
    report.AddLine("Assessment: A, x < y");
    report.FinishReport();
    std::string page = Read(report.ReportPath());
    EXPECT_EQ(0u, page.find("<HTML>\r\n<HEAD>\r\n<TITLE>Parvela_2.4.2_CN - report</TITLE>\r\n"
                            "<META http-equiv=\"Content-Type\" content=\"text/html; "
                            "charset=iso-8859-1\">\r\n<STYLE type=\"text/css\">\r\n<!--\r\n"
                            ".FontStandard   {font-family: Courier, Courier, sans-serif; "
                            "font-size: 8pt}\r\n"));
    EXPECT_NE(std::string::npos,
              page.find("-->\r\n</STYLE>\r\n</HEAD>\r\n<BODY CLASS=\"FontStandard\" "
                        "bgcolor=\"#FFFFFF\" text=\"#000000\">\r\n<P class=\"FontTitle1\">Summary "
                        "report: Parvela_2.4.2_CN</P>\r\nAssessment:&nbsp;A,&nbsp;x&nbsp;&lt;"
                        "&nbsp;y<BR>\r\n</BODY>\r\n</HTML>\r\n"));
    EXPECT_EQ(18u + 4u, report.Lines().size());
}

TEST_F(ReportFileTest, TheTitleAndTitleParagraphAreEscaped) {
    TCordessaReport report("x", "</TITLE><script>");
    report.AddTitle1("<b>bold</b>");
    EXPECT_EQ("<TITLE>&lt;/TITLE&gt;&lt;script&gt;</TITLE>", report.Lines()[2]);
    EXPECT_EQ("<P class=\"FontTitle1\">&lt;b&gt;bold&lt;/b&gt;</P>", report.Lines().back());
}

TEST_F(ReportFileTest, ThePageIsSingleByteWithReferencesForOtherCharacters) {
    TCordessaReport report("chars", "t");
    report.AddLine("caf\xC3\xA9 \xE4\xB8\xAD");
    report.FinishReport();
    std::string page = Read(report.ReportPath());
    EXPECT_NE(std::string::npos, page.find("caf\xE9&nbsp;&#20013;<BR>\r\n"));
}

TEST_F(ReportFileTest, ASecondReportReplacesTheFirst) {
    {
        TCordessaReport first("same", "t");
        first.AddLine("first");
        first.FinishReport();
    }
    TCordessaReport second("same", "t");
    second.AddLine("second");
    second.FinishReport();
    std::string page = Read(second.ReportPath());
    EXPECT_EQ(std::string::npos, page.find("first"));
    EXPECT_NE(std::string::npos, page.find("second<BR>"));
}

TEST_F(ReportFileTest, ARefusedOpenIsReported) {
    fs::path opener = directory_ / "refuse.sh";
    std::ofstream(opener) << "#!/bin/sh\nexit 3\n";
    fs::permissions(opener, fs::perms::owner_all);
    setenv("PARVELA_OPENER", opener.c_str(), 1);
    TScriptedDialogs dialogs;
    TScopedDialogs scoped(dialogs);
    TCordessaReport report("Rice_2", "t");
    report.FinishReport();
    report.OpenReport();
    ASSERT_EQ(1u, dialogs.Boxes().size());
    EXPECT_EQ("Could not start Rice_2.htm", dialogs.Boxes()[0].Box.Text);
    EXPECT_TRUE(fs::exists(report.ReportPath())) << "the file stays";
}

} // namespace
} // namespace parvela
