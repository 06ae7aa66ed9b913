#pragma once

#include <QString>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

// A seeded generator of hostile values. Its own arithmetic over mt19937_64 (whose output the standard fixes), so
// every platform and library replays the same cases from the same seed.
class Hostile {
public:
    explicit Hostile(uint64_t seed) : g_(seed) {}

    uint64_t Bits() { return g_(); }
    // Uniform enough in [lo, hi]; the tiny modulo bias does not matter here.
    long long Int(long long lo, long long hi)
    {
        // Unsigned arithmetic: the span of the whole type wraps to 0 instead of overflowing.
        const unsigned long long span = static_cast<unsigned long long>(hi) - static_cast<unsigned long long>(lo) + 1;
        const unsigned long long offset = span == 0 ? g_() : g_() % span;
        return static_cast<long long>(static_cast<unsigned long long>(lo) + offset);
    }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    template <typename T, size_t N>
    T Pick(const T (&values)[N])
    {
        return values[Int(0, N - 1)];
    }

    // Mostly plausible values, often the edges of the type, sometimes anything the type holds.
    template <typename T>
    T Edge(long long plausibleLo, long long plausibleHi)
    {
        using L = std::numeric_limits<T>;
        switch (Int(0, 5)) {
        case 0:
            return L::min();
        case 1:
            return L::max();
        case 2:
            return static_cast<T>(Int(static_cast<long long>(L::min()), static_cast<long long>(L::max())));
        default:
            return static_cast<T>(Int(plausibleLo, plausibleHi));
        }
    }

    float Degree()
    {
        static const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                    -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(),
                                    std::numeric_limits<float>::lowest(), std::numeric_limits<float>::denorm_min(),
                                    -0.0f, 359.9999f, 360.0f, -0.0001f, 1e9f, -1e9f};
        return Chance(35) ? Pick(odd) : static_cast<float>(Int(-7200000, 7200000)) / 1000.0f;
    }

    double AnyDouble()
    {
        static const double odd[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::max(),
                                     std::numeric_limits<double>::lowest(), 1e300, -1e300, 0.0, -0.0};
        return Chance(30) ? Pick(odd) : static_cast<double>(Int(-100000000, 100000000)) / 997.0;
    }

    // Text with blanks, ASCII punctuation, CJK, a lone surrogate, supplementary characters, controls and NULs.
    QString Text(int maxLen)
    {
        static const char16_t pieces[] = {u' ',    u'\t',   u'\n',   u'\r',   u'\0',   u'\'',   u'"',    u'=',
                                          u'[',    u']',    u';',    u'\\',   u'/',    u'%',    u'-',    u':',
                                          u'0',    u'9',    u'.',    u'e',    u'x',    u'a',    u'Z',    u'+',
                                          0x5F20, 0x4E09, 0x5B50, 0x5C71, 0x3000, 0xFEFF, 0xD800, 0xDC00,
                                          0xFFFD, 0x202E, 0x0301, 0x00E9, 0xFFFF, 0x7F,   0x1F,   u'|'};
        QString s;
        const int n = static_cast<int>(Int(0, maxLen));
        s.reserve(n);
        for (int i = 0; i < n; ++i) {
            if (Chance(5)) {
                s += QChar(QChar::highSurrogate(0x1F600 + Int(0, 200)));
                s += QChar(QChar::lowSurrogate(0x1F600 + Int(0, 200)));
            } else {
                s += QChar(Pick(pieces));
            }
        }
        return s;
    }

    // Like Text, with the unpaired surrogates taken out: text that UTF-8 can carry.
    QString ValidText(int maxLen)
    {
        QString s = Text(maxLen), out;
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
                out += s[i];
                out += s[++i];
            } else if (!s[i].isSurrogate()) {
                out += s[i];
            }
        }
        return out;
    }

    // A numeric-looking text: numbers of every size and form, garbage around them, or nothing at all.
    QString NumberText()
    {
        static const char *odd[] = {"",     " ",      "nan",   "NaN",       "inf",  "-inf", "1e999", "-1e999",
                                    "1e-999", "0x10", "+",     "-",         "--1",  "1-",   "1.5.2", "١٢",
                                    "9223372036854775807", "9223372036854775808", "-9223372036854775809",
                                    "99999999999999999999999", "2147483648", "-2147483649", "65536", "256", "255",
                                    "-1", "3.4e38", "3.5e38", "1,5", " 12 ", "\t7", "0", "00000000000000000001"};
        switch (Int(0, 3)) {
        case 0:
            return QString::fromUtf8(Pick(odd));
        case 1:
            return QString::number(Int(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
        case 2:
            return QString::number(AnyDouble(), 'g', static_cast<int>(Int(1, 20)));
        default:
            return Text(8);
        }
    }

    std::string Bytes(int maxLen)
    {
        std::string s;
        const int n = static_cast<int>(Int(0, maxLen));
        s.reserve(n);
        for (int i = 0; i < n; ++i)
            s += static_cast<char>(Int(0, 255));
        return s;
    }

private:
    std::mt19937_64 g_;
};
