// setup.dat as the program reads it, from any bytes: loaded in reads of
// varying size, each list section walked, every line split by both readers,
// planned as a copy line, its key path walked, and the labels of its disk
// ids read, on a single-byte code page and on code page 932.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "check/profile_text.h"
#include "config/reg_line_rules.h"
#include "install/copy_rules.h"
#include "memory_file.h"
#include "setupinfo/fields.h"
#include "setupinfo/setup_text.h"

namespace {

// Code page 932's lead bytes: a second byte can be '[' or a backslash.
const LeadBytes kCodePage932 = {{0x81, 0x9F, 0xE0, 0xFC}};

struct Text { const unsigned char* bytes; long length; const LeadBytes* lead; };

void ReadKeyed(void* context, const char* section, const char* key, const char* defaultText,
               char* buffer, int cchBuffer) {
    const Text* t = (const Text*)context;
    const char* text = (const char*)t->bytes;
    if (ReadProfileText(text, t->length, section, key, buffer, cchBuffer, nullptr, *t->lead) < 0)
        snprintf(buffer, cchBuffer, "%s", defaultText);
}

bool SameName(const char* a, const char* b, const LeadBytes&) { return strcmp(a, b) == 0; }

// A copy line planned into paths of the LZ library's length, its label and
// prompt into buffers just long enough for a short label; a key path walked.
void PlanLine(const char* line, const RegLineRecord& record, const LeadBytes& lead,
              const DiskLabels& labels) {
    const CopyListNames names = {"A:", "C:\\WINDOWS\\SYSTEM", "kelmo.ini", "oemkelmo.inf",
                                 SameName, &lead};
    CopyLinePlan plan;
    char label[16] = "", prompt[64];
    if (PlanCopyLine(line, &names, &plan) == kCopyLineFile) {
        ApplyDiskLabel(&labels, plan.diskId, label, sizeof label);
        FormatDiskPrompt(prompt, sizeof prompt, label, names.sourceDir);
    }
    KeyPathWalk walk;
    StartKeyPath(&walk, record.subkey, lead);
    while (NextKeyPathName(&walk) == kKeyPathName)
        if (strlen(walk.name) >= sizeof walk.name)
            abort();
}

void WalkSection(const unsigned char* text, long length, const char* header,
                 const LeadBytes& lead, const DiskLabels& labels) {
    long position = FindSection(text, length, header, lead);
    char line[kSectionLineSize], diskId[2], fileName[256], shortName[8];
    RegLineRecord record;
    while (position >= 0 && ReadSectionLine(text, length, line, &position, lead)) {
        if (strlen(line) > 255 || (IsBlankLine(line) && !strchr(" \t\r", line[0])))
            abort();
        SplitCopyLine(line, diskId, fileName, sizeof fileName);
        SplitCopyLine(line, diskId, shortName, sizeof shortName);
        memset(&record, 0, sizeof record);
        if ((unsigned)ParseRegLine(line, &record) > 5)
            abort();
        PlanLine(line, record, lead, labels);
    }
    if (position >= 0 && text[position] != EndMarker && text[position] != '[')
        abort();
}

// The checker's reader over the raw bytes, comments and all, as setup.exe's
// profile functions see the file: lines walked, values bounded.
void ReadRaw(const char* text, long length, const LeadBytes& lead) {
    ProfileCursor cursor = {0, 1};
    ProfileLine line;
    for (int last = 0; NextProfileLine(text, length, &cursor, &line, lead); last = line.line)
        if (cursor.position > length || line.line <= last || line.cchName < 0)
            abort();
    char value[8];
    memset(value, 0x5A, sizeof value);
    int full = ReadProfileText(text, length, "Product", "ProductName", value, 5, nullptr, lead);
    if (full >= 0 && (strlen(value) > 4 || value[5] != 0x5A || (int)strlen(value) > full))
        abort();
    ReadProfileInt(text, length, "DiskSpace", "SizeInKB", 7, nullptr, lead);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size < 1)
        return 0;
    const LeadBytes& lead = data[0] & 0x80 ? kCodePage932 : kSingleByteCodePage;
    ReadRaw((const char*)data + 1, (long)size - 1, lead);
    // The bytes after the first, which seeds the reads: now and then one brings half.
    MemoryFile source = {std::string((const char*)data + 1, size - 1)};
    source.seed = 0x100u | data[0];
    long fileSize = (long)size - 1 + data[0] % 5 - 2;  // the size taken may be stale
    if (fileSize < 0)
        fileSize = 0;
    static unsigned char readBuffer[kReadBufferSize];
    unsigned char* text = (unsigned char*)malloc(fileSize + 1);
    long length = FilterSetupText(ReadMemory, &source, readBuffer, fileSize, text);
    if (length < 1 || length > fileSize + 1 || memchr(text, ';', length) ||
        memchr(text, EndMarker, length) != text + length - 1)
        abort();
    Text keyed = {text, length, &lead};
    static DiskLabels labels;
    TakeDiskLabels(text, length, lead, ReadKeyed, &keyed, &labels);
    static const char* const kLists[] = {"[WindowsDir]", "[SystemDir]", "[Driver.AddReg]"};
    for (const char* header : kLists)
        WalkSection(text, length, header, lead, labels);
    free(text);
    return 0;
}
