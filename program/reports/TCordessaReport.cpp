#include "program/reports/TCordessaReport.h"

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/UserDirectories.h"
#include "program/runs/TZentorModel.h"
#include "program/system/DesktopOpener.h"
#include "program/system/Messages.h"

#include <string_view>

namespace parvela {

namespace {

constexpr std::string_view ReportExtension = ".htm";

const char* const PageHead[] = {
    "<HTML>",
    "<HEAD>",
    nullptr, // the title line
    "<META http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">",
    "<STYLE type=\"text/css\">",
    "<!--",
    // The model blocks line up their columns with blanks: a fixed-width family to the end
    // (Courier alone falls back to a proportional font where it is not installed).
    ".FontStandard   {font-family: Courier, \"Courier New\", monospace; font-size: 8pt}",
    ".FontTitle1     {font-family: Arial, Helvetica, sans-serif; font-size: 14pt}",
    ".FontTitle2     {font-family: Arial, Helvetica, sans-serif; font-size: 12pt}",
    ".FontTitle3     {font-family: Arial, Helvetica, sans-serif; font-size: 8pt}",
    ".TableHeaderRow {font-family: Arial, Helvetica, sans-serif; font-size: 8pt; font-weight: "
    "bold; background-color: #B2B7CA}",
    ".TableFirstCell {font-family: Arial, Helvetica, sans-serif; font-size: 8pt; "
    "background-color: #F0F0F0}",
    ".Table          {font-family: Arial, Helvetica, sans-serif; font-size: 8pt}",
    ".PageBreak      {page-break-after:always}",
    "-->",
    "</STYLE>",
    "</HEAD>",
    "<BODY CLASS=\"FontStandard\" bgcolor=\"#FFFFFF\" text=\"#000000\">",
};

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The next code point of a UTF-8 text; a byte that starts no valid sequence stands for
// itself (a text that already is single-byte).
char32_t NextCodePoint(const std::string& text, std::size_t& at) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    int length = lead < 0x80         ? 1
                 : (lead >> 5) == 6  ? 2
                 : (lead >> 4) == 14 ? 3
                 : (lead >> 3) == 30 ? 4
                                     : 0;
    if (length <= 1 || at + length > text.size()) {
        ++at;
        return lead;
    }
    char32_t code = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return lead;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    at += length;
    return code;
}

// The page's single-byte form: ISO-8859-1, other characters as numeric references.
std::string ToLatin1(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = NextCodePoint(text, at);
        if (code < 0x100)
            out += static_cast<char>(code);
        else
            out += "&#" + std::to_string(static_cast<unsigned long>(code)) + ";";
    }
    return out;
}

} // namespace

TCordessaReport::TCordessaReport(const std::string& name, const std::string& title)
    : ReportDirectory(PrivateTemporaryDirectory()),
      ReportFileName(FittingFileStem(name, ReportExtension.size()) + std::string(ReportExtension)) {
    for (const char* line : PageHead)
        ReportLines.push_back(line ? line : "<TITLE>" + EscapeHtml(title) + "</TITLE>");
}

std::string TCordessaReport::EscapeHtml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string TCordessaReport::ToHtmlLine(const std::string& text) {
    std::string kept;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] != '\r' && text[i] != '\n' && text[i] != '\0')
            kept += text[i];
    if (!text.empty())
        kept += text.back();
    std::string line = EscapeHtml(kept);
    ReplaceAll(line, " ", "&nbsp;");
    ReplaceAll(line, "\r", "<BR>");
    return line + "<BR>";
}

void TCordessaReport::AddTitle1(const std::string& text) {
    ReportLines.push_back("<P class=\"FontTitle1\">" + EscapeHtml(text) + "</P>");
}

void TCordessaReport::AddLine(const std::string& text) {
    ReportLines.push_back(ToHtmlLine(text));
}

void TCordessaReport::AddHtml(const std::string& markup) {
    ReportLines.push_back(markup);
}

void TCordessaReport::FinishReport() {
    ReportLines.push_back("</BODY>");
    ReportLines.push_back("</HTML>");
    std::string page;
    for (const std::string& line : ReportLines)
        page += ToLatin1(line) + "\r\n";
    ReplacePrivateFile(ReportPath(), page);
}

void TCordessaReport::OpenReport() {
    if (!StartProgram(ReportFileName, "", ReportDirectory))
        ShowError("Could not start " + ReportFileName);
}

} // namespace parvela
