// Ini texts with the answers the platform's profile functions give for them,
// shared by the native test of the in-memory reader and the Wine test that
// reads the same texts through GetPrivateProfileStringA/GetPrivateProfileIntA.
#pragma once

#include <string>

struct ProfileTextCase {
    std::string text;
    const char* section;
    const char* key;
    int cchValue;
    const char* expected;  // null: absent, the caller's default applies
    int line;              // line of the key; not checked when absent
};

// Control and high bytes as \xNN, for failure messages.
inline std::string Escaped(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 32 && c <= 126)
            out += (char)c;
        else
            out += std::string("\\x") + "0123456789abcdef"[c >> 4] + "0123456789abcdef"[c & 15];
    }
    return out;
}

#define PT(literal) std::string(literal, sizeof(literal) - 1)

inline const ProfileTextCase kProfileTextCases[] = {
    // Blanks around names and values; inner blanks stay.
    {PT("[S]\r\n  key1  =  value one  \r\n\tkey2\t=\tv2\t\r\n"), "S", "key1", 64, "value one", 2},
    {PT("[S]\r\n  key1  =  value one  \r\n\tkey2\t=\tv2\t\r\n"), "S", "key2", 64, "v2", 3},
    {PT("[S]\r\nk = a \t b \r\n"), "S", "k", 64, "a \t b", 2},
    {PT("[S]\r\nk=\v v\f\r\n\fm=\x1aw\x1a\r\n"), "S", "k", 64, "v", 2},
    {PT("[S]\r\nk=\v v\f\r\n\fm=\x1aw\x1a\r\n"), "S", "m", 64, "w", 3},
    {PT("[S]\r\nk=\xa0v\x1c\r\n"), "S", "k", 64, "\xa0v\x1c", 2},
    {PT("[S]\r\nk=1\r\n"), " S\t", " k ", 64, "1", 2},
    // Comment-like lines are keys; a ";" after a value is part of it.
    {PT("[S]\r\n;key3=x\r\n  ;key4=y\r\nkey5=a ; b\r\n"), "S", "key3", 64, nullptr, 0},
    {PT("[S]\r\n;key3=x\r\n  ;key4=y\r\nkey5=a ; b\r\n"), "S", ";key4", 64, "y", 3},
    {PT("[S]\r\n;key3=x\r\n  ;key4=y\r\nkey5=a ; b\r\n"), "S", "key5", 64, "a ; b", 4},
    {PT("[S]\r\n;c\r\n;c=2\r\nk\r\nk=1\r\n"), "S", ";c", 64, nullptr, 0},
    {PT("[S]\r\n;c\r\n;c=2\r\nk\r\nk=1\r\n"), "S", "k", 64, nullptr, 0},
    // Quotes.
    {PT("[S]\r\nq=\"x\"\r\n"), "S", "q", 64, "x", 2},
    {PT("[S]\r\nq= 'x' \r\n"), "S", "q", 64, "x", 2},
    {PT("[S]\r\nq=\"x\r\n"), "S", "q", 64, "\"x", 2},
    {PT("[S]\r\nq=x\"\r\n"), "S", "q", 64, "x\"", 2},
    {PT("[S]\r\nq=\"a\"b\"\r\n"), "S", "q", 64, "a\"b", 2},
    {PT("[S]\r\nq=\"\"\r\n"), "S", "q", 64, "", 2},
    {PT("[S]\r\nq=\"\r\n"), "S", "q", 64, "\"", 2},
    {PT("[S]\r\nq=\"\"\"\r\n"), "S", "q", 64, "\"", 2},
    {PT("[S]\r\nq='x\"\r\n"), "S", "q", 64, "'x\"", 2},
    {PT("[S]\r\nq=\"a\" b\r\n"), "S", "q", 64, "\"a\" b", 2},
    {PT("[S]\r\nq=\"  a  \"\r\n"), "S", "q", 64, "  a  ", 2},
    {PT("[S]\r\nk\t=\"x\" ;c\r\n"), "S", "k", 64, "\"x\" ;c", 2},
    // Headers.
    {PT("[S] trailing\r\nk=1\r\n[T\r\nm=2\r\n [U] \r\nn=3\r\n"), "S", "m", 64, "2", 4},
    {PT("[S] trailing\r\nk=1\r\n[T\r\nm=2\r\n [U] \r\nn=3\r\n"), "T", "m", 64, nullptr, 0},
    {PT("[S] trailing\r\nk=1\r\n[T\r\nm=2\r\n [U] \r\nn=3\r\n"), "u", "N", 64, "3", 6},
    {PT("[ S\t]\r\nk=1\r\n"), "s", "K", 64, "1", 2},
    {PT("[a]b]\r\nk=1\r\n"), "a]b", "k", 64, "1", 2},
    {PT("[a]b]\r\nk=1\r\n"), "a", "k", 64, nullptr, 0},
    {PT("[S]x=1\r\ny=2\r\n"), "S", "x", 64, nullptr, 0},
    {PT("[A=B]\r\nk=1\r\n"), "A=B", "k", 64, "1", 2},
    {PT("[S]\r\n[x=1\r\n"), "S", "[x", 64, "1", 2},
    {PT("[\xc9]\r\nk=1\r\n"), "\xe9", "k", 64, nullptr, 0},
    // Lines without "=", empty values and names.
    {PT("[S]\r\nnoequals\r\n"), "S", "noequals", 64, nullptr, 0},
    {PT("[S]\r\nk=\r\n"), "S", "k", 64, "", 2},
    {PT("[S]\r\nk2 =   \r\n"), "S", "k2", 64, "", 2},
    {PT("[S]\r\n   \r\n=v\r\n"), "S", "", 64, "v", 3},
    {PT("[S]\r\nk = = v\r\n"), "S", "k", 64, "= v", 2},
    {PT("[S]\r\n a b = c\r\n"), "S", "a b", 64, "c", 2},
    // Duplicates: the first key, the first section of a name.
    {PT("[S]\r\nd=first\r\nd=second\r\n"), "S", "d", 64, "first", 2},
    {PT("[S]\r\nj=\r\nj=1\r\n"), "S", "j", 64, "", 2},
    {PT("[S]\r\nd=1\r\n[S]\r\ne=2\r\n"), "S", "e", 64, nullptr, 0},
    {PT("[S]\r\n[S]\r\nk=1\r\n"), "S", "k", 64, nullptr, 0},
    {PT("[S]\r\nk=1\r\n[T]\r\n[s]\r\nk=2\r\n"), "S", "k", 64, "1", 2},
    // Keys before any header.
    {PT("k0=before\r\n[S]\r\nk=1\r\n"), "", "k0", 64, "before", 1},
    {PT("k0=before\r\n[S]\r\nk=1\r\n"), "S", "k0", 64, nullptr, 0},
    {PT("[]\r\nk=1\r\n"), "", "k", 64, nullptr, 0},
    // Line ends.
    {PT("[S]\nlf=1\n[T]\r\ncrlf=2\r\n"), "T", "crlf", 64, "2", 4},
    {PT("[S]\rcr=1\rk2=2\r"), "S", "k2", 64, "2", 3},
    {PT("[S]\r\nk=1\n\rm=2\r\r\nn=3"), "S", "n", 64, "3", 6},
    // 0x1A is data inside a value; a zero byte cuts a name or value.
    {PT("[S]\r\na=1\x1a" "2\r\nb=after\r\n"), "S", "a", 64, "1\x1a" "2", 2},
    {PT("[S]\r\na=1\0b=2\r\nc=3\r\n"), "S", "a", 64, "1", 2},
    {PT("[S]\r\na=1\0b=2\r\nc=3\r\n"), "S", "b", 64, nullptr, 0},
    {PT("[S]\r\na=1\0b=2\r\nc=3\r\n"), "S", "c", 64, "3", 3},
    {PT("[S]\r\nm=\"ab\0\"\r\n"), "S", "m", 64, "\"ab", 2},
    {PT("[S]\r\n\0k=1\r\nj\0=2\r\n"), "S", "", 64, "1", 2},
    {PT("[S]\r\n\0k=1\r\nj\0=2\r\n"), "S", "j", 64, "2", 3},
    {PT("[S]\r\n[T\0]\r\n[U\0x\r\nu=3\r\n"), "T", "u", 64, "3", 4},
    {PT("[X \0 ]\r\nx=6\r\n"), "X", "x", 64, nullptr, 0},
    // Empty text; a UTF-8 byte order mark.
    {PT(""), "S", "a", 64, nullptr, 0},
    {PT("\xef\xbb\xbf[S]\r\nk=v\r\n"), "S", "k", 64, "v", 2},
    // Cuts: plain at cch - 1; a quoted value that would just fill the buffer loses one more.
    {PT("[S]\r\nv=0123456789abcdef\r\n"), "S", "v", 1, "", 2},
    {PT("[S]\r\nv=0123456789abcdef\r\n"), "S", "v", 5, "0123", 2},
    {PT("[S]\r\nv=0123456789abcdef\r\n"), "S", "v", 17, "0123456789abcdef", 2},
    {PT("[S]\r\nq=\"0123456789\"\r\n"), "S", "q", 10, "012345678", 2},
    {PT("[S]\r\nq=\"0123456789\"\r\n"), "S", "q", 11, "012345678", 2},
    {PT("[S]\r\nq=\"0123456789\"\r\n"), "S", "q", 12, "0123456789", 2},
    {PT("[S]\r\nq=\"x\"\r\n"), "S", "q", 2, "", 2},
};

