#include "Settings/Settings.h"
#include "Settings/Keys.h"
#include "Tlib/TException.h"
#include "Tlib/TFile.h"
#include "Tlib/TString.h"

#include <climits>
#include <cstring>
#include <memory>

int32_t XResolution = 1024;
int32_t YResolution = 768;
int32_t MouseSensitivity = 100;
int32_t UpdateRate = 60;
int32_t Windowed = 0;
int32_t InvertLook = 0;
int32_t GamepadLookSpeed = 150;
int32_t GamepadDeadZone = 25;
int32_t Interpolate = 1;
bool PresentImmediately = false;

namespace
{
// The atoi rule (leading white space, optional sign, decimal digits up to the first other
// character, 0 without digits), saturating beyond the int32 range instead of overflowing.
int32_t ParseValue(const char* text)
{
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r')
        p++;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; p++)
    {
        value = value * 10 + (*p - '0');
        if (value > int64_t(INT32_MAX) + 1)
            value = int64_t(INT32_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        return INT32_MAX;
    return int32_t(value);
}

// A value that must be a whole number the game can run with: anything else is refused by
// name rather than run in some other way than the player asked.
struct Accepted
{
    const char* what; // in words, for the box
    bool (*takes)(int32_t value);
};

// 0 steps once a frame; a rate is steps a second, of game time.
const Accepted UPDATE_RATES = {"0 (a step each frame) or 10 to 1000 (steps a second)",
                               [](int32_t v) { return v == 0 || (v >= 10 && v <= 1000); }};

struct Key
{
    const char* name;
    int32_t* global;
    const Accepted* accepted = nullptr; // none: the atoi rule, whatever the value
};

bool WholeNumber(const char* text)
{
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        p++;
    if (*p == '+' || *p == '-')
        p++;
    const char* digits = p;
    while (*p >= '0' && *p <= '9')
        p++;
    bool any = p != digits;
    while (*p == ' ' || *p == '\t')
        p++;
    return any && *p == '\0';
}

const Key KEYS[] = {{"MouseSensitivity", &MouseSensitivity},
                    {"XResolution", &XResolution},
                    {"YResolution", &YResolution},
                    {"UpdateRate", &UpdateRate, &UPDATE_RATES},
                    {"Windowed", &Windowed},
                    {"Interpolate", &Interpolate},
                    {"InvertLook", &InvertLook},
                    {"GamepadLookSpeed", &GamepadLookSpeed},
                    {"GamepadDeadZone", &GamepadDeadZone}};

// The value within the key's limits, for the keys that have them.
int32_t Limited(const SettingKey& key, int32_t value)
{
    return value < key.least ? key.least : value > key.most ? key.most : value;
}
} // namespace

namespace
{
const Key* FindKey(const char* name)
{
    for (const Key& k : KEYS)
        if (std::strcmp(k.name, name) == 0)
            return &k;
    return nullptr;
}
} // namespace

int32_t* SettingGlobal(const char* name)
{
    const Key* key = FindKey(name);
    return key ? key->global : nullptr;
}

void ReadSettings(const std::string& path)
{
    std::unique_ptr<TFile> file(new TFile(TString("%s", path.c_str()), 1, true));
    TString equals("=");
    for (;;)
    {
        TString line = file->ReadLine();
        if (file->eof)
            break; // a last line without a line end is not used
        uint32_t length = line.Length();
        if (length == 0 || line.text[0] == ';')
            continue;
        int32_t p = line.StrStr(equals, 0);
        // No "=" leaves the key empty; "=" first gives length 0, which means the whole line.
        TString key;
        key = "";
        if (p >= 0)
            key = line.SubStr(0, uint32_t(p));
        // Only the listed keys: each is documented and written into a player's first file.
        for (const SettingKey& k : SETTING_KEYS)
        {
            if (std::strcmp(key.text, k.name) != 0)
                continue;
            const char* value = uint32_t(p + 1) < length ? line.text + p + 1 : "";
            const Key* found = FindKey(k.name);
            if (found == nullptr)
                break;
            int32_t parsed = ParseValue(value);
            if (found->accepted && !(WholeNumber(value) && found->accepted->takes(parsed)))
                throw _TFileException(2, TString("FILEERR_INVALID_DATA"),
                                      TString("%s: %s must be %s, not '%s'", path.c_str(), k.name,
                                              found->accepted->what, value));
            *found->global = Limited(k, parsed);
            break;
        }
    }
}
