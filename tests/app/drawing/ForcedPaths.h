#pragma once
// Runs a suite's tests once on each vector path of the blurs and blends, forced: 256-bit, 128-bit
// and the plain loops. A path the processor lacks is skipped, and said so.
#include "app/drawing/VectorPaths.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace Tessarine {

class ForcedPaths : public ::testing::TestWithParam<VectorPaths::Width> {
protected:
    void SetUp() override {
        if (!VectorPaths::force(GetParam())) GTEST_SKIP() << "this processor has no " << name(GetParam()) << " vectors";
        ASSERT_EQ(VectorPaths::current(), GetParam()) << "the path was not forced";
    }
    void TearDown() override { VectorPaths::force(VectorPaths::widest()); }

public:
    static std::string name(VectorPaths::Width width) {
        switch (width) {
        case VectorPaths::Width::plain: return "plain";
        case VectorPaths::Width::bits128: return "bits128";
        case VectorPaths::Width::bits256: return "bits256";
        }
        return "unknown";
    }
    static std::string paramName(const ::testing::TestParamInfo<VectorPaths::Width>& info) { return name(info.param); }
};

namespace VectorPaths {
inline void PrintTo(Width width, std::ostream* out) { *out << ForcedPaths::name(width); }
} // namespace VectorPaths

} // namespace Tessarine

// Instantiates `suite` (a ForcedPaths fixture) for every path.
#define TESSARINE_EVERY_VECTOR_PATH(suite)                                                                          \
    INSTANTIATE_TEST_SUITE_P(EveryPath, suite,                                                                      \
                             ::testing::Values(::Tessarine::VectorPaths::Width::bits256,                            \
                                               ::Tessarine::VectorPaths::Width::bits128,                            \
                                               ::Tessarine::VectorPaths::Width::plain),                             \
                             ::Tessarine::ForcedPaths::paramName)
