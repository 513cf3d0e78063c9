#include "fields.h"

#include "setup_text.h"

int NextListField(const char* line, char* field, int cchField, int position) {
    int used = 0;
    bool started = false;
    for (int i = position;; i++) {
        char c = line[i];
        if (c == '\0' || c == '\r') {
            field[used] = '\0';
            return -1;
        }
        if (!started && (c == ' ' || c == '\t'))
            continue;
        if (started && (c == ',' || c == ' ' || c == '\t')) {
            field[used] = '\0';
            return i + 1;
        }
        if (!started && c == ',') {
            field[used] = '\0';
            return i + 1;
        }
        started = true;
        if (used < cchField - 1)
            field[used++] = c;
    }
}

static int FieldLength(const char* line, int position) {
    int n = 0;
    for (int i = position; line[i] != '\0' && line[i] != '\r'; i++) {
        if (n > 0 && (line[i] == ',' || line[i] == ' ' || line[i] == '\t'))
            break;
        if (n == 0 && (line[i] == ' ' || line[i] == '\t'))
            continue;
        if (line[i] == ',')
            break;
        n++;
    }
    return n;
}

bool SplitCopyLine(const char* line, char* diskId, char* fileName, int cchFileName) {
    char first[kSectionLineSize];
    int next = NextListField(line, first, sizeof first, 0);
    diskId[0] = first[0];
    diskId[1] = '\0';
    fileName[0] = '\0';
    if (next < 0)
        return true;
    if (FieldLength(line, next) > cchFileName - 1)
        return false;
    NextListField(line, fileName, cchFileName, next);
    return true;
}

bool NextRegField(RegFieldCursor* cursor, const char* line, char* field, int cchField,
                 char separator, bool* fit) {
    if (line != nullptr) {
        cursor->next = line;
        cursor->inQuotes = false;
    }
    int used = 0;
    for (;;) {
        char c = *cursor->next;
        if (c == '\0' || c == '\r') {
            field[used] = '\0';
            return false;
        }
        cursor->next++;
        if (!cursor->inQuotes && (c == ' ' || c == '\t'))
            continue;
        if (!cursor->inQuotes && c == separator) {
            field[used] = '\0';
            return true;
        }
        if (c == '"') {
            cursor->inQuotes = !cursor->inQuotes;
            continue;
        }
        if (used < cchField - 1)
            field[used++] = c;
        else
            *fit = false;
    }
}

int ParseRegLine(const char* line, RegLineRecord* record) {
    RegFieldCursor cursor;
    bool fit = true;
    struct Field {
        char* text;
        int cch;
    };
    const Field fields[] = {
        {record->root, kRootSize},
        {record->subkey, kSubkeySize},
        {record->valueName, kValueNameSize},
        {record->flags, kFlagsSize},
        {record->value, kValueSize},
    };
    const char* start = line;
    int count = 0;
    for (const Field& f : fields) {
        bool more = NextRegField(&cursor, start, f.text, f.cch, ',', &fit);
        start = nullptr;
        count++;
        if (!more)
            break;
    }
    return fit ? count : 0;
}
