#pragma once

#include <QIcon>

class TImageList;

constexpr int kMainImageCount = 18;

// The 18 pictures of the main window's commands, 16 x 16, by index.
void fill_main_images(TImageList& images);
// The picture of the ribbon's application button, 32 x 32; the program's icon.
QIcon main_application_icon();
