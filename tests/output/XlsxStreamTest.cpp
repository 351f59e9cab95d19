// The streamed workbook read back: the ZIP whole (every CRC checked by
// unzip), texts through the shared strings with what XML must escape and
// accented letters, numbers in their shortest text, cells where they were put.

#include "output/XlsxStream.h"

#include "data/AtomicFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace presenze;
namespace fs = std::filesystem;

namespace {

std::string unzip(const std::vector<std::string>& args)
{
    return test::runTool("unzip", args).output;
}

} // namespace

TEST(XlsxStream, TheWorkbookReadsBackWithItsSharedStringsAndNumbers)
{
    test::TempDir dir;
    const fs::path file = dir / "prova.xlsx";
    {
        AtomicFile out(file);
        XlsxStream book(out);
        const auto bold = book.addFormat({.bold = true});
        const auto money = book.addFormat({.colour = 0x808080, .numberFormat = "#,##0.00 \"<\""});
        book.beginSheet({.name = "Dati", .frozenRows = 1, .headingRows = 1});
        book.text(0, 0, "Ditta", bold);
        book.text(0, 27, "Importo", bold);
        book.text(1, 0, "Rossi & Figli <S.p.A.> \"Caff\xC3\xA8 Citt\xC3\xA0\"");
        book.number(1, 27, 0.1, money);
        book.text(2, 0, "Rossi & Figli <S.p.A.> \"Caff\xC3\xA8 Citt\xC3\xA0\"");
        book.number(2, 1, std::int64_t{-45292});
        book.number(2, 2, 1234.5);
        book.beginSheet({.name = "2024-06"});
        book.text(0, 1, " spazi ");
        book.close();
        out.commit();
    }
    EXPECT_NE(unzip({"-t", file.string()}).find("No errors detected"), std::string::npos);
    const std::string strings = unzip({"-p", file.string(), "xl/sharedStrings.xml"});
    EXPECT_NE(strings.find("count=\"5\" uniqueCount=\"4\""), std::string::npos) << strings;
    EXPECT_NE(strings.find("<si><t>Ditta</t></si><si><t>Importo</t></si><si><t>Rossi &amp; Figli "
                           "&lt;S.p.A.&gt; &quot;Caff\xC3\xA8 Citt\xC3\xA0&quot;</t></si>"
                           "<si><t xml:space=\"preserve\"> spazi </t></si>"),
              std::string::npos)
        << strings;
    const std::string sheet = unzip({"-p", file.string(), "xl/worksheets/sheet1.xml"});
    for (const char* cell :
         {"<row r=\"1\"><c r=\"A1\" s=\"1\" t=\"s\"><v>0</v></c><c r=\"AB1\" s=\"1\" "
          "t=\"s\"><v>1</v>",
          "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>2</v></c><c r=\"AB2\" s=\"2\"><v>0.1</v></c></row>",
          "<c r=\"A3\" t=\"s\"><v>2</v></c><c r=\"B3\"><v>-45292</v></c><c r=\"C3\"><v>1234.5</v>",
          "<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"})
        EXPECT_NE(sheet.find(cell), std::string::npos) << cell << "\n" << sheet;
    const std::string styles = unzip({"-p", file.string(), "xl/styles.xml"});
    EXPECT_NE(styles.find("formatCode=\"#,##0.00 &quot;&lt;&quot;\""), std::string::npos) << styles;
    const std::string book = unzip({"-p", file.string(), "xl/workbook.xml"});
    EXPECT_NE(book.find("<sheet name=\"2024-06\" sheetId=\"2\" r:id=\"rId2\"/>"),
              std::string::npos);
    EXPECT_NE(book.find("localSheetId=\"0\">'Dati'!$1:$1</definedName>"), std::string::npos)
        << book;
}
