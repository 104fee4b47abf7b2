#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// A curve of up to POINTLISTMAX points (x, y), one byte each: the envelope's
// and the equalizer's. Only the first nPoints entries are meaningful. Its
// file holds the count byte and then the count's (x, y) pairs.
struct PointList {
    static constexpr int POINTLISTMAX = 64;
    struct Point {
        uint8_t x;
        uint8_t y;
        bool operator==(const Point&) const = default;
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
    // (0, 128) to (255, 128): unchanged sound.
    static PointList Flat() { return Of({ { 0, 128 }, { 255, 128 } }); }

    // Holds the count at POINTLISTMAX and raises an x below its predecessor's
    // to it.
    void Validate();
    // Reads a curve file, then validates it. A file that cannot be read
    // leaves an empty list (false); a short file keeps the whole pairs read.
    bool Load(const std::string& strPath);
    // Creates or truncates the file and writes the list; false when it
    // cannot be written whole.
    bool Save(const std::string& strPath) const;

    // A curve file in the "Current" data folder ("equalizer.dat", "envelope.dat").
    static std::string CurvePath(const char* szName);
};
