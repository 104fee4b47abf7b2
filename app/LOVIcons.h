#pragma once

#include <QIcon>
#include <QImage>

// The editor window's own pictures, drawn at run time so that they scale
// with the button size: transport buttons, the document window's display
// buttons, toolbar images the icon theme lacks, and the program icon.
class LOVIcons {
public:
    enum Kind {
        Play,
        Record,
        Scrub,
        Stop,
        Start,
        Rewind,
        Forward,
        End,
        ZoomOut,
        ZoomIn,
        ZoomSelection,
        ZoomFull,
        VerticalZoom,
        DisplayPlusMinus,
        DisplayLeftRight,
        Cut,
        Copy,
        Paste,
        Delete,
        Program,
    };

    static QIcon Get(Kind kind);
    // The picture drawn at iSize pixels square (the installed program icons).
    static QImage Image(Kind kind, int iSize);
    // The theme's icon of that name, else our picture.
    static QIcon Themed(const char* szThemeName, Kind fallback);
};
