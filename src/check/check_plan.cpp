// Builds the plan of a set: setup.dat read by the program's own readers, the
// keyed values, and the list sections with what goes wrong around them.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "check_host.h"
#include "check_internal.h"
#include "profile_text.h"
#include "setupinfo/setup_sizes.h"
#include "setupinfo/setup_text.h"
#include "setupinfo/setup_vocabulary.h"
#include "setupinfo/text.h"

std::string Format(const char* format, ...) {
    // Most texts fit the stack buffer, and one pass formats them.
    char small[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = vsnprintf(small, sizeof small, format, args);
    va_end(args);
    std::string text;
    if (length > 0 && (size_t)length < sizeof small) {
        text.assign(small, (size_t)length);
    } else if (length > 0) {
        text.resize((size_t)length);
        vsnprintf(&text[0], (size_t)length + 1, format, again);
    }
    va_end(again);
    return text;
}

void AddFinding(Checker* checker, Severity severity, int line, const std::string& text) {
    checker->plan->findings.push_back({severity, line, text});
}

std::string Shown(const std::string& line) {
    std::string shown;
    for (unsigned char c : line) {
        if (c == '\r' || c == '\n')
            continue;
        shown += c < 0x20 ? Format("\\x%02X", c) : std::string(1, (char)c);
    }
    return shown;
}

int CountFindings(const CheckPlan& plan, Severity severity) {
    int count = 0;
    for (const Finding& f : plan.findings)
        count += f.severity == severity;
    return count;
}

// ---- setup.dat --------------------------------------------------------------

namespace {

struct MemoryFile {
    const std::string* bytes;
    size_t offset;
};

long ReadMemory(void* context, unsigned char* buffer, long cb) {
    MemoryFile* file = (MemoryFile*)context;
    size_t left = file->bytes->size() - file->offset;
    size_t n = (size_t)cb < left ? (size_t)cb : left;
    memcpy(buffer, file->bytes->data() + file->offset, n);
    file->offset += n;
    return (long)n;
}

bool ReadHostFile(const std::string& path, std::string* bytes) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    bytes->clear();
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes->append(chunk, got);
    bool ok = !ferror(file);
    fclose(file);
    return ok;
}

bool LoadSetFile(const std::string& folder, SetFile* set, std::string* error) {
    set->path = FindSetFile(folder, kSetupDatName);
    if (set->path.empty()) {
        *error = std::string("no ") + kSetupDatName + " in " + folder;
        return false;
    }
    if (!ReadHostFile(set->path, &set->raw) || set->raw.size() >= (size_t)kMaxInt32) {
        *error = "cannot read " + set->path;
        return false;
    }
    long size = (long)set->raw.size();
    set->text.assign((size_t)size + 1, 0);
    set->lineOf.assign((size_t)size + 1, 0);
    unsigned char readBuffer[kReadBufferSize];
    MemoryFile file = {&set->raw, 0};
    set->length = FilterSetupText(ReadMemory, &file, readBuffer, size, set->text.data(),
                                  set->lineOf.data());
    return true;
}

void CheckEndOfFileByte(Checker* checker) {
    const std::string& raw = checker->set.raw;
    size_t at = raw.find('\x1A');
    if (at == std::string::npos || raw.find_first_not_of(" \t\r\n\x1A", at) == std::string::npos)
        return;
    AddFinding(checker, kWarning, LineAtOffset(raw.data(), (long)at),
               "a byte 0x1A ends setup.dat for the list readers: the lists and registry lines "
               "after it are not read");
}

// ---- keyed values -------------------------------------------------------------

struct KeyedRead {
    const char* section;
    const char* key;
    int cchBuffer;
    KeyedValue CheckPlan::*field;
};

const KeyedRead kKeyedReads[] = {
    {kProductSection, kProductNameKey, kProductNameSize, &CheckPlan::productName},
    {kProductSection, kLoadKey, kLoadProgramSize, &CheckPlan::loadProgram},
    {kProductSection, kDriverInfKey, kPathSize, &CheckPlan::driverInf},
    {kProductSection, kOemsetupInfKey, kPathSize, &CheckPlan::oemsetupInf},
    {kEnumPciSection, kVenderKey, kPathSize, &CheckPlan::vender},
    {kEnumPciSection, kMfgKey, kPathSize, &CheckPlan::mfg},
    {kDiskSpaceSection, kSizeInKBKey, kPathSize, &CheckPlan::sizeInKB},
};

void ReadKeyed(Checker* checker, const KeyedRead& read) {
    const SetFile& set = checker->set;
    KeyedValue* value = &(checker->plan->*read.field);
    std::string full(4096, '\0');
    int line = 0;
    int length = ReadProfileText(set.raw.data(), (long)set.raw.size(), read.section, read.key,
                                 &full[0], (int)full.size(), &line);
    if (!ReadSetupValue(set.path, set.raw, read.section, read.key, read.cchBuffer,
                        &value->value))
        return;
    value->line = line > 0 ? line : 0;
    // A cut product or maker name only shows shorter; any other cut value
    // names another program, file or key.
    if (length > read.cchBuffer - 1) {
        bool isLoad = read.field == &CheckPlan::loadProgram;
        bool isText = read.field == &CheckPlan::productName || read.field == &CheckPlan::mfg;
        AddFinding(checker, isText ? kWarning : kError, value->line,
                   Format("\"%s\" is %d characters long; the program reads only %d: \"%s\"%s%s",
                          read.key, length, read.cchBuffer - 1, value->value.c_str(),
                          isLoad ? " is what gets on the load line of " : "",
                          isLoad ? kLoadLineEdit.file : ""));
    }
    if (value->value.find(';') != std::string::npos)
        AddFinding(checker, kWarning, value->line,
                   Format("the ';' in \"%s\" is part of its value: keyed values have no "
                          "comments after them", read.key));
}

void CheckKeyedValues(Checker* checker) {
    CheckPlan* plan = checker->plan;
    for (const KeyedRead& read : kKeyedReads)
        ReadKeyed(checker, read);
    if (plan->productName.value.empty())
        AddFinding(checker, kWarning, plan->productName.line,
                   Format("no %s: the banner, the final message and the adapter's "
                          "description stay empty", kProductNameKey));
    plan->expectedBytes = ExpectedBytesOfSize(
        ReadSetupNumber(checker->set.path, checker->set.raw, kDiskSpaceSection, kSizeInKBKey));
    if (plan->vender.value.empty())
        AddFinding(checker, kWarning, plan->vender.line,
                   Format("no %s in [%s]: no adapter is registered and no registry line "
                          "is applied", kVenderKey, kEnumPciSection));
}

}  // namespace

