#include "core/base/latticeerror.h"

#include <gtest/gtest.h>

namespace {

class EZSampleError : public EZLatticeError {
public:
    using EZLatticeError::EZLatticeError;
};

TEST(LatticeError, CarriesTheCodeBesideTheFormattedMessage)
{
    const EZLatticeError plain = EZLatticeError::CreateFmt(4, "Table %s has %d fields", "Orders", 12);
    EXPECT_EQ(plain.ErrorCode(), 4);
    EXPECT_EQ(plain.Message(), "Table Orders has 12 fields");
    // A descendant raised in the formatted form is caught as itself, not as a sliced base.
    try {
        throw EZSampleError(7, "Link %s not found", {"L1"});
    } catch (const EZSampleError& e) {
        EXPECT_EQ(e.ErrorCode(), 7);
        EXPECT_EQ(e.Message(), "Link L1 not found");
    }
}

}  // namespace
