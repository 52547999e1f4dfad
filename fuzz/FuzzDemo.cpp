// The demo reader over arbitrary bytes: whatever the file holds, it is refused with a
// message naming it (or, once whole, checked against a world that is not there), never a
// crash, an overrun or a hang. Each input is read twice: as it is, and with its last four
// bytes made the checksum of the rest, so that damaged records get past the checksum to
// the record reader.
#include "FuzzSupport.h"
#include "Shell/Demo.h"
#include "Tlib/TException.h"

#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
void Load(const std::vector<uint8_t>& bytes)
{
    WriteScratchFile("fuzz.demo", bytes.data(), bytes.size());
    try
    {
        demo::LoadDemo("fuzz.demo");
    }
    catch (const _TException& e)
    {
        const std::string said = e.message;
        if (said.rfind("fuzz.demo: ", 0) != 0 && said != "File not found: 'Data\\hmap.dat'")
            std::abort();
        return;
    }
    std::abort(); // the scratch folder holds no world to play it on
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnterScratchDirectory();
    std::vector<uint8_t> bytes(data, data + size);
    Load(bytes);
    if (size >= 4)
    {
        uLong crc = crc32(0, bytes.data(), uInt(size - 4));
        for (int i = 0; i < 4; i++)
            bytes[size - 4 + size_t(i)] = uint8_t(crc >> (8 * i));
        Load(bytes);
    }
    return 0;
}
