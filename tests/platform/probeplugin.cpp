#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t probetwice(int32_t value)
{
    return 2 * value;
}

// Not exported: the loader must not find it.
extern "C" int32_t probehidden()
{
    return 1;
}
