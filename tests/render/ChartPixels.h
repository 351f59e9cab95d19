#pragma once
// What a picture of a chart holds: the pixels of the confirmed bookings'
// colour, and how many colours there are (a blank picture has one).

#include "render/ChartColours.h"

#include <QImage>
#include <set>
#include <utility>

namespace presenze::test {

inline std::pair<int, std::size_t> confirmedPixels(const QImage& image)
{
    int confirmed = 0;
    std::set<QRgb> colours;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb pixel = rgb.pixel(x, y);
            confirmed += pixel == chart::kConfirmed.rgb();
            colours.insert(pixel);
        }
    }
    return {confirmed, colours.size()};
}

} // namespace presenze::test
