#pragma once

#include <QString>
#include <QtTest>

// Bit-for-bit equality of two numbers; QCOMPARE on floating point is fuzzy.
#define COMPARE_EXACT(actual, expected)                                                            \
    QVERIFY2((actual) == (expected), qPrintable(QStringLiteral("%1 != %2")                         \
                                                    .arg(double(actual), 0, 'g', 17)               \
                                                    .arg(double(expected), 0, 'g', 17)))
