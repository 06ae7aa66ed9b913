#include "MQuorin.h"

#include "ChartPainterQuorin.h"
#include "CompassRenderer.h"
#include "MImagePlus.h"

#include <QImage>

void MQuorin::SetCompassLayers(const TCompassLayers &layers)
{
    // The count stored with the switches may come from an old settings file or a hand edit.
    Layers = layers.Normalized();
}

bool MQuorin::DrawCompass()
{
    if (!pImg || pImg->isNull())
        return false;
    if (!pImagePlus)
        pImagePlus = std::make_shared<MImagePlus>();
    MImagePlus &surface = *pImagePlus;
    if (!surface.BeginDraw(pImg))
        return false;
    CompassInput input;
    input.layers = Layers;
    input.panAngle = PanAngle;
    input.ringOffset = RingOffset;
    input.hasPlan = Rec.hasPlan != 0;
    input.degree = Rec.degree;
    input.zuoShan = ZuoShan;
    input.jianShan = JianShan;
    const PanGeometry g = PictureGeometryOf(*this);
    fRadius = g.fRadius;
    CompassRenderer(surface, g, iTilt).Draw(input);
    surface.EndDraw();
    iDrawnKey = pImg->cacheKey();
    return true;
}