// ---- list sections --------------------------------------------------------------

// True when the kept text from..to reads as nothing.
static bool IsBlankSpan(const SetFile& set, long from, long to) {
    return IsBlankText((const char*)&set.text[(size_t)from], to - from);
}

// Where a header stands in the file although FindSection cannot find it:
// written in other case, or inside a comment.
static void ExplainMissingHeader(Checker* checker, const char* header) {
    const std::string& raw = checker->set.raw;
    size_t n = strlen(header);
    for (size_t i = 0; i + n <= raw.size(); i++) {
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
    long position = FindSection(set.text.data(), set.length, header);
    if (position < 0) {
        char shown[kPathSize];
        FormatMissingSection(shown, sizeof shown, header);
        AddFinding(checker, missing, 0,
                   Format("no section %s: setup.exe shows \"%s\"%s", header, shown,
                          missing == kError ? "" : " when it finds an adapter"));
        ExplainMissingHeader(checker, header);
        return -1;
    }
    // The header ends before its section's first line.
    long at = position - (long)strlen(header);
    while (at > 0 && memcmp(&set.text[(size_t)at], header, strlen(header)) != 0)
        at--;
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
    if (FindSection(set.text.data() + position, set.length - position, header) >= 0)
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
    while (ReadSectionLine(set.text.data(), set.length, line, &position)) {
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

// ---- the whole plan -------------------------------------------------------------

bool BuildCheckPlan(const CheckInput& input, CheckPlan* plan, std::string* error) {
    *plan = CheckPlan();
    plan->sizeInKBFor100 = -1;
    Checker checker = {&input, plan, SetFile()};
    if (input.folders.empty() || !IsSetFolder(input.folders[0])) {
        *error = "not a folder: " + (input.folders.empty() ? std::string() : input.folders[0]);
        return false;
    }
    for (const std::string& folder : input.folders) {
        if (!IsSetFolder(folder)) {
            *error = "not a folder: " + folder;
            return false;
        }
    }
    if (!LoadSetFile(input.folders[0], &checker.set, error))
        return false;
    plan->setupDat = checker.set.path;
    plan->sourceDir = input.sourceDir;
    plan->windowsDir = input.windowsDir;
    plan->systemDir = input.systemDir;
    CheckEndOfFileByte(&checker);
    CheckKeyedValues(&checker);
    PlanCopyLists(&checker);
    PlanRegistry(&checker);
    PlanIniFiles(&checker);
    std::stable_sort(plan->findings.begin(), plan->findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return true;
}
