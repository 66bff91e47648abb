#include "core/base/latticeerror.h"

#include <gtest/gtest.h>

namespace {

class EZSampleError : public EZLatticeError {
public:
    using EZLatticeError::EZLatticeError;
};

// A descendant raised in the formatted form is caught as itself, not as a sliced base.
TEST(LatticeError, DescendantKeepsItsTypeCodeAndFormattedMessage)
{
    try {
        throw EZSampleError(7, "Link %s has %d fields", {"L1", 12});
    } catch (const EZSampleError& e) {
        EXPECT_EQ(e.ErrorCode(), 7);
        EXPECT_EQ(e.Message(), "Link L1 has 12 fields");
    }
}

}  // namespace
