#include "szdd_compressor.h"

#include <cstring>
#include <vector>

#include "tools_common/szdd_format.h"

namespace {

const int kMinMatch = 3;
const int kMaxMatch = 18;
const int kMaxChain = 256;  // candidates tried per position: enough for driver files
const int kHashBuckets = 4096;  // a power of two

unsigned Hash(const unsigned char* p) {
    return (p[0] << 4 ^ p[1] << 2 ^ p[2]) & (kHashBuckets - 1);
}

// Earlier positions with the same three bytes, newest first.
struct MatchFinder {
    const unsigned char* text;
    size_t size;
    std::vector<int> head, previous;

    void Insert(size_t at) {
        if (at + kMinMatch > size)
            return;
        unsigned h = Hash(text + at);
        previous[at] = head[h];
        head[h] = (int)at;
    }
    // The longest match for the bytes at at, no further back than the window.
    int Longest(size_t at, size_t* from) const {
        int best = 0;
        size_t limit = size - at < (size_t)kMaxMatch ? size - at : (size_t)kMaxMatch;
        if (limit < (size_t)kMinMatch)
            return 0;
        int tries = kMaxChain;
        for (int p = head[Hash(text + at)]; p >= 0 && tries-- > 0; p = previous[(size_t)p]) {
            if (at - (size_t)p >= (size_t)kSzddWindowSize)
                break;
            size_t n = 0;
            while (n < limit && text[(size_t)p + n] == text[at + n])
                n++;
            if ((int)n > best) {
                best = (int)n;
                *from = (size_t)p;
                if (n == limit)
                    break;
            }
        }
        return best;
    }
};

}  // namespace

std::string CompressSzdd(const std::string& data, char lastLetter) {
    std::string out(kSzddHeaderSize, '\0');
    memcpy(&out[0], kSzddMagic, sizeof kSzddMagic);
    out[kSzddMethodAt] = (char)kSzddMethod;
    out[kSzddLastLetterAt] = lastLetter;
    for (int i = 0; i < kSzddSizeBytes; i++)
        out[(size_t)(kSzddSizeAt + i)] = (char)((unsigned long long)data.size() >> (8 * i) & 0xFF);
    // The data behind the spaces the window starts with: a match may reach
    // back into them, or overlap the bytes it produces, as the expander
    // copies one byte at a time.
    std::string text(kSzddWindowSize, kSzddWindowFill);
    text += data;
    MatchFinder finder = {(const unsigned char*)text.data(), text.size(),
                          std::vector<int>(kHashBuckets, -1), std::vector<int>(text.size(), -1)};
    for (size_t at = kSzddWindowSize - kMaxMatch; at < kSzddWindowSize; at++)
        finder.Insert(at);
    size_t flags = 0;
    int bit = 8;
    for (size_t at = kSzddWindowSize; at < text.size();) {
        if (bit == 8) {
            flags = out.size();
            out += '\0';
            bit = 0;
        }
        size_t from = 0;
        int length = finder.Longest(at, &from);
        if (length >= kMinMatch) {
            // Window position of text[from]: its data index plus kSzddFirstWrite.
            unsigned position =
                (unsigned)(from + kSzddFirstWrite - kSzddWindowSize) & (kSzddWindowSize - 1);
            out += (char)(position & 0xFF);
            out += (char)((position >> 4 & 0xF0) | (unsigned)(length - kMinMatch));
        } else {
            length = 1;
            out[flags] = (char)((unsigned char)out[flags] | 1u << bit);
            out += text[at];
        }
        bit++;
        for (int i = 0; i < length; i++)
            finder.Insert(at + (size_t)i);
        at += (size_t)length;
    }
    return out;
}
