#pragma once

#include <cstdint>
#include <initializer_list>

// A curve of up to POINTLISTMAX points (x, y), one byte each: the envelope's
// and the equalizer's. Only the first nPoints entries are meaningful.
struct PointList {
    static constexpr int POINTLISTMAX = 64;
    struct Point {
        uint8_t x;
        uint8_t y;
    };

    uint8_t nPoints = 0;
    Point aPoints[POINTLISTMAX] = {};

    static PointList Of(std::initializer_list<Point> points)
    {
        PointList list;
        for (const Point& p : points)
            if (list.nPoints < POINTLISTMAX)
                list.aPoints[list.nPoints++] = p;
        return list;
    }
};
