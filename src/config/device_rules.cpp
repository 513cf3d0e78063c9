#include "device_rules.h"

#include "base/text.h"

bool ComposeDeviceKeyName(const char* vender, char* name, int cchName) {
    if (vender[0] == '\0')
        return false;
    return TextFormat(name, cchName, "Enum\\PCI\\%s", vender);
}

bool ComposeInstanceKeyName(const char* vender, const char* instance, char* name, int cchName) {
    return TextFormat(name, cchName, "Enum\\PCI\\%s\\%s", vender, instance);
}

bool TakeDriverInstance(const char* driverValue, char* instance, int cchInstance,
                        const LeadBytes& lead) {
    const char* slash = FindFirstBackslash(driverValue, lead);
    if (slash == nullptr)
        return false;
    const char* name = slash + 1;
    int cch = TextLength(name);
    if (cch == 0 || cch > cchInstance - 1)
        return false;
    return TextCopy(instance, cchInstance, name);
}
