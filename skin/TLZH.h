#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The LZHUF codec of skin packages: LZSS over a 4,096-byte ring whose first 4,036 bytes start as blanks,
// matches of 3..60 bytes, literals and match lengths coded with an adaptive Huffman tree of 314 symbols,
// match positions with a fixed code for their upper 6 bits and 6 plain bits below. Bits are sent most
// significant first.
//
// The decoder works on untrusted bytes: it never produces more than the length asked for, and a stream that
// ends before that length is reached (beyond the two final bytes a writer may leave out, which read as 0) is
// reported as damaged instead of being padded with zeros.
class TLZH {
public:
    enum class Result { Ok, Damaged };

    // Decodes exactly `length` bytes from `in` into `out` (replaced). On Damaged, `out` holds what was decoded.
    static Result LZHUnpack(QByteArrayView in, qint64 length, QByteArray &out);
    // The bit stream for `in`; its decoded length is in.size().
    static QByteArray LZHPack(QByteArrayView in);

    // Ring geometry, shared with the encoder and with tests that build streams by hand.
    static constexpr int N = 4096;      // ring size
    static constexpr int F = 60;        // longest match
    static constexpr int THRESHOLD = 2; // a match this long or shorter is sent as a literal
    static constexpr int N_CHAR = 256 - THRESHOLD + F; // symbols: 256 literals and the match lengths 3..60
    static constexpr int T = 2 * N_CHAR - 1;           // tree nodes
    static constexpr int R = T - 1;                    // root
    static constexpr unsigned MAX_FREQ = 0x8000;       // root frequency that halves every frequency
};
