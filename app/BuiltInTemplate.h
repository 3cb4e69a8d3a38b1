// The built-in template that the main window's image shows before a configuration is
// loaded: 30 simple pictures in the cells of the hit grid, with ruled lines on the grid's
// bounds. Drawn by the program itself, and also written out as examples/Tarni_1.BMP.
#pragma once

#include <QImage>

namespace app {

inline constexpr int kBuiltInTemplateWidth = 800;
inline constexpr int kBuiltInTemplateHeight = 566;

// 800 x 566, 8 bits per pixel with a 256-colour palette. The same every time it is drawn.
QImage BuiltInTemplate();

}  // namespace app
