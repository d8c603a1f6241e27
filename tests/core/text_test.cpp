#include <gtest/gtest.h>

#include "core/text/amount.h"

using namespace cheque;

TEST(Amount, Placeholder) { EXPECT_EQ(FormatAmount(12.5), QStringLiteral("12.50")); }
