#pragma once
// The font of the program's lists (the address list, the card editor's
// lists, the group lists): a Japanese font in which a full-width character
// is exactly two half-width columns, so that the list's columns line up,
// at the list size of 14 pixels.

#include <QFont>

QFont listFont();
