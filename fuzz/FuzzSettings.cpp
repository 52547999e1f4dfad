// The settings reader over arbitrary file contents: it must never crash, overrun or hang;
// it refuses only an UpdateRate the game cannot run with, and whatever it takes, it takes
// alike from the same lines saved by another editor (CR or CR LF line ends, a byte-order
// mark).
#include "FuzzSupport.h"
#include "Settings/Settings.h"
#include "Tlib/TException.h"

#include <cstdlib>
#include <string>

namespace
{
struct Outcome
{
    int32_t mouse, x, y, rate, windowed;
    std::string refused;
    bool operator==(const Outcome& o) const
    {
        return mouse == o.mouse && x == o.x && y == o.y && rate == o.rate &&
               windowed == o.windowed && refused == o.refused;
    }
};

Outcome Read(const std::string& text)
{
    WriteScratchFile("GameSettings.ini", reinterpret_cast<const uint8_t*>(text.data()),
                     text.size());
    XResolution = 1024;
    YResolution = 768;
    MouseSensitivity = 100;
    UpdateRate = 60;
    Windowed = 0;
    std::string refused;
    try
    {
        ReadSettings();
    }
    catch (const _TFileException& e)
    {
        refused = e.message;
    }
    return {MouseSensitivity, XResolution, YResolution, UpdateRate, Windowed, refused};
}

std::string Replaced(const std::string& text, const std::string& lineEnd)
{
    std::string out;
    for (char c : text)
        out += c == '\n' ? lineEnd : std::string(1, c);
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnterScratchDirectory();
    const std::string text(reinterpret_cast<const char*>(data), size), mark = "\xEF\xBB\xBF";
    const Outcome read = Read(text);
    if (read.refused.empty() ? !(read.rate == 0 || (read.rate >= 10 && read.rate <= 1000))
                             : read.refused.rfind("GameSettings.ini: UpdateRate must be ", 0) != 0)
        std::abort();
    if (text.find('\r') == std::string::npos && text.compare(0, 3, mark) != 0 &&
        !(Read(mark + text) == read && Read(Replaced(text, "\r")) == read &&
          Read(Replaced(text, "\r\n")) == read))
        std::abort();
    return 0;
}
