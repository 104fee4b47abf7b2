#pragma once

class MainDialog;
class LOVFile;

// Sending a document's file by e-mail (command 1009).
class Email {
public:
    // Offers to save a modified document first (Cancel ends the command),
    // then hands the file on disk to the user's mail program as the
    // attachment of a new message, without waiting for it. Ends silently
    // when there is no file (an untitled document not saved) or no mail
    // program; the mail program reports its own errors.
    static void SendMAPIDocument(MainDialog& main, LOVFile& doc);
};
