// The driver's output: one line per event, flushed at once so that a reader
// sees each event as it happens, not when the driver ends.
#include "drive.h"

#include <cstdio>

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (unsigned char c : text) {
        char escaped[8];
        // Window texts are ANSI: a byte outside ASCII goes out as its code point.
        if (c < 0x20 || c >= 0x7F)
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
        else
            snprintf(escaped, sizeof escaped, c == '"' || c == '\\' ? "\\%c" : "%c", c);
        json += escaped;
    }
    return json + "\"";
}

const char* JsonBool(bool value) {
    return value ? "true" : "false";
}

std::string JsonNumbers(std::initializer_list<long> values) {
    std::string json;
    for (long value : values)
        json += (json.empty() ? "[" : ",") + std::to_string(value);
    return json + "]";
}

void Emit(const char* event, const EventFields& fields) {
    std::string object;
    for (const auto& field : fields)
        object += (object.empty() ? "" : ", ") + JsonString(field.first) + ": " + field.second;
    printf("%s {%s}\n", event, object.c_str());
    fflush(stdout);
}
