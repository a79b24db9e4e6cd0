#pragma once
// Wildcard patterns for log lines:
//   #      one decimal digit 0-9
//   ?      any one character
//   *      any run of characters, also empty
//   [abc]  one of the listed characters; a-z inside stands for a range and
//          a leading ! negates the list ([!0-9] is any non-digit)
// Every other character stands for itself, letter case significant. A "["
// without a closing "]" stands for itself.

#include <QStringView>

bool likeMatch(QStringView text, QStringView pattern);
