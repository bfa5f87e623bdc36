#pragma once
// The splash window's two pictures: "splash.png" and "splashcorner.png" from
// the shipped assets when present, else drawn here (the program's name on a
// dark ground, a small envelope), so the splash never shows an empty frame.

#include <QPixmap>
#include <QSize>

namespace manager {

QPixmap SplashPicture(QSize size);
QPixmap SplashCornerPicture(QSize size);

}  // namespace manager
