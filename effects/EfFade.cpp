#include "effects/EfFade.h"

#include "effects/LEfEnvelope.h"

PointList EfFade::Curve(Kind eKind)
{
    if (eKind == FadeIn)
        return PointList::Of({ { 0, 0 }, { 255, 128 } });
    return PointList::Of({ { 0, 128 }, { 255, 0 } });
}

int ProcessBody(LProgressDialog& dlg, EfFade& data)
{
    if (data.pDoc && data.iEnd <= data.iStart)
        return 0;
    PointList curve = EfFade::Curve(data.eKind);
    LEfEnvelope envelope { data.pDoc, data.iEnd, data.iStart, &curve };
    int iResult = ProcessBody(dlg, envelope);
    if (iResult == 0 && data.eKind == EfFade::FadeOutAndTrim)
        data.pDoc->EfDeleteAfter(data.iEnd);
    return iResult;
}
