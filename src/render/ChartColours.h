#pragma once
// The colours of the charts: one blue in two shades for confirmed and
// optional bookings (told apart by lightness, so they read alike to
// colour-blind eyes and in black-and-white print), greys for the rest. The
// indicators' columns are a middle shade of the same blue (a middle grey in
// print) under last year's line in the text's near-black.

#include <QColor>

namespace presenze::chart {

inline const QColor kConfirmed{0x08, 0x51, 0x9c};
inline const QColor kOptional{0x9e, 0xca, 0xe1};
inline const QColor kGridLine{0xbd, 0xbd, 0xbd};
inline const QColor kText{0x21, 0x21, 0x21};
inline const QColor kMutedText{0x75, 0x75, 0x75};
inline const QColor kWeekend{0xee, 0xee, 0xee};
inline const QColor kPeriod{0x6b, 0xae, 0xd6};

} // namespace presenze::chart
