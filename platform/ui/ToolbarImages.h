#pragma once
// The toolbar's pictures and the application icon as Qt images.

#include <QIcon>
#include <QImage>

// Picture `index` of the toolbar strip, 16 x 15, the button face transparent; a null image for an
// index outside the strip.
QImage ToolbarImage(int index);
QIcon ToolbarIcon(int index);
// The application icon (resource 128), drawn from the solid-box picture.
QIcon ApplicationIcon();
