#include "Timeline.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace hardening
{

std::string FormatFrame(const FrameInput& f)
{
    std::string keys;
    char hex[8];
    for (uint8_t k : f.keys)
    {
        std::snprintf(hex, sizeof hex, "%s%02X", keys.empty() ? "" : "+", unsigned(k));
        keys += hex;
    }
    if (keys.empty())
        keys = "-";
    char line[128];
    std::snprintf(line, sizeof line, "%u %s %d %d %d %d", unsigned(f.clock), keys.c_str(),
                  int(f.mouseDX), int(f.mouseDY), f.left ? 1 : 0, f.right ? 1 : 0);
    return line;
}

namespace
{
bool ParseNumber(const std::string& word, long long low, long long high, long long* out)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    long long v = std::strtoll(word.c_str(), &end, 10);
    if (*end != '\0' || v < low || v > high)
        return false;
    *out = v;
    return true;
}
} // namespace

bool ParseFrame(const std::string& line, FrameInput* frame, std::string* error)
{
    std::istringstream words(line);
    std::string clock, keys, dx, dy, left, right, extra;
    if (!(words >> clock >> keys >> dx >> dy >> left >> right) || (words >> extra))
    {
        *error = "a frame has six fields";
        return false;
    }
    FrameInput f;
    long long v = 0;
    if (!ParseNumber(clock, 0, 0xFFFFFFFFll, &v))
    {
        *error = "bad clock '" + clock + "'";
        return false;
    }
    f.clock = uint32_t(v);
    if (keys != "-")
    {
        // Split by hand: a stream would drop an empty code at the end ("11+").
        for (size_t from = 0; from <= keys.size();)
        {
            size_t plus = keys.find('+', from);
            if (plus == std::string::npos)
                plus = keys.size();
            std::string code = keys.substr(from, plus - from);
            from = plus + 1;
            char* end = nullptr;
            unsigned long k = std::strtoul(code.c_str(), &end, 16);
            if (code.empty() || *end != '\0' || k > 0xFF)
            {
                *error = "bad key code '" + code + "'";
                return false;
            }
            f.keys.push_back(uint8_t(k));
        }
    }
    for (auto axis : {std::make_pair(&dx, &f.mouseDX), std::make_pair(&dy, &f.mouseDY)})
    {
        if (!ParseNumber(*axis.first, -1000000, 1000000, &v))
        {
            *error = "bad mouse motion '" + *axis.first + "'";
            return false;
        }
        *axis.second = int32_t(v);
    }
    if ((left != "0" && left != "1") || (right != "0" && right != "1"))
    {
        *error = "a button is 0 or 1";
        return false;
    }
    f.left = left == "1";
    f.right = right == "1";
    *frame = f;
    return true;
}

Timeline ReadTimeline(const std::string& path)
{
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error("cannot open " + path);
    Timeline t;
    bool started = false;
    std::string line;
    for (int number = 1; std::getline(file, line); number++)
    {
        auto fail = [&](const std::string& why)
        { throw std::runtime_error(path + ":" + std::to_string(number) + ": " + why); };
        if (line.empty())
            continue;
        if (line[0] == '#')
            t.notes.push_back(line);
        else if (line.compare(0, 6, "start ") == 0)
        {
            long long v = 0;
            if (started || !ParseNumber(line.substr(6), 0, 0xFFFFFFFFll, &v))
                fail("bad start line");
            t.start = uint32_t(v);
            started = true;
        }
        else if (line.compare(0, 4, "end ") == 0)
            t.end = line.substr(4);
        else
        {
            if (!started)
                fail("a frame before the start line");
            if (!t.end.empty())
                fail("a frame after the end line");
            FrameInput f;
            std::string error;
            if (!ParseFrame(line, &f, &error))
                fail(error);
            t.frames.push_back(f);
        }
    }
    if (!started)
        throw std::runtime_error(path + ": no start line");
    return t;
}

void WriteTimeline(const std::string& path, const Timeline& t)
{
    std::ofstream file(path);
    for (const std::string& note : t.notes)
        file << note << '\n';
    file << "start " << t.start << '\n';
    for (const FrameInput& f : t.frames)
        file << FormatFrame(f) << '\n';
    file << "end " << t.end << '\n';
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

std::string Replay(const Timeline& t)
{
    WorldDirectory world;
    HeadlessGame game(t.start);
    for (const FrameInput& f : t.frames)
    {
        game.Frame(f);
        if (game.QuitRequested())
            break;
    }
    return game.EndState();
}

} // namespace hardening
