// Sine, cosine and arccosine computed the same way on every system. The game's rules turn
// on them, and a demo played back must reach the same state bit for bit wherever it was
// recorded; the C libraries' own functions differ between systems and versions by a unit
// in the last place, which a long game turns into a different end. Only +, -, *, / and
// sqrt are used, which IEEE arithmetic rounds alike everywhere. Within two units in the
// last place of the exact values over the angles the game uses.
#pragma once

namespace trig
{
double Sin(double x);
double Cos(double x);
// x outside [-1, 1] is taken as its nearer end.
double Acos(double x);
} // namespace trig
