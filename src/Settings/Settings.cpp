#include "Settings/Settings.h"
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

struct Key
{
    const char* name;
    int32_t* global;
};
} // namespace

void ReadSettings()
{
    const Key keys[] = {{"MouseSensitivity", &MouseSensitivity},
                        {"XResolution", &XResolution},
                        {"YResolution", &YResolution},
                        {"UpdateRate", &UpdateRate},
                        {"Windowed", &Windowed},
                        {"Interpolate", &Interpolate}};
    std::unique_ptr<TFile> file(new TFile(TString("GameSettings.ini"), 1, true));
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
        for (const Key& k : keys)
        {
            if (std::strcmp(key.text, k.name) != 0)
                continue;
            const char* value = uint32_t(p + 1) < length ? line.text + p + 1 : "";
            *k.global = ParseValue(value);
            break;
        }
    }
}
