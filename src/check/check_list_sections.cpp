// The list sections of setup.dat ([WindowsDir], [SystemDir], [Driver.AddReg])
// found and read as the program reads them, with what goes wrong around them:
// a header it cannot find, lines joined by a comment, skipped or cut off.
#include <cstring>

#include "base/text.h"
#include "check_internal.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_text.h"
#include "setupinfo/setup_vocabulary.h"

// True when the kept text from..to reads as nothing.
static bool IsBlankSpan(const SetFile& set, long from, long to) {
    return IsBlankText((const char*)&set.text[(size_t)from], to - from);
}

// Where a header stands in the file although FindSection cannot find it:
// written in other case, or inside a comment. Only where a character starts;
// the header's letters are single bytes, so folding them folds no second byte.
static void ExplainMissingHeader(Checker* checker, const char* header) {
    const std::string& raw = checker->set.raw;
    const unsigned char* bytes = (const unsigned char*)raw.data();
    size_t n = strlen(header);
    for (size_t i = 0; i + n <= raw.size();
         i += (size_t)CharSize(bytes + i, (long)(raw.size() - i), checker->input->lead)) {
        if (!BytesEqualNoCaseAscii(raw.c_str() + i, header, (long)n))
            continue;
        size_t lineStart = raw.rfind('\n', i);
        lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
        bool commented = raw.find(';', lineStart) < i;
        AddFinding(checker, kWarning, LineAtOffset(raw.data(), (long)i),
                   Format("%s is written here %s: section headers are found only as written, "
                          "outside comments", header,
                          commented ? "inside a comment" : "in other case"));
        return;
    }
}

long FindListSection(Checker* checker, const char* header, Severity missing) {
    const SetFile& set = checker->set;
    long position = FindSection(set.text.data(), set.length, header, checker->input->lead);
    if (position < 0) {
        char shown[kPathSize];
        FormatMissingSection(shown, sizeof shown, header);
        AddFinding(checker, missing, 0,
                   Format("no section %s: setup.exe shows \"%s\"%s", header, shown,
                          missing == kError ? "" : " when it finds an adapter"));
        ExplainMissingHeader(checker, header);
        return -1;
    }
    // The header ends before its section's first line: the last place it
    // stands where a character starts.
    long at = 0;
    for (long i = 0; i + (long)strlen(header) <= position;
         i += CharSize(&set.text[(size_t)i], set.length - i, checker->input->lead)) {
        if (memcmp(&set.text[(size_t)i], header, strlen(header)) == 0)
            at = i;
    }
    int headerLine = (int)set.lineOf[(size_t)at];
    if (at > 0 && set.text[(size_t)at - 1] != '\n')
        AddFinding(checker, kWarning, headerLine,
                   Format("%s is found inside this line, not at its start", header));
    long end = position > 0 ? position - 1 : 0;
    const unsigned char* afterHeader = &set.text[(size_t)at + strlen(header)];
    if (set.lineOf[(size_t)end] != headerLine &&
        !IsBlankSpan(set, at + (long)strlen(header), position))
        AddFinding(checker, kError, (int)set.lineOf[(size_t)end],
                   Format("this line is taken as part of the header line of %s: the comment "
                          "after the header on line %d removes its line end, so \"%s\" is "
                          "not read", header, headerLine,
                          Shown(std::string((const char*)afterHeader,
                                            (const char*)&set.text[(size_t)position]))
                              .c_str()));
    if (FindSection(set.text.data() + position, set.length - position, header,
                    checker->input->lead) >= 0)
        AddFinding(checker, kWarning, 0,
                   Format("%s appears more than once: only the first one is read", header));
    return position;
}

// Reports a line that ReadSectionLine joined from several lines of the file.
static void CheckJoinedLine(Checker* checker, long from, long to) {
    const SetFile& set = checker->set;
    long split = from;
    while (split < to && set.lineOf[(size_t)split] == set.lineOf[(size_t)from])
        split++;
    if (split == to || IsBlankSpan(set, split, to))
        return;
    AddFinding(checker, kError, (int)set.lineOf[(size_t)from],
               Format("the comment on this line removes its line end, so line %ld is read as "
                      "part of it: \"%s\" (a ';' starts a comment everywhere, even between "
                      "quotes)", set.lineOf[(size_t)split],
                      Shown(std::string((const char*)&set.text[(size_t)from],
                                        (const char*)&set.text[(size_t)to]))
                          .c_str()));
}

// A section ends at a '['; one inside a line cuts the section short.
static void CheckSectionEnd(Checker* checker, const char* header, long position) {
    const SetFile& set = checker->set;
    if (position <= 0 || position >= set.length || set.text[(size_t)position] != '[' ||
        set.text[(size_t)position - 1] == '\n')
        return;
    long start = position;
    while (start > 0 && set.text[(size_t)start - 1] != '\n')
        start--;
    long end = position;
    while (end < set.length && set.text[(size_t)end] != '\n' && set.text[(size_t)end] != EndMarker)
        end++;
    std::string line((const char*)&set.text[(size_t)start], (const char*)&set.text[(size_t)end]);
    AddFinding(checker, kError, (int)set.lineOf[(size_t)position],
               Format("the '[' in \"%s\" ends %s here: this line and the rest of the section "
                      "are not read", Shown(line).c_str(), header));
}

// ReadSectionLine skips lines too long for its buffer: those between from
// and to.
static void ReportSkippedLines(Checker* checker, const char* header, long from, long to) {
    const SetFile& set = checker->set;
    while (from < to) {
        AddFinding(checker, kError, (int)set.lineOf[(size_t)from],
                   Format("this line of %s is longer than %d characters: it is not read",
                          header, kSectionLineSize - 2));
        while (from < to && set.text[(size_t)from] != '\n')
            from++;
        from++;
    }
}

std::vector<SectionLine> ReadListSection(Checker* checker, const char* header, long position) {
    const SetFile& set = checker->set;
    std::vector<SectionLine> lines;
    char line[kSectionLineSize];
    long before = position;
    while (ReadSectionLine(set.text.data(), set.length, line, &position, checker->input->lead)) {
        long used = (long)strlen(line);
        ReportSkippedLines(checker, header, before, position - used);
        CheckJoinedLine(checker, position - used, position);
        if (!IsBlankLine(line))
            lines.push_back({line, (int)set.lineOf[(size_t)(position - used)]});
        before = position;
    }
    // The line the section ends in is not skipped but cut.
    long end = position;
    while (end > before && set.text[(size_t)end - 1] != '\n')
        end--;
    ReportSkippedLines(checker, header, before, end);
    CheckSectionEnd(checker, header, position);
    if (position < set.length && set.text[(size_t)position] == EndMarker &&
        !IsBlankSpan(set, end, position))
        AddFinding(checker, kError, (int)set.lineOf[(size_t)end],
                   "the last line of the file has no line end: setup.exe does not read it");
    return lines;
}
