// Fuzz target: arbitrary bytes as an .ovs file. Whatever loads must encode back to
// exactly the bytes it was read from.
#include "document/ovsfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Configuration staging;
    if (decodeOvs(bytes, staging) != OvsLoadResult::Loaded)
        return 0;
    if (staging.channelCount > kMaxChannels)
        __builtin_trap();
    const QByteArray again = encodeOvs(staging);
    if (again != bytes.left(again.size()))
        __builtin_trap();
    return 0;
}
