#include "state/SharedRecords.h"

#include "state/RenderSettings.h"

RenderSettings* theRenderSettings = ConstructForever<RenderSettings>();
