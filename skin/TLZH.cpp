#include "TLZH.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr int N = TLZH::N, F = TLZH::F, THRESHOLD = TLZH::THRESHOLD, N_CHAR = TLZH::N_CHAR, T = TLZH::T,
              R = TLZH::R;
constexpr int RingStart = N - F; // bytes of blanks before the first output byte

// Code lengths of the upper 6 bits of a match position (1 of 3 bits, 3 of 4, 8 of 5, 12 of 6, 24 of 7,
// 16 of 8), with the canonical codes assigned in order. The decoder's tables index all 256 byte values.
struct PositionCode {
    std::array<unsigned char, 64> len{}, code{};
    std::array<unsigned char, 256> dcode{}, dlen{};
    constexpr PositionCode()
    {
        constexpr int counts[] = {0, 0, 0, 1, 3, 8, 12, 24, 16};
        int p = 0, next = 0;
        for (int l = 3; l <= 8; ++l)
            for (int k = 0; k < counts[l]; ++k, ++p) {
                len[p] = static_cast<unsigned char>(l);
                code[p] = static_cast<unsigned char>(next);
                const int span = 1 << (8 - l);
                for (int b = next; b < next + span; ++b) {
                    dcode[b] = static_cast<unsigned char>(p);
                    dlen[b] = static_cast<unsigned char>(l);
                }
                next += span;
            }
    }
};
constexpr PositionCode Pos;
static_assert(Pos.code[0] == 0x00 && Pos.code[1] == 0x20 && Pos.code[4] == 0x50 && Pos.code[12] == 0x90 &&
              Pos.code[24] == 0xC0 && Pos.code[48] == 0xF0 && Pos.code[63] == 0xFF);

// The adaptive Huffman tree. Leaves are son[] values >= T (symbol + T); freq[T] is a sentinel above every
// real frequency so that the swap search in update() stops.
class HuffTree {
public:
    HuffTree()
    {
        for (int i = 0; i < N_CHAR; ++i) {
            freq_[i] = 1;
            son_[i] = static_cast<uint16_t>(i + T);
            prnt_[i + T] = static_cast<uint16_t>(i);
        }
        for (int i = 0, j = N_CHAR; j <= R; i += 2, ++j) {
            freq_[j] = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
            son_[j] = static_cast<uint16_t>(i);
            prnt_[i] = prnt_[i + 1] = static_cast<uint16_t>(j);
        }
        freq_[T] = 0xFFFF;
        prnt_[R] = 0;
    }

    int rootChild() const { return son_[R]; }
    int son(int node) const { return son_[node]; }
    int leafParent(int symbol) const { return prnt_[symbol + T]; }
    int parent(int node) const { return prnt_[node]; }

    void update(int symbol)
    {
        if (freq_[R] == TLZH::MAX_FREQ)
            reconstruct();
        int c = prnt_[symbol + T];
        do {
            const unsigned k = ++freq_[c];
            int l = c + 1;
            if (k > freq_[l]) { // order disturbed: swap c with the last node of lower frequency
                while (k > freq_[++l]) {
                }
                --l;
                freq_[c] = freq_[l];
                freq_[l] = static_cast<uint16_t>(k);
                const int i = son_[c];
                prnt_[i] = static_cast<uint16_t>(l);
                if (i < T)
                    prnt_[i + 1] = static_cast<uint16_t>(l);
                const int j = son_[l];
                son_[l] = static_cast<uint16_t>(i);
                prnt_[j] = static_cast<uint16_t>(c);
                if (j < T)
                    prnt_[j + 1] = static_cast<uint16_t>(c);
                son_[c] = static_cast<uint16_t>(j);
                c = l;
            }
        } while ((c = prnt_[c]) != 0);
    }

private:
    // Halves every leaf frequency (rounding up) and rebuilds the tree from the leaves.
    void reconstruct()
    {
        int j = 0;
        for (int i = 0; i < T; ++i)
            if (son_[i] >= T) {
                freq_[j] = static_cast<uint16_t>((freq_[i] + 1) / 2);
                son_[j] = son_[i];
                ++j;
            }
        for (int i = 0, k = N_CHAR; k < T; i += 2, ++k) {
            const unsigned f = static_cast<unsigned>(freq_[i]) + freq_[i + 1];
            int at = k - 1;
            while (f < freq_[at])
                --at;
            ++at;
            std::memmove(&freq_[at + 1], &freq_[at], sizeof(uint16_t) * (k - at));
            freq_[at] = static_cast<uint16_t>(f);
            std::memmove(&son_[at + 1], &son_[at], sizeof(uint16_t) * (k - at));
            son_[at] = static_cast<uint16_t>(i);
        }
        for (int i = 0; i < T; ++i) {
            const int k = son_[i];
            if (k >= T)
                prnt_[k] = static_cast<uint16_t>(i);
            else
                prnt_[k] = prnt_[k + 1] = static_cast<uint16_t>(i);
        }
    }

