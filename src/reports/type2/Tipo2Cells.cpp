#include "reports/type2/Tipo2Cells.h"

#include "common/ReportFile.h"

namespace presenze {

std::string rightAligned(std::int64_t value, std::size_t width)
{
    std::string text = std::to_string(value);
    if (text.size() < width)
        text.insert(0, width - text.size(), ' ');
    return text;
}

void writeKindLines(ReportWriter& out, BookingKind kind, const CellLine& presCon,
                    const CellLine& con, const CellLine& presOpz, const CellLine& opz)
{
    if (kind == BookingKind::Confirmed || kind == BookingKind::All) {
        out.line(presCon.text());
        out.line(con.text());
    }
    if (kind == BookingKind::Optional || kind == BookingKind::All) {
        out.line(presOpz.text());
        out.line(opz.text());
    }
}

} // namespace presenze
