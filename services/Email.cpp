#include "services/Email.h"

#include "engine/MainDialog.h"
#include "platform/mail/LMapi.h"

void Email::SendMAPIDocument(MainDialog& main, LOVFile& doc)
{
    if (!main.SaveChanges(doc) || doc.szFilePath.empty() || !LMapi::IsPresent())
        return;
    LMapi::MAPISendDocuments({ doc.szFilePath });
}