    std::array<uint16_t, T + 1> freq_{};
    std::array<uint16_t, T + N_CHAR> prnt_{};
    std::array<uint16_t, T> son_{};
};

// Most significant bit first; past the end of the input 0 bytes are supplied and counted.
class BitReader {
public:
    explicit BitReader(QByteArrayView in) : in_(in) {}

    int bit()
    {
        fill();
        const int b = buf_ >> 15;
        buf_ = static_cast<uint16_t>(buf_ << 1);
        --len_;
        return b;
    }
    int byte()
    {
        fill();
        const int b = buf_ >> 8;
        buf_ = static_cast<uint16_t>(buf_ << 8);
        len_ -= 8;
        return b;
    }
    // Bits consumed beyond the real input. Up to 16 are the final bytes a writer may omit.
    qint64 bitsPastEnd() const
    {
        const qint64 consumed = fetched_ * 8 - len_;
        return consumed - static_cast<qint64>(in_.size()) * 8;
    }

private:
    void fill()
    {
        while (len_ <= 8) {
            int b = 0;
            if (fetched_ < in_.size())
                b = static_cast<unsigned char>(in_[fetched_]);
            ++fetched_;
            buf_ = static_cast<uint16_t>(buf_ | (b << (8 - len_)));
            len_ += 8;
        }
    }

    QByteArrayView in_;
    qint64 fetched_ = 0;
    uint16_t buf_ = 0;
    int len_ = 0;
};

constexpr qint64 OmittableBits = 16;

int decodeSymbol(HuffTree &tree, BitReader &bits)
{
    int c = tree.rootChild();
    while (c < T)
        c = tree.son(c + bits.bit());
    c -= T;
    tree.update(c);
    return c;
}

int decodePosition(BitReader &bits)
{
    int i = bits.byte();
    const int upper = Pos.dcode[i] << 6;
    for (int j = Pos.dlen[i] - 2; j > 0; --j)
        i = (i << 1) + bits.bit();
    return upper | (i & 0x3F);
}

class BitWriter {
public:
    void put(unsigned value, int count) // the low `count` bits of value, highest first
    {
        for (int i = count - 1; i >= 0; --i) {
            acc_ = static_cast<unsigned char>((acc_ << 1) | ((value >> i) & 1));
            if (++n_ == 8) {
                out_.append(static_cast<char>(acc_));
                acc_ = 0;
                n_ = 0;
            }
        }
    }
    QByteArray finish()
    {
        if (n_ > 0)
            out_.append(static_cast<char>(acc_ << (8 - n_)));
        return out_;
    }

private:
    QByteArray out_;
    unsigned char acc_ = 0;
    int n_ = 0;
};

void encodeSymbol(HuffTree &tree, BitWriter &bits, int symbol)
{
    // The bits are found leaf to root and sent root first; a tree deeper than 32 levels is possible in
    // theory, so the path is kept whole.
    int k = tree.leafParent(symbol);
    unsigned char bitsFromLeaf[T];
    int m = 0;
    do {
        bitsFromLeaf[m++] = static_cast<unsigned char>(k & 1);
    } while ((k = tree.parent(k)) != R);
    for (int i = m - 1; i >= 0; --i)
        bits.put(bitsFromLeaf[i], 1);
    tree.update(symbol);
}

