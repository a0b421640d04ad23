#pragma once
// Counting the pixels of a colour in a chart's image.

#include <QColor>
#include <QImage>

#include <cstdlib>

// Pixels of a colour close to this one.
inline int Pixels(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - colour.red()) < 30 && std::abs(c.green() - colour.green()) < 30 &&
                 std::abs(c.blue() - colour.blue()) < 30;
        }
    return n;
}
