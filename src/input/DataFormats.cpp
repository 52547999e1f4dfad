// The game's own copies of DirectInput's standard data formats and identifiers, so the
// program needs no import library for them. Values are the published ones.
#include "Platform.h"

extern "C" const GUID GUID_XAxis = {
    0xA36D02E0, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
extern "C" const GUID GUID_YAxis = {
    0xA36D02E1, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
extern "C" const GUID GUID_ZAxis = {
    0xA36D02E2, 0xC9F3, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
extern "C" const GUID GUID_Key = {
    0x55728220, 0xD33C, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
extern "C" const GUID GUID_SysMouse = {
    0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
extern "C" const GUID GUID_SysKeyboard = {
    0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
extern "C" const GUID IID_IDirectInput8A = {
    0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};

namespace
{
const DWORD ANY_AXIS = DIDFT_AXIS | DIDFT_ANYINSTANCE;
const DWORD ANY_BUTTON = DIDFT_BUTTON | DIDFT_ANYINSTANCE;

// X, Y and Z axes, then four buttons; the wheel and the last two buttons may be absent.
DIOBJECTDATAFORMAT mouseObjects[7] = {
    {&GUID_XAxis, 0, ANY_AXIS, 0},
    {&GUID_YAxis, 4, ANY_AXIS, 0},
    {&GUID_ZAxis, 8, ANY_AXIS | DIDFT_OPTIONAL, 0},
    {nullptr, 12, ANY_BUTTON, 0},
    {nullptr, 13, ANY_BUTTON, 0},
    {nullptr, 14, ANY_BUTTON | DIDFT_OPTIONAL, 0},
    {nullptr, 15, ANY_BUTTON | DIDFT_OPTIONAL, 0},
};

// One optional button per key code, each at its own byte. Built at compile time so the
// table is complete before any code runs.
struct KeyboardObjects
{
    DIOBJECTDATAFORMAT objects[256];
};
constexpr KeyboardObjects MakeKeyboardObjects()
{
    KeyboardObjects k{};
    for (DWORD i = 0; i < 256; i++)
        k.objects[i] = {&GUID_Key, i, DIDFT_BUTTON | DIDFT_OPTIONAL | DIDFT_MAKEINSTANCE(i), 0};
    return k;
}
KeyboardObjects keyboardObjects = MakeKeyboardObjects();
} // namespace

extern "C" const DIDATAFORMAT c_dfDIMouse = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, sizeof(DIMOUSESTATE), 7,
    mouseObjects};
extern "C" const DIDATAFORMAT c_dfDIKeyboard = {
    sizeof(DIDATAFORMAT),   sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256,
    keyboardObjects.objects};
