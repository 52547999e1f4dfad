// The one door from the game to the machine. On Windows the game talks to the real
// Win32, Direct3D 9, DirectInput 8 and XInput headers; everywhere else to the port layer,
// which declares the same names with the same signatures.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <dinput.h>
#include <xinput.h>
#include <shellapi.h>

#include <string>
#include <vector>
// A window program: what it has to tell the player goes in a box or a file.
const bool CONSOLE_PROGRAM = false;
// GameSettings.ini stays beside the program, where Windows players have always kept it:
// there is no folder of the player's own to look in.
inline const char* PlayerSettingsFolder()
{
    return nullptr;
}

// Names the player gives (the command line, demos) and the texts that show them are UTF-8
// inside the game. Windows takes them as UTF-16, so that a name outside the ANSI code page
// still reaches its file. The port gives the same calls, with names as the system spells
// them.
namespace utf8
{
inline std::wstring Wide(const char* text)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? size_t(length) : 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}
inline std::string Narrow(const wchar_t* wide)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(length > 0 ? size_t(length) : 1, '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], length, nullptr, nullptr);
    text.resize(text.size() - 1);
    return text;
}
} // namespace utf8

// The program's arguments after its own name, each exactly as the system split them.
inline std::vector<std::string> CommandLineArguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; words != nullptr && i < count; i++)
        arguments.push_back(utf8::Narrow(words[i]));
    LocalFree(words);
    return arguments;
}
inline HANDLE CreateFileUtf8(const char* name, DWORD access, DWORD share, DWORD disposition)
{
    return CreateFileW(utf8::Wide(name).c_str(), access, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
inline DWORD GetFileAttributesUtf8(const char* name)
{
    return GetFileAttributesW(utf8::Wide(name).c_str());
}
// Moves a file over another in one step: the old one stays whole until the new one is there.
inline BOOL MoveFileUtf8(const char* from, const char* to)
{
    return MoveFileExW(utf8::Wide(from).c_str(), utf8::Wide(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}
inline BOOL DeleteFileUtf8(const char* name)
{
    return DeleteFileW(utf8::Wide(name).c_str());
}
inline int MessageBoxUtf8(HWND window, const char* text, const char* caption, UINT type)
{
    return MessageBoxW(window, utf8::Wide(text).c_str(), utf8::Wide(caption).c_str(), type);
}
// Why the last failed call failed, in the system's words.
inline std::string LastErrorText()
{
    DWORD error = GetLastError();
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string said = length > 0 ? utf8::Narrow(text) : "error " + std::to_string(error);
    LocalFree(text);
    while (!said.empty() &&
           (said.back() == '\n' || said.back() == '\r' || said.back() == ' ' || said.back() == '.'))
        said.pop_back();
    return said;
}
#else
#include "port/Win32.h"
#include "port/D3D9.h"
#include "port/DInput.h"
#include "port/XInput.h"
// Standard output and error reach the player, as for any program started from a shell.
const bool CONSOLE_PROGRAM = true;
// The player's own folder for GameSettings.ini, ending in a separator: the system's
// place for a user's settings. Null where the system names none.
const char* PlayerSettingsFolder();
#endif
