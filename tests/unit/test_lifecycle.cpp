#include "fake_desktop.h"
#include "lifecycle.h"

#include <gtest/gtest.h>

using namespace ptr;
using namespace ptr::fake;

TEST(ProcessKind, FromPath) { EXPECT_EQ(ProcessKindFromPath("C:\\OFFICE\\WINWORD.EXE"), 1); }
