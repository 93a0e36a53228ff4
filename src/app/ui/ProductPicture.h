#pragma once

#include <QPixmap>
#include <QString>

class QPainter;
class QRect;

namespace torvm::ui {

// "Wettkampfverwaltung Version 3.40", the line the splash and the about box carry.
QString productLine();

// The picture of the splash window and the about box: a target over a field in the club colours
// and the product line, right-aligned, in bold Arial of 16 pixels.
void paintProductPicture(QPainter& painter, const QRect& rect);
QPixmap productPicture();

} // namespace torvm::ui
