#pragma once
// Small helpers shared by the tests.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>
#include <ostream>

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Bytes from a hex string with optional spaces and commas: "35 12 01 00".
inline QByteArray hexBytes(const char *hex)
{
    QByteArray clean(hex);
    clean.replace(' ', "").replace(',', "").replace('\n', "");
    return QByteArray::fromHex(clean);
}

// Lets gtest print QStrings and QByteArrays readably.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QByteArray &b, std::ostream *os) { *os << b.toHex(' ').toStdString(); }
QT_END_NAMESPACE
