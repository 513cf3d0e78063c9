#include "make_strings.h"

bool StringsEqualNoCase(const std::string& a, const std::string& b, const LeadBytes& lead) {
    return a.size() == b.size() && BytesEqualNoCase(a.data(), b.data(), (long)a.size(), lead);
}

std::string StringLowerCase(std::string text, const LeadBytes& lead) {
    BytesLowerCase(&text[0], (long)text.size(), lead);
    return text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }
