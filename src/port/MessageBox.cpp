// MessageBoxA: the text always goes to standard error (and to the record tests read);
// on a display the window layer also shows a real box.
#include "port/Port.h"
#include "port/PortInternal.h"

#include <cstdio>

namespace
{
std::vector<port::MessageBoxRecord>& Records()
{
    static std::vector<port::MessageBoxRecord> records;
    return records;
}
} // namespace

namespace port
{
const std::vector<MessageBoxRecord>& MessageBoxes()
{
    return Records();
}
void ClearMessageBoxes()
{
    Records().clear();
}
} // namespace port

int WINAPI MessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT type)
{
    const char* t = text ? text : "";
    const char* c = caption ? caption : "Error";
    std::fprintf(stderr, "%s: %s\n", c, t);
    std::fflush(stderr);
    Records().push_back({c, t, type});
    port::internal::ShowDisplayMessageBox(window, t, c, type);
    return IDOK;
}

// The box's text is UTF-8 already.
int MessageBoxUtf8(HWND window, const char* text, const char* caption, UINT type)
{
    return MessageBoxA(window, text, caption, type);
}
