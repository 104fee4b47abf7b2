#include "effects/PointList.h"

#include "platform/LFile.h"
#include "platform/LFolders.h"
#include "platform/LTrace.h"

#include <algorithm>

void PointList::Validate()
{
    if (nPoints > POINTLISTMAX) {
        LTrace("PointList::Validate() nPoints >= POINTLISTMAX");
        nPoints = POINTLISTMAX;
    }
    for (int i = 1; i < nPoints; ++i) {
        if (aPoints[i].x < aPoints[i - 1].x) {
            LTrace("PointList::Validate() Points not in ascending x order");
            aPoints[i].x = aPoints[i - 1].x;
        }
    }
}

bool PointList::Load(const std::string& strPath)
{
    nPoints = 0;
    LFile file;
    uint8_t bCount = 0;
    if (!file.Open(strPath, LFile::Mode::Read) || file.Read(&bCount, 1) != 1) {
        LTrace("PointList::Load unable to read file");
        return false;
    }
    // The count is held at the list's size before its points are read.
    const int n = std::min<int>(bCount, POINTLISTMAX);
    uint8_t bytes[2 * POINTLISTMAX];
    const int64_t iGot = file.Read(bytes, 2 * n);
    nPoints = uint8_t(std::max<int64_t>(iGot, 0) / 2);
    for (int i = 0; i < nPoints; ++i)
        aPoints[i] = { bytes[2 * i], bytes[2 * i + 1] };
    Validate();
    return true;
}

bool PointList::Save(const std::string& strPath) const
{
    LFile file;
    if (!file.Open(strPath, LFile::Mode::CreateWrite)) {
        LTrace("PointList::Save unable to open write file");
        return false;
    }
    const int n = std::min<int>(nPoints, POINTLISTMAX);
    uint8_t bytes[1 + 2 * POINTLISTMAX];
    bytes[0] = uint8_t(n);
    for (int i = 0; i < n; ++i) {
        bytes[1 + 2 * i] = aPoints[i].x;
        bytes[2 + 2 * i] = aPoints[i].y;
    }
    return file.Write(bytes, 1 + 2 * n) == 1 + 2 * n && file.Close();
}

std::string PointList::CurvePath(const char* szName)
{
    std::string strPath = LFolders::GetCurrentFolder();
    LFile::FilePathCat(strPath, szName);
    return strPath;
}
