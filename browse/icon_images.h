#pragma once
// The program's 38 built-in pictures, drawn with simple shapes at any size so that every row
// and node has its image on a host without an icon theme. Drawing needs a graphical
// application and runs on the user-interface thread only.

#include <QPixmap>

// The picture of a built-in index (0..37) as a square pixmap of nSize pixels; a null pixmap
// for any other index.
QPixmap DrawBuiltInIcon(int nIndex, int nSize);
