#include "reports/type2/ScriviRiga.h"

#include "reports/type2/Tipo2Cells.h"

namespace presenze {
namespace {

// The summary line of the closing table: "¦ ", the name padded to 32
// characters (a longer name is written whole), then the five totals.
std::string summaryLine(std::string_view nome, const TotaliTipo2& totals, std::int32_t importo)
{
    std::string line;
    line += box::kBrokenBar;
    line += ' ';
    appendReportText(line, nome);
    if (nome.size() < 32)
        line.append(32 - nome.size(), ' ');
    line += box::kVertical;
    for (const std::int32_t value :
         {totals.PresCon, totals.PresOpz, totals.CamCon, totals.CamOpz}) {
        line += rightAligned(value, 8);
        line += box::kVertical;
    }
    line += rightAligned(importo, 12);
    line += box::kVertical;
    return line;
}

} // namespace

void ScriviRiga(ReportWriter& out, std::string_view nome, Tipo2Tables& tables, BookingKind kind)
{
    CellLine prc("     PrC"), pro("     PrO"), con("     CON"), opz("     OPZ");

    TotaliTipo2 totals; // the four counts and the exact amount of the company
    bool shown = false;
    for (int d = 1; d <= 31; ++d) {
        TotaliTipo2& day = tables.GiornoTipo2[d];
        // Most days of a company are empty: four blank cells, nothing to add.
        if (day.PresCon == 0 && day.PresOpz == 0 && day.CamCon == 0 && day.CamOpz == 0 &&
            day.Importo.units == 0) {
            prc.cell(0, false);
            pro.cell(0, false);
            con.cell(0, false);
            opz.cell(0, false);
            continue;
        }
        prc.cell(day.PresCon, day.PresCon > 0);
        pro.cell(day.PresOpz, day.PresOpz > 0);
        con.cell(day.CamCon, day.CamCon > 0);
        opz.cell(day.CamOpz, day.CamOpz > 0);
        addChecked(totals.PresOpz, day.PresOpz, "persone opzionate");
        addChecked(totals.PresCon, day.PresCon, "persone confermate");
        addChecked(totals.CamOpz, day.CamOpz, "camere opzionate");
        addChecked(totals.CamCon, day.CamCon, "camere confermate");
        totals.Importo += day.Importo;
        shown = shown || day.anyCount();
        day = TotaliTipo2{};
    }
    if (!shown)
        return;
    // Rounded once, when it is written.
    std::int32_t importo = 0;
    addChecked(importo, totals.Importo.roundToEven(), "importo");

    out.line(reportText(nome));
    writeKindLines(out, kind, prc, con, pro, opz);
    tables.RiepilogoDitte += kLineEnd;
    tables.RiepilogoDitte += summaryLine(nome, totals, importo);

    TotaliTipo2& all = tables.TotaleGenerale;
    addChecked(all.PresOpz, totals.PresOpz, "persone opzionate");
    addChecked(all.PresCon, totals.PresCon, "persone confermate");
    addChecked(all.CamOpz, totals.CamOpz, "camere opzionate");
    addChecked(all.CamCon, totals.CamCon, "camere confermate");
    all.Importo += totals.Importo;
}

} // namespace presenze
