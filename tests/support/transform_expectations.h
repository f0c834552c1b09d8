#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/quartzcore/ca_transform_3d.h"

namespace quorvel::testing {

// Each of the sixteen entries within `tolerance`, scaled up for entries larger than 1.
inline void expectTransformNear(const platform::CATransform3D& actual, const platform::CATransform3D& expected,
                                double tolerance = 1e-9) {
    const double* a = &actual.m11;
    const double* e = &expected.m11;
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(a[i], e[i], tolerance * std::max(1.0, std::fabs(e[i])))
            << "entry m" << (i / 4 + 1) << (i % 4 + 1);
    }
}

}  // namespace quorvel::testing
