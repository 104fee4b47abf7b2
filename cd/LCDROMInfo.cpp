#include "cd/LCDROMInfo.h"

#include "cd/LCDTOC.h"
#include "process/LProgressDialog.h"

int ProcessBody(LProgressDialog& dlg, LCDROMInfo& info)
{
    dlg.SetText("Loading CD Track List(s)", 0);
    dlg.SetText("Please wait...", 1);
    info = LCDROMInfo();
    const int iDrives = ProcessSCSICDGetNumberCDDrives();
    info.uDriveCount = uint8_t(iDrives);
    for (int n = 0; n < iDrives; ++n) {
        if (dlg.CheckCancel())
            return 1;
        LCDROMInfo::Disc& disc = info.aDrives[size_t(n)];
        LSCSI scsi;
        LCDTOC toc;
        if (ProcessSCSICDOpenDrive(n, scsi, disc.strError) != 0
            || toc.Read(scsi, disc.strError) != 0)
            continue;
        disc.uTrackCount = toc.GetTrackCount();
        for (size_t i = 0; i < toc.tracks.size(); ++i) {
            disc.durations.push_back(toc.DurationSeconds(i));
            disc.data.push_back(toc.tracks[i].bData);
        }
        dlg.SetProgress(double(n + 1) / iDrives);
    }
    return 0;
}
