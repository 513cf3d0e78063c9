// An INF from any bytes: read, one model's intent gathered, laid out and
// written as setup.dat; every registry line written reads back, through the
// program's own readers, as the value it was written for.
#include <stdlib.h>
#include <string.h>

#include "config/reg_line_rules.h"
#include "make/driver_model.h"
#include "make/setup_dat_writer.h"
#include "setupinfo/fields.h"

static void CheckReadBack(const IntentValue& value, const LeadBytes& lead) {
    std::string line, problem;
    if (!ComposeRegLine(value, &line, &problem, lead))
        abort();  // a value the writer cannot express is reported, never kept
    RegLineRecord record;
    memset(&record, 0, sizeof record);
    if (ParseRegLine(line.c_str(), &record) != (value.stores ? 5 : 2) ||
        strcmp(record.root, value.root.c_str()) != 0)
        abort();
    KeyPathWalk walk;
    StartKeyPath(&walk, record.subkey, lead);
    std::string path;
    while (NextKeyPathName(&walk) == kKeyPathName)
        path = walk.name;
    if (path != value.keyPath || (value.stores && (value.valueName != record.valueName ||
                                                   value.value != record.value)))
        abort();
}

// Each INF is read as 1252 and as 932, whose second bytes may be '[' or '\\'.
static void MakeFrom(const unsigned char* data, size_t size, const CodePage& page) {
    FindingSink findings;
    InfText inf = ReadInfText(std::string((const char*)data, size), &findings, page.lead);
    DriverIntent intent = BuildDriverIntent(inf, "fuzz.inf", "", &findings, page);
    for (IntentFile& file : intent.files)
        file.size = 100;
    DisketteSet set = LayOutDiskettes(intent, &findings);
    ComposeSetupDat(intent, set, 1);
    for (const IntentValue& value : intent.values)
        CheckReadBack(value, page.lead);
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    MakeFrom(data, size, *FindCodePage(kDefaultCodePage));
    MakeFrom(data, size, *FindCodePage(932));
    return 0;
}
