#pragma once

#include <QString>

// The bundled help pages: beside the program in the build tree, under
// share/ when installed. User-interface thread.
class LHelp {
public:
    // Opens the page at the topic's anchor ("" for the start) in the
    // browser; false when the page is missing or could not be shown, with
    // the message to show.
    static bool Open(const QString& strTopic, QString& strMessage);
};
