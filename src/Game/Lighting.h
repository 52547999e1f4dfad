// The two lightings of the world: light 0, a directional light along (1, 0.8, -1), and
// the ambient colour, by day and by night.
#pragma once

#include "Platform.h"

#include <cstring>

struct Lighting
{
    DWORD ambient;
    D3DCOLORVALUE diffuse;
};

const Lighting DAYLIGHT = {0x00686E5D, {0.315f, 0.35f, 0.2625f, 0.0f}};
const Lighting NIGHT_LIGHT = {0x00242620, {0.09f, 0.1f, 0.075f, 0.0f}};

// Light 0 of a lighting; the direction is handed over unnormalised.
inline D3DLIGHT9 LightOf(const Lighting& lighting)
{
    D3DLIGHT9 light;
    std::memset(&light, 0, sizeof light);
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = lighting.diffuse;
    light.Direction.x = 1.0f;
    light.Direction.y = 0.8f;
    light.Direction.z = -1.0f;
    return light;
}
