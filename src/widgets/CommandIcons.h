#pragma once

#include <QIcon>

namespace torvm::ui {

// The toolbar pictures, drawn here so that they are crisp at any screen scale. Empty for a
// command without a picture.
QIcon commandIcon(int id);
// The program's window icon: a target.
QIcon applicationIcon();
// The same target as one picture of size x size pixels, for the desktop's icon theme.
QImage applicationPicture(int size);

} // namespace torvm::ui
