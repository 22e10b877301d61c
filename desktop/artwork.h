// Tarne's pictures, drawn here so that no image plugin is needed: the
// window icon and the splash picture.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tarne::desktop {

// The icon: an essay sheet over three score bars, as in tarne.svg.
QIcon TarneIcon();
// Draws the icon into a square of side size.
QPixmap IconPixmap(int size);
// The splash picture, 369 by 269 pixels.
QPixmap SplashPicture();

}  // namespace tarne::desktop
