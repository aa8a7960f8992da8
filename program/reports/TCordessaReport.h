#pragma once
// A small HTML page writer with a fixed style sheet. Texts from the data are escaped, so a
// description cannot inject markup; the page is written in ISO-8859-1, characters outside
// it as numeric references.

#include <string>
#include <vector>

namespace parvela {

class TCordessaReport {
public:
    // The file is `name` + ".htm" in this user's private temporary directory
    // (PrivateTemporaryDirectory, which raises when that directory is not safe); a name too
    // long for a file name is shortened as FittingFileStem does.
    TCordessaReport(const std::string& name, const std::string& title);

    void AddTitle1(const std::string& text);
    void AddLine(const std::string& text);
    // Adds markup as it stands: its texts must be escaped already.
    void AddHtml(const std::string& markup);
    // Closes the page and saves it (0600), replacing an existing file.
    void FinishReport();
    // Opens the saved page with the desktop's default program; a refusal is shown as
    // "Could not start " + the file name.
    void OpenReport();
    std::string ReportPath() const { return ReportDirectory + ReportFileName; }

    const std::vector<std::string>& Lines() const { return ReportLines; }

    // One line of the page: line breaks inside the text dropped (a last one becomes <BR>),
    // markup characters escaped, blanks as &nbsp;, followed by <BR>.
    static std::string ToHtmlLine(const std::string& text);
    // "&", "<", ">" and the double quote as character references.
    static std::string EscapeHtml(const std::string& text);

    std::string ReportDirectory;
    std::string ReportFileName;

private:
    std::vector<std::string> ReportLines;
};

} // namespace parvela
