#pragma once

#include <QImage>
#include <QMargins>
#include <QPainter>
#include <QRect>
#include <QRegion>

class QWidget;

// Drawing of skin element pictures. A picture is a strip of `count` equal frames, side by side (columns) or,
// with `vertical`, one above the other; frames are numbered from 1. A count below 1 counts as 1 and a frame
// index outside 1..count as the nearest existing frame, so a state the strip lacks shows its last frame.
// Margins are the fixed left, top, right and bottom ends of a frame; what lies between is stretched, or tiled
// where asked. Stretching is nearest-neighbour. "Transparent" leaves out magenta pixels.
// Every function draws nothing for a target of negative (or zero) width or height, or a null picture.

QRect SkinFrameRect(const QImage &image, int count, int index, bool vertical = false);

// The frame as a nine-grid of the target's size. Ends that do not fit (left + right > width, or top + bottom
// > height) are dropped in that direction.
QImage GetHMap(const QSize &target, const QImage &image, const QMargins &margins, bool vertical, bool tile,
               int count, int index);
void DrawRect2(QPainter &p, const QRect &target, const QImage &image, const QMargins &margins, bool vertical,
               bool tile, bool transparent, int count, int index);
// One column frame stretched whole over the target.
void DrawRect1(QPainter &p, const QRect &target, const QImage &image, bool transparent, int count, int index);
// One column frame at its own size, centred (offsets rounded toward zero).
void DrawRect3(QPainter &p, const QRect &target, const QImage &image, bool transparent, int count, int index);
// Three slices across: the ends stretched to the target's height, the middle tiled.
void DrawRectTile(QPainter &p, const QRect &target, const QImage &image, const QMargins &margins, bool vertical,
                  bool transparent, int count, int index);
// Three slices across with the middle stretched; a target narrower than a frame gets the whole frame.
void DrawRectH(QPainter &p, const QRect &target, const QImage &image, const QMargins &margins, bool vertical,
               int count, int index);
// The source rectangle of the picture tiled over the target from its top-left corner.
void DrawBGbmp(QPainter &p, const QRect &target, const QImage &image, const QRect &source);
// The picture at the target's top-left, pixels of `colour` (0x00BBGGRR) left out.
void DrawTranmap(QPainter &p, const QRect &target, const QImage &image, quint32 colour);
// The picture's pixels outside the transparent range (each channel from the colour's value up to value +
// tolerance), moved by (dx, dy).
QRegion BitmapToRegion(const QImage &image, int dx, int dy, quint32 colour, int tolRed, int tolGreen,
                       int tolBlue);
// What the control's parent paints under it (its background and its own painting, not its children).
void DrawParentImage(QWidget *control, QPainter &p);

// A copy with magenta (or `colour`) made fully transparent, ready for QPainter.
QImage KeyedImage(const QImage &image, quint32 colour = 0xFF00FF);
