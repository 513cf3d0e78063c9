#include "inf_text.h"

#include <map>

#include "make_strings.h"
#include "setupinfo/setup_text.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A field as it is read: blanks outside quotes are dropped at both ends,
// whatever stood inside quotes is kept.
struct FieldText {
    std::string text;
    size_t kept = 0;  // length up to the last character that came from quotes
    bool quoted = false;

    void Put(char c, bool inQuotes) {
        if (!inQuotes && IsBlank(c) && text.empty())
            return;
        text += c;
        if (inQuotes)
            kept = text.size();
    }
    void OpenQuotes() {
        quoted = true;
        kept = text.size();
    }
    std::string Take() {
        size_t end = text.size();
        while (end > kept && IsBlank(text[end - 1]))
            end--;
        std::string field = text.substr(0, end);
        *this = FieldText();
        return field;
    }
};

// Splits a line that is not a header. Returns false for a line that holds
// nothing but blanks and a comment.
bool SplitLine(const std::string& text, int number, InfLine* line, FindingSink* findings) {
    *line = InfLine{number, false, "", {}};
    FieldText field;
    bool inQuotes = false, anyQuotes = false;
    for (size_t i = 0; i < text.size(); i++) {
        char c = text[i];
        if (inQuotes) {
            if (c != '"')
                field.Put(c, true);
            else if (i + 1 < text.size() && text[i + 1] == '"')
                field.Put(text[++i], true);
            else
                inQuotes = false;
        } else if (c == ';') {
            break;
        } else if (c == '"') {
            inQuotes = anyQuotes = true;
            field.OpenQuotes();
        } else if (c == ',') {
            line->fields.push_back(field.Take());
        } else if (c == '=' && !line->hasKey && line->fields.empty()) {
            line->key = field.Take();
            line->hasKey = true;
        } else {
            field.Put(c, false);
        }
    }
    if (inQuotes)
        findings->Warning(number, "a quote is not closed: the text runs to the end of the line");
    line->fields.push_back(field.Take());
    return line->hasKey || anyQuotes || line->fields.size() > 1 || !line->fields[0].empty();
}

// Reports bytes no INF line may hold. An EndMarker (0x1A) ends the text, as
// in DOS files and in setup.dat.
size_t CheckBytes(const std::string& bytes, FindingSink* findings) {
    size_t end = bytes.find((char)EndMarker);
    end = end == std::string::npos ? bytes.size() : end;
    int line = 1;
    bool reported = false;
    for (size_t i = 0; i < end; i++) {
        unsigned char c = (unsigned char)bytes[i];
        if (c == '\n') {
            line++;
            reported = false;
        } else if (c < ' ' && c != '\t' && c != '\r' && !reported) {
            findings->Error(line, "the line holds a control character (byte " +
                                      std::to_string(c) + "), which no name or value may hold");
            reported = true;
        }
    }
    return end;
}

void ReadHeader(const std::string& text, size_t open, int number, InfText* inf,
                InfSection** current, FindingSink* findings) {
    size_t close = open;
    while (close < text.size() && text[close] != ']')
        close += (size_t)CharSize((const unsigned char*)&text[close], (long)(text.size() - close),
                                  inf->lead);
    close = close < text.size() ? close : std::string::npos;
    if (close == std::string::npos) {
        findings->Warning(number, "a '[' without ']' starts no section: the line is ignored");
        return;
    }
    std::string name = text.substr(open + 1, close - open - 1);
    name.erase(0, name.find_first_not_of(" \t"));
    name.erase(name.find_last_not_of(" \t") + 1);
    for (InfSection& section : inf->sections) {
        if (StringsEqualNoCase(section.name, name, inf->lead)) {
            *current = &section;
            return;
        }
    }
    inf->sections.push_back(InfSection{name, number, {}});
    *current = &inf->sections.back();
}

// Replaces each %strkey% of text from strings, once: replaced text is not
// read again.
std::string Substitute(const std::string& text, const std::map<std::string, std::string>& strings,
                       int line, FindingSink* findings, const LeadBytes& lead) {
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        size_t close = text[i] == '%' ? text.find('%', i + 1) : std::string::npos;
        if (close == std::string::npos) {
            out += text[i];
            continue;
        }
        std::string key = text.substr(i + 1, close - i - 1);
        auto found = strings.find(StringLowerCase(key, lead));
        if (key.empty())
            out += '%';
        else if (found != strings.end())
            out += found->second;
        else {
            findings->Warning(line, "%" + key + "% is not in [Strings]: it stays as written");
            out += "%" + key + "%";
        }
        i = close;
        if (out.size() > kMaxInfField) {
            findings->Error(line, "a field is longer than " + std::to_string(kMaxInfField) +
                                      " characters after its strings are put in");
            out.resize(kMaxInfField);
            break;
        }
    }
    return out;
}

void SubstituteStrings(InfText* inf, FindingSink* findings) {
    std::map<std::string, std::string> strings;
    const InfSection* section = FindInfSection(*inf, "Strings");
    for (size_t i = 0; section && i < section->lines.size(); i++) {
        const InfLine& line = section->lines[i];
        if (line.fields.size() > 1)
            findings->Warning(line.line, "the string has commas outside quotes: only the text "
                                         "before the first comma is taken");
        if (line.hasKey)
            strings.emplace(StringLowerCase(line.key, inf->lead), line.fields[0]);
    }
    for (InfSection& each : inf->sections) {
        if (&each == section)
            continue;
        for (InfLine& line : each.lines) {
            line.key = Substitute(line.key, strings, line.line, findings, inf->lead);
            for (std::string& field : line.fields)
                field = Substitute(field, strings, line.line, findings, inf->lead);
        }
    }
}

}  // namespace

InfText ReadInfText(const std::string& bytes, FindingSink* findings, const LeadBytes& lead) {
    InfText inf;
    inf.lead = lead;
    size_t end = CheckBytes(bytes, findings);
    InfSection* current = nullptr;
    int number = 0;
    for (size_t start = 0; start < end;) {
        size_t stop = bytes.find('\n', start);
        stop = stop == std::string::npos || stop > end ? end : stop;
        std::string text = bytes.substr(start, stop - start);
        start = stop + 1;
        number++;
        while (!text.empty() && text.back() == '\r')
            text.pop_back();
        size_t first = text.find_first_not_of(" \t");
        InfLine line;
        if (first != std::string::npos && text[first] == '[')
            ReadHeader(text, first, number, &inf, &current, findings);
        else if (SplitLine(text, number, &line, findings) && current)
            current->lines.push_back(line);
        else if (!current && first != std::string::npos && text[first] != ';')
            findings->Warning(number, "the line stands before any section: it is ignored");
    }
    SubstituteStrings(&inf, findings);
    return inf;
}

const InfSection* FindInfSection(const InfText& inf, const std::string& name) {
    for (const InfSection& section : inf.sections) {
        if (StringsEqualNoCase(section.name, name, inf.lead))
            return &section;
    }
    return nullptr;
}

const InfLine* FindInfKey(const InfSection* section, const std::string& key,
                          const LeadBytes& lead) {
    if (!section)
        return nullptr;
    for (const InfLine& line : section->lines) {
        if (line.hasKey && StringsEqualNoCase(line.key, key, lead))
            return &line;
    }
    return nullptr;
}
