// Files compressed as the platform's compression tool stores them, for the
// LZ library to expand: the SZDD header, then LZSS over a 4096-byte window.
#pragma once

#include <string>

// The compressed file of data whose name ends in lastLetter, the letter that
// the stored name replaces by '_'.
std::string CompressSzdd(const std::string& data, char lastLetter);
