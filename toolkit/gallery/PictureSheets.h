// PictureSheets: sheets of every numbered picture for a person to judge, at
// 1x and at 2x: the icons at their size and at the sizes the menus, lists
// and headers use, the buttons in both looks as the skinned buttons draw
// them, the main view's two pages laid out on the skin, and the dialogs on
// their backgrounds with their controls.
#pragma once

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>

namespace gallery {

// Renders every sheet into `folder`; returns how many files were written.
int RenderPictureSheets(const QDir& folder);

// A white sheet of `size` logical pixels for a device of `ratio`.
QImage BlankSheet(const QSize& size, qreal ratio, const QColor& fill = QColor(0xF7, 0xF7, 0xF7));

// A numbered picture for `ratio`, with its black key made transparent
// when `keyed`.
QImage Picture(int number, qreal ratio, bool keyed = false);

// An icon scaled smoothly to `side` logical pixels, as the image lists do.
QImage ScaledIcon(int number, int side, qreal ratio);

// A skinned button as the main view shows it: the button face (white with
// a raised edge when hovered), the picture centred at the top.
void DrawSkinButton(QPainter& painter, const QRect& rect, int picture, bool hovered, qreal ratio);

// A caption in the sheet's small grey label style.
void DrawCaption(QPainter& painter, const QRect& rect, const QString& text, int flags = Qt::AlignCenter);

// Writes `image` as "<name>_<ratio>x.png"; true when written.
bool SaveSheet(const QImage& image, const QDir& folder, const QString& name, qreal ratio);

// The main view's two pages and the dialogs (ScreenSheets.cpp).
int RenderScreenSheets(const QDir& folder, qreal ratio);

}  // namespace gallery
