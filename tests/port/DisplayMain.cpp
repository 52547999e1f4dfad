// main() of the test programs that draw on a display: when a test was skipped for want of
// one, the program ends with CTest's skip code (77) rather than passing.
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    return failed == 0 && testing::UnitTest::GetInstance()->skipped_test_count() > 0 ? 77 : failed;
}