void encodePosition(BitWriter &bits, int position)
{
    const int upper = position >> 6;
    bits.put(Pos.code[upper] >> (8 - Pos.len[upper]), Pos.len[upper]);
    bits.put(position & 0x3F, 6);
}

} // namespace

TLZH::Result TLZH::LZHUnpack(QByteArrayView in, qint64 length, QByteArray &out)
{
    out.clear();
    if (length <= 0)
        return Result::Ok;
    out.resize(length);
    char *dst = out.data();
    HuffTree tree;
    BitReader bits(in);
    std::array<unsigned char, N + F - 1> ring{};
    std::memset(ring.data(), ' ', RingStart);
    int r = RingStart;
    qint64 count = 0;
    while (count < length) {
        // Every symbol costs at least one bit, so a stream running this far past its end cannot be valid.
        if (bits.bitsPastEnd() > OmittableBits) {
            out.truncate(count);
            return Result::Damaged;
        }
        const int c = decodeSymbol(tree, bits);
        if (c < 256) {
            dst[count++] = static_cast<char>(c);
            ring[r] = static_cast<unsigned char>(c);
            r = (r + 1) & (N - 1);
            continue;
        }
        const int from = (r - decodePosition(bits) - 1) & (N - 1);
        const int matchLength = c - 255 + THRESHOLD;
        for (int k = 0; k < matchLength && count < length; ++k) {
            const unsigned char b = ring[(from + k) & (N - 1)];
            dst[count++] = static_cast<char>(b);
            ring[r] = b;
            r = (r + 1) & (N - 1);
        }
    }
    if (bits.bitsPastEnd() > OmittableBits)
        return Result::Damaged;
    return Result::Ok;
}

QByteArray TLZH::LZHPack(QByteArrayView in)
{
    // Matching runs over one linear text: the blanks the ring starts with, then the input. A source may
    // reach into the bytes being coded (an overlapping copy), which the decoder reproduces byte by byte.
    const qint64 total = RingStart + in.size();
    std::vector<unsigned char> text(static_cast<size_t>(total));
    std::memset(text.data(), ' ', RingStart);
    if (!in.isEmpty())
        std::memcpy(text.data() + RingStart, in.data(), static_cast<size_t>(in.size()));

    constexpr int HashBits = 15, MaxChain = 48, MaxDistance = N - 1;
    std::vector<int32_t> head(1 << HashBits, -1), prev(static_cast<size_t>(total), -1);
    auto hashAt = [&](qint64 p) {
        return ((text[p] << 10) ^ (text[p + 1] << 5) ^ text[p + 2]) & ((1 << HashBits) - 1);
    };
    qint64 inserted = 0;
    auto insertUpTo = [&](qint64 end) { // positions < end with three bytes available
        for (; inserted < end && inserted + 2 < total; ++inserted) {
            const int h = hashAt(inserted);
            prev[inserted] = head[h];
            head[h] = static_cast<int32_t>(inserted);
        }
    };

    HuffTree tree;
    BitWriter bits;
    qint64 v = RingStart;
    while (v < total) {
        insertUpTo(v);
        const qint64 room = std::min<qint64>(F, total - v);
        int bestLength = 0;
        qint64 bestFrom = 0;
        if (room > THRESHOLD) {
            int chain = 0;
            for (qint64 p = head[hashAt(v)]; p >= 0 && v - p <= MaxDistance && chain < MaxChain;
                 p = prev[p], ++chain) {
                int l = 0;
                while (l < room && text[p + l] == text[v + l])
                    ++l;
                if (l > bestLength) {
                    bestLength = l;
                    bestFrom = p;
                    if (l == room)
                        break;
                }
            }
        }
        if (bestLength <= THRESHOLD) {
            encodeSymbol(tree, bits, text[v]);
            ++v;
        } else {
            encodeSymbol(tree, bits, 255 - THRESHOLD + bestLength);
            encodePosition(bits, static_cast<int>(v - bestFrom - 1));
            v += bestLength;
        }
    }
    return bits.finish();
}
