#include "test_platform.h"

#include <gtest/gtest.h>

TEST(Smoke, Builds) { SUCCEED(); }