// Values of "k" in "[S]" and what GetPrivateProfileIntA gives for them with
// the default kIntDefault.
const int kIntDefault = -7;

struct ProfileIntCase {
    std::string value;
    int expected;
};

inline const ProfileIntCase kProfileIntCases[] = {
    {"23", 23}, {" 23 ", 23}, {"+5", 5}, {"-1", -1}, {"12abc", 12}, {"abc", 0},
    {"", kIntDefault}, {"\"\"", kIntDefault}, {"\" \"", 0}, {"\" -5\"", -5}, {"\"\t7\"", 7},
    {"\"42\"", 42}, {"010", 10}, {"08", 8}, {"1e3", 1}, {"12 34", 12},
    {"- 5", 0}, {"+-5", 0}, {"--5", 0}, {"-", 0}, {"+", 0},
    {"0x10", 16}, {"+0x10", 16}, {"-0x10", -16}, {"0X10", 0}, {"0xFfZ", 255}, {"0x", 0},
    {"0x1G", 1}, {"00x10", 0}, {"0b101", 5}, {"-0b101", -5}, {"0b12", 1}, {"0B101", 0},
    {"0o17", 15}, {"0o8", 0}, {"0O17", 0},
    // Wrapping modulo 2^32.
    {"99999999999", 1215752191}, {"-99999999999", -1215752191}, {"4294967295", -1},
    {"2147483648", -2147483647 - 1}, {"-2147483649", 2147483647}, {"0x7fffffff", 2147483647},
    {"0x80000000", -2147483647 - 1}, {"0x123456789", 0x23456789}, {"0x1ffffffff", -1},
    // Only the first 29 characters count; a quoted 29 loses one more.
    {std::string(40, '0') + "12", 0}, {std::string(40, '1'), 1729917383},
    {std::string(28, '1') + "9", 1729917391}, {"\"" + std::string(27, '1') + "9\"", 1461481935},
    {"\"" + std::string(28, '1') + "9\"", 1461481927},
    {"0b" + std::string(35, '1'), 134217727},
};

// Values swept over every buffer size from 0 to a few past their length.
inline const char* const kProfileCutValues[] = {
    "0123456789", "\"0123456789\"", "' ab '", "\"x\"", "\"ab\"cd\"", "\"\"", "\"",
};
