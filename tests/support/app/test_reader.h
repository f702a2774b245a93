#pragma once
#include "app/reader.h"
#include "test_platform.h"

namespace pagora {

// A Reader wired to the doubles and the real file system.
struct TestReader : TestDoubles {
    Reader r;
    TestReader();
};

} // namespace pagora
