#pragma once

#include <QPixmap>
#include <QSize>

namespace kitebar::app {

// The pictures of the simulation settings dialog, drawn by the program itself.

// The state pictures of the draw list, in image-list order: 0 a grey ball
// (estimated), 1 a red ball (not set), 2 a green ball (decided); 16 x 16 on a
// transparent ground.
inline constexpr int kStatePictureSize = 16;
enum StatePicture { kEstimatedPicture = 0, kUnsetPicture = 1, kDecidedPicture = 2 };
QPixmap StatePicturePixmap(StatePicture picture);

// The legend: the grey, red and green balls stacked, 16 x 48.
QPixmap LegendPicture();

// The speed profile of one windmill: the speed rises from the start point to
// the reach point, stays level to the hit point and falls after it; a red arrow
// spans start to reach and a blue arrow start to hit. The horizontal places of
// the three points, as fractions of the width, let labels stand under them.
inline constexpr double kProfileStartAt = 0.08;
inline constexpr double kProfileReachAt = 0.40;
inline constexpr double kProfileHitAt = 0.74;
QPixmap SpeedProfilePicture(QSize size);

}  // namespace kitebar::app
