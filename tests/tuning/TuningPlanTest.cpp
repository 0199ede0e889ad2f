#include <gtest/gtest.h>
#include "tuning/TuningPlan.h"
TEST(Placeholder, Builds) { EXPECT_EQ(ferro::tuningPlan().size(), 19u); }
